#include "basins/subbasin_section.hpp"

#include "basins/rectangular_channel.hpp"
#include "basins/routing_records.hpp"
#include "basins/structure_file.hpp"
#include "basins/subbasin_delineation.hpp"
#include "basins/subbasin_flow_times.hpp"
#include "control/section_names.hpp"
#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"

namespace orograd {

namespace {

// The five lines of one pour point set.
struct PourPointSet {
  std::string pour_points, subbasins, flow_times, routing_reaches, structure;
};

void run_pour_point_set(RunState& run, const PourPointSet& set, const FlowWalker& walker, int32_t mode) {
  SharedGrids& grids = run.grids;
  GridContext& context = run.grid_context;
  run.console.print("Pourpoints from %s\n", set.pour_points.c_str());
  Grid subbasins = read_grid(context, set.pour_points);
  Grid flow_times = context.allocate_to_overwrite();  // set in every cell
  Grid routing_reaches = context.allocate_to_overwrite();
  routing_reaches.fill(kNodata);

  const SubbasinRanks ranks = delineate_subbasins(walker, subbasins, run.console);
  write_grid(context, set.subbasins, subbasins);
  compute_subbasin_flow_times(walker, subbasins, grids.travel_time.grid, flow_times, run.console);
  write_grid(context, set.flow_times, flow_times);

  const RoutingInputs inputs{subbasins,
                             walker,
                             grids.flow_accumulation.grid,
                             grids.elevation.grid,
                             grids.travel_time.grid,
                             context.header.cellsize,
                             run.settings.strickler_coefficient,
                             run.settings.specific_discharge,
                             mode};
  const std::vector<SubbasinRecord> records = build_routing_records(inputs, ranks, routing_reaches, run.console);
  write_structure_file(set.structure, routing_structure_text(records, context.header.cellsize, mode));
  write_grid(context, set.routing_reaches, routing_reaches);
}

}  // namespace

void run_subbasins(RunState& run) {
  ControlFile& control = run.control_file();
  if (!control.find_section(section::subbasins)) {
    run.console.print("%s not found in %s\n", section::subbasins, control.name().c_str());
    return;
  }
  int32_t mode = 0;
  control.read(mode);
  if (mode <= 0) return;
  run.console.write("calculating subbasins according to given pourpoints/pourregions..\n");
  RunSettings& settings = run.settings;
  control.read(settings.strickler_coefficient);
  control.read(settings.specific_discharge);
  warn_unusable_channel_settings(section::subbasins, settings.strickler_coefficient, settings.specific_discharge,
                                 run.console);

  SharedGrids& grids = run.grids;
  std::string file_name;
  for (SharedGrid* shared : {&grids.elevation, &grids.flow_accumulation, &grids.flow_direction}) {
    control.read_word(file_name);
    obtain_by_either_name(run.grid_context, *shared, file_name);
  }
  control.read_word(file_name);
  obtain_by_name(run.grid_context, grids.travel_time, file_name);
  const FlowWalker walker = FlowWalker::checked(grids.flow_direction.grid, run.console, &run.clean_paths);

  int32_t sets = 0;
  control.read(sets);
  for (int32_t number = 1; number <= sets; ++number) {
    PourPointSet set;
    for (std::string* name : {&set.pour_points, &set.subbasins, &set.flow_times, &set.routing_reaches, &set.structure})
      control.read_word(*name);
    if (control.at_end() && set.structure.empty()) {
      run.console.warn("%s lists %d pour point sets, but the control file ends after %d of them; "
                       "the other sets are skipped", section::subbasins, sets, number - 1);
      break;
    }
    run_pour_point_set(run, set, walker, mode);
  }
}

}  // namespace orograd
