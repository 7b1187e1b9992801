#pragma once
// Upper bounds of the elevations a horizon walk can still reach, which let a walk end
// as soon as nothing ahead of it can raise its horizon.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid/grid.hpp"

namespace orograd {

struct HorizonWalk;

// For one walk direction, a bound for every cell of the highest elevation among the
// cell itself and all cells a walk of that direction can visit after passing it.
//
// A walk advances one cell along its major axis per step and w(j) cells along its
// minor axis in j steps, where w(j) is floor(j * s) or ceil(j * s) for the direction's
// slope s = ratio / denominator, whatever its error term at that cell. The band of
// those two cells per step is covered exactly for kSpan steps; beyond them by the
// bounds of the two cells the band can have reached, so the covered band widens by a
// cell every kSpan steps rather than spreading over the whole octant.
class ReachMaxima {
 public:
  static constexpr int32_t kSpan = 8;

  // Rounds the elevations of `elevation`, the raster the walks read, up to float once for
  // every direction; NaN cells, which never raise a horizon, are left out. The raster
  // must outlive the object and stay unchanged.
  explicit ReachMaxima(const Grid& elevation);

  // Post: at(r, c) >= every elevation a walk of `walk`'s direction visits from (r, c)
  // on. Linear in the raster.
  void build(const HorizonWalk& walk);

  double at(int32_t row, int32_t col) const { return *from(row, col); }
  // The bounds of (row, col) and the cells after it in its row, contiguous.
  const float* from(int32_t row, int32_t col) const { return bound_.data() + index(row, col); }

 private:
  std::ptrdiff_t index(int32_t row, int32_t col) const {
    return static_cast<std::ptrdiff_t>(row - 1 + kPad) * pitch_ + (col - 1 + kPad);
  }
  void build_pairs(std::ptrdiff_t minor_stride);
  void build_bounds(const HorizonWalk& walk);

  // Cells outside the raster hold -infinity, so no lookup needs a bounds test.
  static constexpr int32_t kPad = kSpan + 1;
  int32_t nrows_, ncols_;
  std::ptrdiff_t pitch_;
  std::vector<float> rounded_;  // the elevations rounded up
  std::vector<float> pairs_;    // the higher of a cell and its minor neighbour
  std::vector<float> bound_;
};

}  // namespace orograd
