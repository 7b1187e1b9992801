#pragma once
// Gauges placed on the river cells of an accumulation grid, every check made before
// anything is written.
#include <cstdint>
#include <string>
#include <vector>

#include "grid/grid.hpp"
#include "pour/point_layer.hpp"
#include "pour/snap_to_river.hpp"

namespace orograd::pour {

struct PlacedGauge {
  int32_t code;
  GridCell cell;        // the cell containing the point
  SnappedCell snapped;  // where it was moved
};

// Takes each point's code (pour_code of its text), finds its cell and snaps it onto the
// highest accumulation within `distance` (snap_to_river).
// Pre: accumulation has geometry's counts; geometry.cellsize > 0; distance >= 0.
// Post: one placement per point, in order, with distinct codes and distinct snapped
// cells.
// Fatal: 1 a code is missing or not a whole number from 1 to 500000, two points share
// a code, a point lies outside the grid or has only nodata within the distance, or two
// points are snapped onto one cell; messages name the feature numbers, `points_file`
// and `code_field`.
std::vector<PlacedGauge> place_gauges(const std::vector<GaugePoint>& points, const Grid& accumulation,
                                      const GridHeader& geometry, double distance, const std::string& points_file,
                                      const std::string& code_field);

}  // namespace orograd::pour
