#pragma once
// Wall-clock seconds and peak memory, shared by the benchmark programs.
#include <sys/resource.h>

#include <chrono>

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

}  // namespace orograd::bench
