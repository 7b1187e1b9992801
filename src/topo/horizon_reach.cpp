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

void ReachMaxima::build(const Grid& elevation, const HorizonWalk& walk) {
  const std::ptrdiff_t pitch = static_cast<std::ptrdiff_t>(elevation.ncols()) + 2 * kPad;
  const auto slots = static_cast<std::size_t>(pitch * (static_cast<std::ptrdiff_t>(elevation.nrows()) + 2 * kPad));
  // Only raster cells are ever written, so the padding keeps its -infinity from one
  // direction to the next and the arrays are filled afresh only for a new size.
  if (pitch != pitch_ || slots != bound_.size()) {
    pitch_ = pitch;
    pairs_.assign(slots, -INFINITY);
    bound_.assign(slots, -INFINITY);
  }
  if (elevation.nrows() == 0 || elevation.ncols() == 0) return;  // no cell, no walk to bound
  const std::ptrdiff_t row_stride = pitch_ * -walk.north_sign;
  build_pairs(elevation, walk.column_walk ? row_stride : walk.column_sign);
  build_bounds(elevation, walk);
}

// Each cell takes the higher of itself and its minor neighbour. The rounded elevations
// go to the raster cells of bound_ first, which build_bounds overwrites afterwards, so
// that every row can be paired independently of the others.
void ReachMaxima::build_pairs(const Grid& elevation, std::ptrdiff_t minor_stride) {
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
  float* rounded = bound_.data();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t r = 1; r <= nrows; ++r)
    for (int32_t c = 1; c <= ncols; ++c) rounded[index(r, c)] = round_up(elevation(r, c));
  float* pairs = pairs_.data();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t r = 1; r <= nrows; ++r)
    for (int32_t c = 1; c <= ncols; ++c) {
      const std::ptrdiff_t at = index(r, c);
      pairs[at] = higher(rounded[at], rounded[at + minor_stride]);
    }
}

// A cell's bound depends on bounds kSpan cells further along the major axis, so the
// cells are filled in slices of kSpan major positions from the far end; the cells of
// one slice are independent of each other.
void ReachMaxima::build_bounds(const Grid& elevation, const HorizonWalk& walk) {
  const std::ptrdiff_t row_stride = pitch_ * -walk.north_sign;
  const std::ptrdiff_t major_stride = walk.column_walk ? walk.column_sign : row_stride;
  const std::ptrdiff_t minor_stride = walk.column_walk ? row_stride : walk.column_sign;
  std::ptrdiff_t band[kSpan];
  for (int32_t j = 0; j < kSpan; ++j) band[j] = j * major_stride + fewest_moves(j, walk) * minor_stride;
  const std::ptrdiff_t anchor = kSpan * major_stride + fewest_moves(kSpan, walk) * minor_stride;

  const float* pairs = pairs_.data();
  float* bound = bound_.data();
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
  const int32_t major_count = walk.column_walk ? ncols : nrows;
  const int32_t major_delta = walk.column_walk ? walk.column_sign : -walk.north_sign;
  const int32_t far_end = major_delta > 0 ? major_count : 1;
  for (int32_t slice = 0; slice * kSpan < major_count; ++slice) {
    // Major positions far_end - k * major_delta for k in this slice.
    const int32_t k_first = slice * kSpan, k_last = std::min(major_count, k_first + kSpan) - 1;
    const int32_t lo = std::min(far_end - k_first * major_delta, far_end - k_last * major_delta);
    const int32_t hi = std::max(far_end - k_first * major_delta, far_end - k_last * major_delta);
    const int32_t row_lo = walk.column_walk ? 1 : lo, row_hi = walk.column_walk ? nrows : hi;
    const int32_t col_lo = walk.column_walk ? lo : 1, col_hi = walk.column_walk ? hi : ncols;
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
