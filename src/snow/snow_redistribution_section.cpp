#include "snow/snow_redistribution_section.hpp"

#include <array>

#include "base/fatal.hpp"
#include "control/section_names.hpp"
#include "grid/grid_writer.hpp"
#include "snow/snow_redistribution.hpp"

namespace orograd {

void run_snow_redistribution(RunState& run) {
  ControlFile& control = run.control_file();
  if (read_section_switch(control, section::snow_redistribution) == 0) return;

  const Grid& elevation = run.grids.elevation.grid;
  if (run.settings.elevation_model_switch == 0 || !elevation.held())
    fatal(100, "Error! for calculating snow redistribution grids, a digital elevation model has to be read in.\n",
          "[SnowRedistribution] needs the DEM in memory: give [Hoehenmodell] the switch 1 and the DEM's file name");
  if (run.settings.aspect_switch == 0 || !run.grids.aspect.grid.held())
    fatal(100,
          "Error! for calculating snow redistribution grids, exposition (aspect) calculation must be switched on.\n",
          "[SnowRedistribution] needs the aspect: give [Aspect] the switch 1 and an output file name");

  // north, west, east, south, order column, order row
  std::array<std::string, 6> file_names;
  for (std::string& name : file_names) control.read_word(name);
  // compute_snow_shares and write_elevation_order write every cell of the six grids.
  std::array<Grid, 6> grids;
  for (Grid& grid : grids) grid = run.grid_context.reuse_or_allocate(run.grids.scratch);

  const double nodata = run.grid_context.header.nodata_value;
  SnowShareGrids shares{grids[0], grids[1], grids[2], grids[3]};
  compute_snow_shares(elevation, run.grids.aspect.grid, nodata, shares);
  write_elevation_order(elevation, nodata, sort_cells_by_elevation(elevation, nodata), grids[4], grids[5]);

  for (std::size_t k = 0; k < grids.size(); ++k) write_grid(run.grid_context, file_names[k], grids[k]);
}

}  // namespace orograd
