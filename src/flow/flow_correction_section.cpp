#include "flow/flow_correction_section.hpp"

#include <optional>

#include "control/section_names.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow/flow_correction.hpp"
#include "grid/grid_writer.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "rivers/stream_orders.hpp"

namespace orograd {

namespace {

// The output files, in the order they are read and written.
struct CorrectionOutputs {
  std::string stream_order, river_link, flow_direction, flow_accumulation;
};

void read_inputs(RunState& run) {
  ControlFile& control = run.control_file();
  SharedGrids& grids = run.grids;
  for (SharedGrid* shared :
       {&grids.elevation, &grids.stream_order, &grids.flow_direction, &grids.flow_accumulation, &grids.river_network}) {
    std::string file_name;
    control.read_word(file_name);
    obtain_by_name(run.grid_context, *shared, file_name);
  }
  // The scratch grid takes a copy of the directions; the links are set in every cell.
  if (!grids.scratch.held()) grids.scratch = run.grid_context.allocate_to_overwrite();
  if (!grids.river_link.grid.held()) {
    grids.river_link.grid = run.grid_context.allocate_to_overwrite();
    prepare_river_links(grids.river_network.grid, grids.river_link.grid);
  }
}

// One correction run for the rivers of `order`, then accumulation, network and
// orders over the corrected directions. Returns the walker of the new directions.
FlowWalker correct_and_recompute(RunState& run, int32_t order) {
  SharedGrids& grids = run.grids;
  Grid& directions = grids.flow_direction.grid;
  Grid& accumulation = grids.flow_accumulation.grid;
  correct_parallel_flow(order, directions, grids.stream_order.grid, accumulation, grids.scratch);
  FlowWalker walker =
      accumulate_flow(directions, run.settings.river_threshold, accumulation, run.console, &run.clean_paths);
  init_river_grids(accumulation, run.settings.river_threshold, grids.river_network.grid, grids.stream_order.grid,
                   grids.river_link.grid);
  compute_stream_orders(walker, grids.stream_order.grid);
  return walker;
}

void write_outputs(RunState& run, const CorrectionOutputs& outputs) {
  SharedGrids& grids = run.grids;
  const std::pair<SharedGrid*, const std::string*> written[] = {{&grids.stream_order, &outputs.stream_order},
                                                               {&grids.river_link, &outputs.river_link},
                                                               {&grids.flow_direction, &outputs.flow_direction},
                                                               {&grids.flow_accumulation, &outputs.flow_accumulation}};
  for (const auto& [shared, file_name] : written) {
    write_grid(run.grid_context, *file_name, shared->grid);
    shared->read_name = *file_name;
  }
}

}  // namespace

void run_flow_correction(RunState& run) {
  ControlFile& control = run.control_file();
  if (read_section_switch(control, section::flow_correction) == 0) return;
  CorrectionOutputs outputs;
  for (std::string* name :
       {&outputs.stream_order, &outputs.river_link, &outputs.flow_direction, &outputs.flow_accumulation})
    control.read_word(*name);
  // The threshold's line is not skipped: the next word read is the elevation file.
  control.read_leaving_rest_of_line(run.settings.river_threshold);
  read_inputs(run);

  int32_t runs = 0;
  control.read(runs);
  SharedGrids& grids = run.grids;
  Grid& directions = grids.flow_direction.grid;
  std::optional<FlowWalker> walker;
  int32_t order = 0;  // an unreadable line leaves the order of the run before
  for (int32_t run_number = 1; run_number <= runs; ++run_number) {
    if (!control.read(order) && control.at_end()) {
      // Without this a huge run count would repeat the whole-grid work for nothing.
      run.console.warn("%s lists %d correction runs, but the control file ends after %d of them; "
                       "the other runs are skipped", section::flow_correction, runs, run_number - 1);
      break;
    }
    if (order <= 0) run.console.print("stream order %d read from %s is t small\n", order, control.name().c_str());
    run.console.print("\ncorrection of flow direction: run %d, streams of order %d\n", run_number, order);
    walker.emplace(correct_and_recompute(run, order));
  }
  if (!walker) walker.emplace(FlowWalker::checked(directions, run.console, &run.clean_paths));
  number_river_links(*walker, directions, grids.river_network.grid, grids.stream_order.grid, grids.river_link.grid,
                     run.grid_context.header.cellsize, run.console);
  write_outputs(run, outputs);
}

}  // namespace orograd
