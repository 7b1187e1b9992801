#include "topo/horizon_reach.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "topo/horizon_walk.hpp"

namespace orograd {

namespace {

// The smallest float not below z; NaN gives -infinity so that it never counts.
float round_up(double z) {
  if (!(z <= FLT_MAX)) return std::isnan(z) ? -INFINITY : INFINITY;
  if (z < -FLT_MAX) return -FLT_MAX;
  const auto f = static_cast<float>(z);
  return static_cast<double>(f) < z ? std::nextafter(f, INFINITY) : f;
}

float higher(float a, float b) { return a < b ? b : a; }

// floor(j * ratio / denominator), the fewest minor moves of any walk in j steps.
int64_t fewest_moves(int32_t j, const HorizonWalk& walk) {
  return static_cast<int64_t>(j) * walk.ratio / walk.denominator;
}

}  // namespace

ReachMaxima::ReachMaxima(const Grid& elevation)
    : nrows_(elevation.nrows()),
      ncols_(elevation.ncols()),
      pitch_(static_cast<std::ptrdiff_t>(ncols_) + 2 * kPad) {
  const auto slots = static_cast<std::size_t>(pitch_ * (static_cast<std::ptrdiff_t>(nrows_) + 2 * kPad));
  // Only raster cells are ever written, so the padding keeps its -infinity throughout.
  rounded_.assign(slots, -INFINITY);
  pairs_.assign(slots, -INFINITY);
  bound_.assign(slots, -INFINITY);
  float* rounded = rounded_.data();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t r = 1; r <= nrows_; ++r)
    for (int32_t c = 1; c <= ncols_; ++c) rounded[index(r, c)] = round_up(elevation(r, c));
}

void ReachMaxima::build(const HorizonWalk& walk) {
  if (nrows_ == 0 || ncols_ == 0) return;  // no cell, no walk to bound
  const std::ptrdiff_t row_stride = pitch_ * -walk.north_sign;
  build_pairs(walk.column_walk ? row_stride : walk.column_sign);
  build_bounds(walk);
}

// Each cell takes the higher of itself and its minor neighbour.
void ReachMaxima::build_pairs(std::ptrdiff_t minor_stride) {
  const float* rounded = rounded_.data();
  float* pairs = pairs_.data();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t r = 1; r <= nrows_; ++r)
    for (int32_t c = 1; c <= ncols_; ++c) {
      const std::ptrdiff_t at = index(r, c);
      pairs[at] = higher(rounded[at], rounded[at + minor_stride]);
    }
}

// A cell's bound depends on bounds kSpan cells further along the major axis, so the
// cells are filled in slices of kSpan major positions from the far end; the rows of one
// slice are independent of each other and go to the threads.
void ReachMaxima::build_bounds(const HorizonWalk& walk) {
  const std::ptrdiff_t row_stride = pitch_ * -walk.north_sign;
  const std::ptrdiff_t major_stride = walk.column_walk ? walk.column_sign : row_stride;
  const std::ptrdiff_t minor_stride = walk.column_walk ? row_stride : walk.column_sign;
  std::ptrdiff_t band[kSpan];
  for (int32_t j = 0; j < kSpan; ++j) band[j] = j * major_stride + fewest_moves(j, walk) * minor_stride;
  const std::ptrdiff_t anchor = kSpan * major_stride + fewest_moves(kSpan, walk) * minor_stride;

  const float* pairs = pairs_.data();
  float* bound = bound_.data();
  const int32_t major_count = walk.column_walk ? ncols_ : nrows_;
  const int32_t major_delta = walk.column_walk ? walk.column_sign : -walk.north_sign;
  const int32_t far_end = major_delta > 0 ? major_count : 1;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#endif
  for (int32_t slice = 0; slice * kSpan < major_count; ++slice) {
    // Major positions far_end - k * major_delta for k in this slice.
    const int32_t k_first = slice * kSpan, k_last = std::min(major_count, k_first + kSpan) - 1;
    const int32_t lo = std::min(far_end - k_first * major_delta, far_end - k_last * major_delta);
    const int32_t hi = std::max(far_end - k_first * major_delta, far_end - k_last * major_delta);
    const int32_t row_lo = walk.column_walk ? 1 : lo, row_hi = walk.column_walk ? nrows_ : hi;
    const int32_t col_lo = walk.column_walk ? lo : 1, col_hi = walk.column_walk ? hi : ncols_;
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(static)
#endif
    for (int32_t r = row_lo; r <= row_hi; ++r)
      for (int32_t c = col_lo; c <= col_hi; ++c) {
        const std::ptrdiff_t at = index(r, c);
        float best = higher(bound[at + anchor], bound[at + anchor + minor_stride]);
        for (int32_t j = 0; j < kSpan; ++j) best = higher(best, pairs[at + band[j]]);
        bound[at] = best;
      }
  }
}

}  // namespace orograd
