#include "flow/flow_direction_section.hpp"

#include "base/fatal.hpp"
#include "control/section_names.hpp"
#include "flow/depressionless_directions.hpp"
#include "grid/grid_writer.hpp"

namespace orograd {

void run_flow_directions(RunState& run) {
  ControlFile& control = run.control_file();
  const int32_t switch_value = read_section_switch(control, section::flow_direction);
  if (switch_value == 0) return;
  SharedGrids& grids = run.grids;
  if (run.settings.elevation_model_switch == 0 || !grids.elevation.grid.held())
    fatal(100, "Error! for calculating the flow directions a digital elevation model has to be read in.\n",
          "[Flowdirection] needs the DEM in memory: give [Hoehenmodell] the switch 1 and the DEM's file name");
  const Neighbourhood neighbourhood = switch_value == 1 ? Neighbourhood::eight : Neighbourhood::four;
  std::string direction_file, region_file, elevation_file;
  control.read_word(direction_file);
  control.read_word(region_file);
  control.read_word(elevation_file);

  // The direction pass writes every cell of both grids.
  Grid directions = run.grid_context.reuse_or_allocate(grids.flow_direction.grid);
  grids.flow_direction.release();
  Grid sink_regions = run.grid_context.reuse_or_allocate(grids.scratch);

  Grid& elevation = grids.elevation.grid;
  round_elevations(elevation);
  derive_flow_directions(neighbourhood, elevation, directions, sink_regions, run.console);

  write_grid(run.grid_context, direction_file, directions);
  write_grid(run.grid_context, region_file, sink_regions);
  write_grid(run.grid_context, elevation_file, elevation);

  grids.scratch = std::move(sink_regions);  // a spare for the sections that follow
  grids.flow_direction.grid = std::move(directions);
  grids.flow_direction.name = direction_file;
  // The filled elevations keep only the name they were read under: a later section
  // naming the filled-elevation output reads that file rather than this grid.
  grids.elevation.read_name.clear();
}

}  // namespace orograd
