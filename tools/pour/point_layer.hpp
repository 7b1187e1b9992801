#pragma once
// Gauges read as point features from a vector source GDAL opens (GeoPackage,
// Shapefile, GeoJSON, CSV with coordinate columns, ...).
#include <string>
#include <vector>

namespace orograd::pour {

struct GaugePoint {
  double x = 0, y = 0;
  std::string code;  // the code field's value as text; empty when the feature has none
};

struct PointLayer {
  // The layer's coordinate reference system as WKT; empty when it carries none.
  std::string coordinate_system;
  std::vector<GaugePoint> points;  // in the layer's feature order
};

// Reads the point layer of the file: the first layer of point geometry, else the first
// of mixed (unknown) geometry, whose features must then all be points. A CSV file is
// opened with its points taken from coordinate columns named x, lon, long, longitude,
// easting or east and y, lat, latitude, northing or north (any letter case), the
// column types detected from the values and the coordinate columns dropped as fields.
// Pre: none.
// Post: every feature of the layer became a point, in order, with its x and y and the
// text of its field `code_field`.
// Fatal: 2 the file cannot be opened as a vector source (or the build has no GDAL),
// 1 the file has no layer of point or mixed geometry, the layer has no field
// `code_field` (the fields it has are listed), a feature has no geometry, an empty one
// or one other than a point.
PointLayer read_point_layer(const std::string& file_name, const std::string& code_field);

}  // namespace orograd::pour
