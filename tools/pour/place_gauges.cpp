#include "pour/place_gauges.hpp"

#include "base/fatal.hpp"
#include "pour/cell_of_point.hpp"
#include "pour/first_repeat.hpp"
#include "pour/pour_code.hpp"
#include "pour/refuse_input.hpp"

namespace orograd::pour {

namespace {

std::string feature(std::size_t index, const std::string& points_file) {
  return format("feature %zu of %s", index + 1, points_file.c_str());
}

// The codes of the points, checked all before any point is placed.
std::vector<int32_t> gauge_codes(const std::vector<GaugePoint>& points, const std::string& points_file,
                                 const std::string& code_field) {
  std::vector<int32_t> codes;
  std::vector<int64_t> keys;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::optional<int32_t> code = pour_code(points[i].code);
    if (!code)
      refuse_input(feature(i, points_file) + ": its " + code_field + " '" + points[i].code +
                   "' is no whole number from 1 to " + std::to_string(kLargestCode));
    codes.push_back(*code);
    keys.push_back(*code);
  }
  if (const auto repeat = first_repeat(keys))
    refuse_input(format("features %zu and %zu of %s have the same %s %d; each gauge needs a code of its own",
                        repeat->first + 1, repeat->second + 1, points_file.c_str(), code_field.c_str(),
                        codes[repeat->first]));
  return codes;
}

}  // namespace

std::vector<PlacedGauge> place_gauges(const std::vector<GaugePoint>& points, const Grid& accumulation,
                                      const GridHeader& geometry, double distance, const std::string& points_file,
                                      const std::string& code_field) {
  const std::vector<int32_t> codes = gauge_codes(points, points_file, code_field);
  std::vector<PlacedGauge> placed;
  std::vector<int64_t> snapped_cells;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::optional<GridCell> cell = cell_of_point(geometry, points[i].x, points[i].y);
    if (!cell)
      refuse_input(format("%s (x %.17g, y %.17g) lies outside the accumulation grid", feature(i, points_file).c_str(),
                          points[i].x, points[i].y));
    const std::optional<SnappedCell> snapped = snap_to_river(accumulation, geometry.cellsize, *cell, distance);
    if (!snapped)
      refuse_input(format("%s (row %d, column %d) has only nodata accumulation within %g map units",
                          feature(i, points_file).c_str(), cell->row, cell->col, distance));
    placed.push_back({codes[i], *cell, *snapped});
    snapped_cells.push_back(accumulation.shape().index(snapped->cell.row, snapped->cell.col));
  }
  if (const auto repeat = first_repeat(snapped_cells)) {
    const PlacedGauge& later = placed[repeat->second];
    refuse_input(format(
        "%s codes %d and %d are both snapped onto row %d, column %d; move one of the gauges or lower --snap",
        points_file.c_str(), placed[repeat->first].code, later.code, later.snapped.cell.row, later.snapped.cell.col));
  }
  return placed;
}

}  // namespace orograd::pour
