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
  span_.assign(slots, -INFINITY);
  long_span_.assign(slots, -INFINITY);
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
  const std::ptrdiff_t major_stride = walk.column_walk ? walk.column_sign : row_stride;
  const std::ptrdiff_t minor_stride = walk.column_walk ? row_stride : walk.column_sign;
  // The offset of the cell j steps ahead when the walk makes the fewest minor moves.
  const auto band = [&](int32_t j) { return j * major_stride + fewest_moves(j, walk) * minor_stride; };

  const std::ptrdiff_t pair[] = {0, minor_stride};
  take_highest(rounded_.data(), pair, 2, bound_.data());
  std::ptrdiff_t steps[kSpan];
  for (int32_t j = 1; j <= kSpan; ++j) steps[j - 1] = band(j);
  take_highest(bound_.data(), steps, kSpan, span_.data());
  // The first piece starts on the cell itself, each later one on either cell of its band.
  std::ptrdiff_t pieces[2 * kSpan - 1] = {0};
  for (int32_t i = 1; i < kSpan; ++i) {
    pieces[2 * i - 1] = band(i * kSpan);
    pieces[2 * i] = band(i * kSpan) + minor_stride;
  }
  take_highest(span_.data(), pieces, 2 * kSpan - 1, long_span_.data());
  build_bounds(walk, band(kSpan), minor_stride);
}

void ReachMaxima::take_highest(const float* source, const std::ptrdiff_t* offsets, int32_t count,
                               float* table) const {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t r = 1; r <= nrows_; ++r)
    for (int32_t c = 1; c <= ncols_; ++c) {
      const std::ptrdiff_t at = index(r, c);
      float best = source[at + offsets[0]];
      for (int32_t k = 1; k < count; ++k) best = higher(best, source[at + offsets[k]]);
      table[at] = best;
    }
}

// A cell's bound is the highest of its own elevation, its span and the bounds of the two
// cells the walk can stand on kSpan steps ahead. Those lie kSpan major positions further
// on, so the cells are filled in slices of kSpan major positions from the far end; the
// rows of one slice are independent of each other and go to the threads.
void ReachMaxima::build_bounds(const HorizonWalk& walk, std::ptrdiff_t anchor, std::ptrdiff_t minor_stride) {
  const float* rounded = rounded_.data();
  const float* span = span_.data();
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
        const float ahead = higher(bound[at + anchor], bound[at + anchor + minor_stride]);
        bound[at] = higher(higher(rounded[at], span[at]), ahead);
      }
  }
}

}  // namespace orograd
