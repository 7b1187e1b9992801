#pragma once
// Bringing gauges into the coordinate system of the accumulation grid.
#include <string>
#include <vector>

#include "pour/point_layer.hpp"

namespace orograd::pour {

// Transforms the points from the layer's coordinate system into the grid's, both in
// the traditional GIS axis order (x easting or longitude, y northing or latitude).
// Pre: each system is empty (none) or a text GDAL interprets: WKT of any flavour, a
// .prj file's text, "EPSG:n".
// Post: returns false and leaves the points as they are when either system is empty
// or both are the same; else every point is in the grid's system and returns true.
// Fatal: 1 a system cannot be interpreted, GDAL can build no transformation between
// them, or a point cannot be transformed (the feature's number is given).
bool reproject_points(std::vector<GaugePoint>& points, const std::string& layer_system, const std::string& grid_system,
                      const std::string& points_file);

}  // namespace orograd::pour
