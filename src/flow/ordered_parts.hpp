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

// The number of the calling thread in its OpenMP team, below most_parts().
inline std::size_t thread_number() {
#if OROGRAD_SEQUENTIAL
  return 0;
#else
  return static_cast<std::size_t>(omp_get_thread_num());
#endif
}

// Whether in_ordered_parts splits `count` items into several parts.
inline bool split_into_parts(std::size_t count, std::size_t enough) { return count >= enough && most_parts() > 1; }

// When `count` items are not split (split_into_parts), calls each body in turn on all
// of them as part 0 and returns true; else returns false.
template <typename... Bodies>
bool done_in_one_part(std::size_t count, std::size_t enough, Bodies&... bodies) {
  if (split_into_parts(count, enough)) return false;
  (bodies(std::size_t{0}, count, std::size_t{0}), ...);
  return true;
}

// Calls body(first, last, part) on part `part` of [0, count) cut into most_parts()
// consecutive parts.
template <typename Body>
void on_part(std::size_t count, std::size_t part, Body& body) {
  const std::size_t parts = most_parts();
  body(count * part / parts, count * (part + 1) / parts, part);
}

// Calls body(first, last, part) on consecutive parts of [0, count): with at least
// `enough` items on most_parts() parts side by side, else on one part. The parts are
// the same for the same count, so two calls with one count split alike.
template <typename Body>
void in_ordered_parts(std::size_t count, std::size_t enough, Body body) {
  if (done_in_one_part(count, enough, body)) return;
  const std::size_t parts = most_parts();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static, 1)
#endif
  for (std::size_t part = 0; part < parts; ++part) on_part(count, part, body);
}

// As in_ordered_parts with two bodies on the same parts, the second started on a part
// only when every part has finished the first.
template <typename First, typename Second>
void in_ordered_parts_twice(std::size_t count, std::size_t enough, First first, Second second) {
  if (done_in_one_part(count, enough, first, second)) return;
#if !OROGRAD_SEQUENTIAL
  const std::size_t parts = most_parts();
  const auto each_part = [&](auto& body) {
    const auto step = static_cast<std::size_t>(omp_get_num_threads());
    for (auto part = static_cast<std::size_t>(omp_get_thread_num()); part < parts; part += step)
      on_part(count, part, body);
  };
#pragma omp parallel
  {
    each_part(first);
#pragma omp barrier
    each_part(second);
  }
#endif
}

}  // namespace orograd
