#include "pour/pour_run.hpp"

#include <cmath>

#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "pour/place_gauges.hpp"
#include "pour/point_layer.hpp"
#include "pour/refuse_input.hpp"
#include "pour/reproject_points.hpp"

namespace orograd::pour {

void run_pour(const PourOptions& options, Console& console) {
  GridContext context(console);
  const Grid accumulation = read_first_grid(context, options.accumulation);
  // The reader takes any cell size; points can be placed only on a positive, finite one.
  if (!(context.header.cellsize > 0 && std::isfinite(context.header.cellsize)))
    refuse_input(format("the cell size of %s, %g, is no positive number: points cannot be placed on it",
                        options.accumulation.c_str(), context.header.cellsize));
  PointLayer layer = read_point_layer(options.points, options.code_field);
  if (layer.points.empty()) refuse_input("the point layer of " + options.points + " holds no point");
  if (reproject_points(layer.points, layer.coordinate_system, context.coordinate_system, options.points))
    console.print("points of %s reprojected into the coordinate system of %s\n", options.points.c_str(),
                  options.accumulation.c_str());
  const double distance = options.snap.value_or(2 * context.header.cellsize);
  const std::vector<PlacedGauge> placed =
      place_gauges(layer.points, accumulation, context.header, distance, options.points, options.code_field);

  Grid pour_points = context.allocate();
  pour_points.fill(kNodata);
  for (const PlacedGauge& gauge : placed) pour_points(gauge.snapped.cell.row, gauge.snapped.cell.col) = gauge.code;
  context.output_format = native_grid_format(options.accumulation).value_or(OutputFormat::text);
  write_grid(context, options.pour_grid, pour_points);
  for (const PlacedGauge& gauge : placed)
    console.print("code %d: row %d col %d -> row %d col %d, moved %.10g, accumulation %.10g\n", gauge.code,
                  gauge.cell.row, gauge.cell.col, gauge.snapped.cell.row, gauge.snapped.cell.col,
                  gauge.snapped.distance, gauge.snapped.accumulation);
}

}  // namespace orograd::pour
