#pragma once
// Wall-clock seconds and peak memory, shared by the benchmark programs.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace orograd::bench {

using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The largest resident memory of the process so far.
inline double peak_memory_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Times `action` and prints the seconds under `label`, in a column `width` wide.
template <typename Action>
void timed(const char* label, Action&& action, int width = 44) {
  const auto start = Clock::now();
  action();
  std::printf("  %-*s %6.2f s\n", width, label, seconds_since(start));
}

}  // namespace orograd::bench
