#include "topo/local_topography_section.hpp"

#include "control/section_names.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "topo/horizon.hpp"
#include "topo/local_topography.hpp"

namespace orograd {

namespace {

// One output of the section: its request and, when switched on, its grid.
struct Output {
  OutputRequest request;
  Grid grid;
};

void read_elevation_model(RunState& run) {
  ControlFile& control = run.control_file();
  if (!control.find_section(section::elevation_model)) return;
  int32_t& model_switch = run.settings.elevation_model_switch;
  control.read(model_switch);
  if (model_switch == 0) return;
  std::string file_name;
  control.read_word(file_name);
  SharedGrid& elevation = run.grids.elevation;
  elevation.grid = read_first_grid(run.grid_context, file_name);
  // Later sections naming the same file use the grid in memory.
  elevation.name = file_name;
}

// A mandatory switch-and-name section; its grid is allocated when switched on.
Output read_output(RunState& run, const char* section) {
  Output output;
  output.request = read_output_request(run.control_file(), section);
  if (output.request.switch_value != 0) output.grid = run.grid_context.allocate();
  return output;
}

Grid* if_requested(Output& output) { return output.request.switch_value != 0 ? &output.grid : nullptr; }

HorizonInputs horizon_inputs(RunState& run) {
  return {run.grid_context.header, run.grids.elevation.grid, run.grids.slope.grid, run.grids.aspect.grid};
}

void run_horizon(RunState& run) {
  Output horizon = read_output(run, section::horizon);
  if (horizon.request.switch_value == 0) return;
  HorizonRequest request;  // full circle, no practical distance limit
  run.control_file().read(run.settings.azimuth_count);
  request.azimuth_count = run.settings.azimuth_count;
  run.grids.scratch = run.grid_context.allocate();
  compute_horizon(run.console, horizon_inputs(run), request, horizon.grid, run.grids.scratch);
  run.grids.scratch = Grid{};  // holds only the discarded wind pass of the full circle
  write_grid(run.grid_context, horizon.request.file_name, horizon.grid);
}

void run_wind_correction_factor(RunState& run) {
  Output sector = read_output(run, section::wind_correction);
  if (sector.request.switch_value == 0) return;
  ControlFile& control = run.control_file();
  HorizonRequest request;
  control.read(run.settings.azimuth_count);
  request.azimuth_count = run.settings.azimuth_count;
  control.read(request.minimum_azimuth);
  control.read(request.maximum_azimuth);
  control.read(request.wind.c1);
  control.read(request.wind.c2);
  control.read(request.wind.c3);
  control.read(request.max_distance);
  run.grids.scratch = run.grid_context.allocate();
  compute_horizon(run.console, horizon_inputs(run), request, sector.grid, run.grids.scratch);
  write_grid(run.grid_context, sector.request.file_name, sector.grid);
  write_grid(run.grid_context, sector.request.file_name + "_2", run.grids.scratch);
  run.grids.scratch = Grid{};
}

}  // namespace

void run_local_topography(RunState& run) {
  read_elevation_model(run);

  Output aspect = read_output(run, section::aspect);
  Output slope = read_output(run, section::slope);
  Output profile_curvature = read_output(run, section::profile_curvature);
  Output plan_curvature = read_output(run, section::plan_curvature);
  Output curvature = read_output(run, section::curvature);
  run.settings.aspect_switch = aspect.request.switch_value;
  run.settings.slope_switch = slope.request.switch_value;

  LocalTopographyGrids grids{if_requested(slope), if_requested(aspect), if_requested(profile_curvature),
                             if_requested(plan_curvature), if_requested(curvature)};
  compute_local_topography(run.console, run.grid_context.header, run.grids.elevation.grid, grids);
  // Slope and aspect stay in memory for later sections.
  if (slope.request.switch_value != 0) run.grids.slope.grid = std::move(slope.grid);
  if (aspect.request.switch_value != 0) run.grids.aspect.grid = std::move(aspect.grid);

  if (run.settings.aspect_switch != 0 && run.settings.slope_switch != 0) {
    run_horizon(run);
    run_wind_correction_factor(run);
  } else {
    run.console.print("Sorry, horizon elevation can only be calculated, if aspect and slope are calculated, too\n");
  }

  for (Output* output : {&curvature, &profile_curvature, &plan_curvature})
    if (output->request.switch_value != 0) write_grid(run.grid_context, output->request.file_name, output->grid);
  // The output names are not remembered: no later section finds slope or aspect by them.
  if (slope.request.switch_value != 0) write_grid(run.grid_context, slope.request.file_name, run.grids.slope.grid);
  if (aspect.request.switch_value != 0)
    write_grid(run.grid_context, aspect.request.file_name, run.grids.aspect.grid);
}

}  // namespace orograd
