#pragma once
// Slope, aspect and the three curvatures of an elevation grid from a 3x3 window.
#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The requested output grids; a null pointer means "not requested" and costs nothing.
struct LocalTopographyGrids {
  Grid* slope = nullptr;              // degrees
  Grid* aspect = nullptr;             // degrees clockwise from north, downhill direction
  Grid* profile_curvature = nullptr;  // 1/length
  Grid* plan_curvature = nullptr;     // 1/length
  Grid* curvature = nullptr;          // 1/length

  bool any() const { return slope || aspect || profile_curvature || plan_curvature || curvature; }
};

// Fills the requested grids from `elevation` (geometry and nodata from `header`):
// the interior from the Zevenbergen-Thorne window, border and nodata-window cells by
// the sequential gap fill afterwards.
void compute_local_topography(Console& console, const GridHeader& header, const Grid& elevation,
                              LocalTopographyGrids& grids);

}  // namespace orograd
