#include "rivers/stream_order_section.hpp"

#include "control/section_names.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "rivers/stream_orders.hpp"

namespace orograd {

void run_stream_orders(RunState& run) {
  ControlFile& control = run.control_file();
  if (read_section_switch(control, section::stream_orders) == 0) return;
  std::string order_file, link_file, network_file, direction_file;
  control.read_word(order_file);
  control.read_word(link_file);
  control.read_word(network_file);
  SharedGrids& grids = run.grids;
  Grid& network = obtain_by_name(run.grid_context, grids.river_network, network_file);
  control.read_word(direction_file);
  Grid& directions = obtain_by_name(run.grid_context, grids.flow_direction, direction_file);

  grids.stream_order.release();
  grids.river_link.release();
  // Both are set in every cell from the network first.
  grids.stream_order.grid = run.grid_context.allocate_to_overwrite();
  grids.river_link.grid = run.grid_context.allocate_to_overwrite();
  Grid& orders = grids.stream_order.grid;
  Grid& links = grids.river_link.grid;
  normalise_river_grids(network, orders, links);

  FlowWalker walker = FlowWalker::checked(directions, run.console, &run.clean_paths);
  compute_stream_orders(walker, orders);
  number_river_links(walker, directions, network, orders, links, run.grid_context.header.cellsize, run.console);

  write_grid(run.grid_context, order_file, orders);
  grids.stream_order.name = order_file;
  write_grid(run.grid_context, link_file, links);
  grids.river_link.name = link_file;
}

}  // namespace orograd
