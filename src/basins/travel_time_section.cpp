#include "basins/travel_time_section.hpp"

#include "basins/rectangular_channel.hpp"
#include "basins/travel_times.hpp"
#include "control/section_names.hpp"
#include "grid/grid_writer.hpp"

namespace orograd {

void run_travel_times(RunState& run) {
  ControlFile& control = run.control_file();
  if (read_section_switch(control, section::travel_times) == 0) return;
  run.console.write("calculating flow travel times..\n");
  std::string travel_time_file, depth_file, width_file;
  control.read_word(travel_time_file);
  control.read_word(depth_file);
  control.read_word(width_file);
  RunSettings& settings = run.settings;
  control.read(settings.strickler_coefficient);
  control.read(settings.specific_discharge);
  warn_unusable_channel_settings(section::travel_times, settings.strickler_coefficient, settings.specific_discharge,
                                 run.console);

  SharedGrids& grids = run.grids;
  GridContext& context = run.grid_context;
  std::string file;
  control.read_word(file);
  const Grid& elevation = obtain_by_either_name(context, grids.elevation, file);
  control.read_word(file);
  const Grid& slope = obtain_by_name(context, grids.slope, file);
  control.read_word(file);
  const Grid& directions = obtain_by_either_name(context, grids.flow_direction, file);
  control.read_word(file);
  const Grid& accumulation = obtain_by_either_name(context, grids.flow_accumulation, file);
  control.read_word(file);
  Grid& links = obtain_by_either_name(context, grids.river_link, file);

  for (SharedGrid* made : {&grids.river_network, &grids.travel_time})
    if (!made->grid.held()) made->grid = context.allocate_to_overwrite();
  // The river mask and the three values are set in every cell.
  Grid water_depth = context.allocate_to_overwrite(), channel_width = context.allocate_to_overwrite();
  TravelTimeOutputs out{links, grids.river_network.grid, grids.travel_time.grid, water_depth, channel_width};
  compute_travel_times({elevation, slope, directions, accumulation}, out,
                       {context.header.cellsize, settings.strickler_coefficient, settings.specific_discharge},
                       run.console, &run.clean_paths);

  write_grid(context, travel_time_file, out.travel_time);
  grids.travel_time.name = travel_time_file;
  write_grid(context, depth_file, water_depth);
  write_grid(context, width_file, channel_width);
  grids.river_network.release();
}

}  // namespace orograd
