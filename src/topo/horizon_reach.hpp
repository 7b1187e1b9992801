#pragma once
// Upper bounds of the elevations a horizon walk can still reach, which let a walk skip
// stretches that cannot raise its horizon and end as soon as nothing ahead of it can.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid/grid.hpp"

namespace orograd {

struct HorizonWalk;

// For one walk direction, bounds for every cell of the highest elevation among the
// cells a walk of that direction can visit after passing it: over its next kSpan steps,
// over its next kLongSpan steps, and over all the rest of the walk.
//
// A walk advances one cell along its major axis per step and w(j) cells along its
// minor axis in j steps, where w(j) is floor(j * s) or ceil(j * s) for the direction's
// slope s = ratio / denominator, whatever its error term at that cell. The band of
// those two cells per step is covered exactly for kSpan steps, and a long span by the
// spans at the two cells each of its kSpan-step pieces can start from. The bound of
// the whole rest covers the steps beyond kSpan by the bounds of the two cells the band
// can have reached, so it widens by a cell every kSpan steps rather than spreading over
// the whole octant.
class ReachMaxima {
 public:
  static constexpr int32_t kSpan = 8;
  static constexpr int32_t kLongSpan = kSpan * kSpan;

  // Rounds the elevations of `elevation`, the raster the walks read, up to float once for
  // every direction; NaN cells, which never raise a horizon, are left out. The raster
  // must outlive the object and stay unchanged.
  explicit ReachMaxima(const Grid& elevation);

  // Post: for every raster cell (r, c) and every walk of `walk`'s direction that stands
  // on it, span_from(r, c)[0] >= the elevations of its next kSpan steps,
  // long_span_from(r, c)[0] >= those of its next kLongSpan steps, and at(r, c) >= its
  // own elevation and those of all its later steps. Linear in the raster.
  void build(const HorizonWalk& walk);

  double at(int32_t row, int32_t col) const { return *from(row, col); }
  // The bounds of (row, col) and the cells after it in its row, contiguous.
  const float* from(int32_t row, int32_t col) const { return bound_.data() + index(row, col); }
  const float* span_from(int32_t row, int32_t col) const { return span_.data() + index(row, col); }
  const float* long_span_from(int32_t row, int32_t col) const { return long_span_.data() + index(row, col); }

 private:
  std::ptrdiff_t index(int32_t row, int32_t col) const {
    return static_cast<std::ptrdiff_t>(row - 1 + kPad) * pitch_ + (col - 1 + kPad);
  }
  // Sets every raster cell of `table` to the highest of the `count` values of `source`
  // at the cell's index plus each offset.
  void take_highest(const float* source, const std::ptrdiff_t* offsets, int32_t count, float* table) const;
  // `anchor`: the offset of the cell kSpan steps ahead with the fewest minor moves.
  void build_bounds(const HorizonWalk& walk, std::ptrdiff_t anchor, std::ptrdiff_t minor_stride);

  // Cells outside the raster hold -infinity, so no lookup needs a bounds test.
  static constexpr int32_t kPad = kLongSpan + 1;
  int32_t nrows_, ncols_;
  std::ptrdiff_t pitch_;
  std::vector<float> rounded_;  // the elevations rounded up
  std::vector<float> span_;
  std::vector<float> long_span_;
  std::vector<float> bound_;  // also the higher of each cell and its minor neighbour while spans are built
};

}  // namespace orograd
