#include "rivers/river_network_section.hpp"

#include "control/section_names.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_network.hpp"

namespace orograd {

void run_river_network(RunState& run) {
  ControlFile& control = run.control_file();
  if (read_section_switch(control, section::river_network) == 0) return;
  std::string network_file, accumulation_file;
  control.read_word(network_file);
  control.read_word(accumulation_file);
  const Grid& accumulation = obtain_by_name(run.grid_context, run.grids.flow_accumulation, accumulation_file,
                                            run.settings.flow_accumulation_switch != 0);
  control.read(run.settings.river_threshold);

  SharedGrid& network = run.grids.river_network;
  network.release();
  network.grid = run.grid_context.allocate_to_overwrite();
  mark_river_cells(accumulation, run.settings.river_threshold, network.grid);
  write_grid(run.grid_context, network_file, network.grid);
  network.name = network_file;
}

}  // namespace orograd
