#include "rivers/river_separation_section.hpp"

#include "base/fatal.hpp"
#include "control/section_names.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_links.hpp"
#include "rivers/river_separation.hpp"

namespace orograd {

namespace {

struct SeparationRequest {
  std::string base_name;
  int32_t lowest_order = 0;
  int32_t highest_order = 0;
};

// Writes one grid per order from the lowest to the highest requested. Orders above
// the highest present select no cell: they print their line and write nothing.
void separate_rivers(RunState& run, const SeparationRequest& request, Grid& directions) {
  SharedGrids& grids = run.grids;
  const Grid& orders = grids.stream_order.grid;
  Grid& links = grids.river_link.grid;
  if (!grids.river_network.grid.held()) grids.river_network.grid = run.grid_context.allocate();
  Grid& network = grids.river_network.grid;

  FlowWalker walker = FlowWalker::checked(directions, run.console, &run.clean_paths);
  const double highest = highest_stream_order(orders);
  // A 64-bit counter: the range may end at the largest int.
  for (int64_t order = request.lowest_order; order <= request.highest_order; ++order) {
    run.console.print("separating rivers of stream order %d and higher..\n", static_cast<int32_t>(order));
    const std::string file_name = format("%s%.2d", request.base_name.c_str(), static_cast<int32_t>(order));
    if (static_cast<double>(order) > highest) continue;
    if (select_rivers_from_order(orders, static_cast<double>(order), network, links) == 0) continue;
    number_river_links(walker, directions, network, orders, links, run.grid_context.header.cellsize, run.console);
    mark_link_outlets(walker, links, network);
    write_grid(run.grid_context, file_name, network);
  }
}

}  // namespace

void run_river_separation(RunState& run) {
  ControlFile& control = run.control_file();
  if (!control.find_section(section::river_separation)) return;
  SharedGrids& grids = run.grids;
  int32_t switch_value = 0;
  control.read(switch_value);
  if (switch_value != 0) {
    SeparationRequest request;
    control.read_word(request.base_name);
    control.read(request.lowest_order);
    control.read(request.highest_order);
    std::string order_file, link_file, direction_file;
    control.read_word(order_file);
    obtain_by_either_name(run.grid_context, grids.stream_order, order_file);
    control.read_word(link_file);
    obtain_by_either_name(run.grid_context, grids.river_link, link_file);
    control.read_word(direction_file);
    Grid& directions = obtain_by_either_name(run.grid_context, grids.flow_direction, direction_file);
    separate_rivers(run, request, directions);
  }
  for (SharedGrid* shared : {&grids.river_link, &grids.stream_order}) {
    shared->release();
    shared->read_name.clear();
  }
}

}  // namespace orograd
