#pragma once
// Work split into consecutive parts done side by side, whose results, appended in part
// order, come out as one loop over all items gives them.
#include <cstddef>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

namespace orograd {

// The most parts in_ordered_parts makes: the threads the build allows.
inline std::size_t most_parts() {
#if OROGRAD_SEQUENTIAL
  return 1;
#else
  return static_cast<std::size_t>(omp_get_max_threads());
#endif
}

// Calls body(first, last, part) on consecutive parts of [0, count): with at least
// `enough` items on most_parts() parts side by side, else on one part. The parts are
// the same for the same count, so two calls with one count split alike.
template <typename Body>
void in_ordered_parts(std::size_t count, std::size_t enough, Body body) {
  if (count < enough) {
    body(std::size_t{0}, count, std::size_t{0});
    return;
  }
  const std::size_t parts = most_parts();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static, 1)
#endif
  for (std::size_t part = 0; part < parts; ++part) body(count * part / parts, count * (part + 1) / parts, part);
}

}  // namespace orograd
