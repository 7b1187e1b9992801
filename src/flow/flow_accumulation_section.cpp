#include "flow/flow_accumulation_section.hpp"

#include "control/section_names.hpp"
#include "flow/flow_accumulation.hpp"
#include "grid/grid_writer.hpp"

namespace orograd {

void run_flow_accumulation(RunState& run) {
  ControlFile& control = run.control_file();
  const int32_t switch_value = read_section_switch(control, section::flow_accumulation);
  // The river network takes the accumulation from memory only when this was on.
  run.settings.flow_accumulation_switch = switch_value;
  if (switch_value == 0) return;
  std::string accumulation_file, direction_file;
  control.read_word(accumulation_file);
  control.read_word(direction_file);
  const Grid& directions = obtain_by_name(run.grid_context, run.grids.flow_direction, direction_file);
  control.read(run.settings.river_threshold);

  SharedGrid& accumulation = run.grids.flow_accumulation;
  accumulation.release();
  accumulation.grid = run.grid_context.reuse_or_allocate(run.grids.scratch);
  accumulate_flow(directions, run.settings.river_threshold, accumulation.grid, run.console, &run.clean_paths);
  write_grid(run.grid_context, accumulation_file, accumulation.grid);
  accumulation.name = accumulation_file;
}

}  // namespace orograd
