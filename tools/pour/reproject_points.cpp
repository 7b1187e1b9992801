#include "pour/reproject_points.hpp"

#include <ogr_srs_api.h>

#include <memory>

#include "base/fatal.hpp"
#include "grid/quiet_gdal.hpp"
#include "pour/refuse_input.hpp"

namespace orograd::pour {

namespace {

struct SystemDestroyer {
  void operator()(OGRSpatialReferenceH srs) const { OSRDestroySpatialReference(srs); }
};
using System = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SystemDestroyer>;

struct TransformationDestroyer {
  void operator()(OGRCoordinateTransformationH transformation) const {
    OCTDestroyCoordinateTransformation(transformation);
  }
};
using Transformation = std::unique_ptr<std::remove_pointer_t<OGRCoordinateTransformationH>, TransformationDestroyer>;

// GDAL recognises a system only from text that starts with its keyword, and .prj files
// may begin with a blank line; a text of blanks carries no system.
std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first == std::string::npos ? "" : text.substr(first);
}

System interpreted(const std::string& text, const std::string& whose) {
  System srs(OSRNewSpatialReference(nullptr));
  if (OSRSetFromUserInput(srs.get(), text.c_str()) != OGRERR_NONE)
    refuse_input("GDAL cannot interpret the coordinate system of " + whose + ": " + QuietGdal::last_message());
  OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

}  // namespace

bool reproject_points(std::vector<GaugePoint>& points, const std::string& layer_system, const std::string& grid_system,
                      const std::string& points_file) {
  const std::string from_text = trimmed(layer_system), to_text = trimmed(grid_system);
  if (from_text.empty() || to_text.empty()) return false;
  QuietGdal quiet;
  const System from = interpreted(from_text, points_file);
  const System to = interpreted(to_text, "the accumulation grid");
  if (OSRIsSame(from.get(), to.get())) return false;
  const Transformation transformation(OCTNewCoordinateTransformation(from.get(), to.get()));
  if (!transformation)
    refuse_input("the points of " + points_file + " are in another coordinate system than the accumulation grid, and " +
                 "GDAL has no transformation between them: " + QuietGdal::last_message());
  for (std::size_t i = 0; i < points.size(); ++i)
    if (!OCTTransform(transformation.get(), 1, &points[i].x, &points[i].y, nullptr))
      refuse_input(format("feature %zu of %s cannot be transformed into the accumulation grid's coordinate system",
                          i + 1, points_file.c_str()));
  return true;
}

}  // namespace orograd::pour
