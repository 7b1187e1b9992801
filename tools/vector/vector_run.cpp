#include "vector/vector_run.hpp"

#include "grid/grid_reader.hpp"
#include "vector/basin_polygons.hpp"
#include "vector/feature_geometry.hpp"
#include "vector/river_lines.hpp"

namespace orograd::vector {

namespace {

void write_basins(const VectorOptions& options, Console& console) {
  GridContext context(console);
  const std::vector<BasinPolygon> basins = [&] {
    const Grid grid = read_first_grid(context, options.codes);
    return trace_basin_polygons(read_codes(grid, options.codes));
  }();
  const double cellsize = context.header.cellsize;
  VectorFile file(console, options.output, options.format, "basins", wkbMultiPolygon,
                  {{"code", OFTInteger}, {"cells", OFTInteger64}, {"area_km2", OFTReal}}, context.coordinate_system);
  for (const BasinPolygon& basin : basins) {
    OGRFeatureUniquePtr feature = file.feature();
    feature->SetField("code", basin.code);
    feature->SetField("cells", static_cast<GIntBig>(basin.cells));
    feature->SetField("area_km2", static_cast<double>(basin.cells) * cellsize * cellsize / 1e6);
    feature->SetGeometryDirectly(basin_geometry(basin, context.header).release());
    file.add(*feature);
  }
  file.commit();
  console.print("wrote %s: %zu basins\n", options.output.c_str(), basins.size());
}

void write_rivers(const VectorOptions& options, Console& console) {
  GridContext context(console);
  const Grid link_grid = read_first_grid(context, options.codes);
  const CodeGrid links = read_codes(link_grid, options.codes);
  const Grid directions = read_grid(context, options.directions);
  const Grid order_grid = options.orders ? read_grid(context, *options.orders) : Grid();
  const std::optional<CodeGrid> orders =
      options.orders ? std::optional<CodeGrid>(read_codes(order_grid, *options.orders)) : std::nullopt;
  const FlowWalker walker = FlowWalker::checked(directions, console);
  const std::vector<RiverLine> lines =
      trace_river_lines(walker, links, orders ? &*orders : nullptr, context.header.cellsize);
  std::vector<VectorField> fields{{"link", OFTInteger}, {"order", OFTInteger}, {"length", OFTReal}, {"cells", OFTInteger64}};
  if (!orders) fields.erase(fields.begin() + 1);
  VectorFile file(console, options.output, options.format, "rivers", wkbLineString, fields, context.coordinate_system);
  for (const RiverLine& line : lines) {
    OGRFeatureUniquePtr feature = file.feature();
    feature->SetField("link", line.link);
    if (orders) feature->SetField("order", line.order);
    feature->SetField("length", line.length);
    feature->SetField("cells", static_cast<GIntBig>(line.cells));
    feature->SetGeometryDirectly(river_geometry(line, context.header).release());
    file.add(*feature);
  }
  file.commit();
  console.print("wrote %s: %zu river links\n", options.output.c_str(), lines.size());
}

}  // namespace

void run_vector(const VectorOptions& options, Console& console) {
  if (options.command == Command::basins) write_basins(options, console);
  else write_rivers(options, console);
}

}  // namespace orograd::vector
