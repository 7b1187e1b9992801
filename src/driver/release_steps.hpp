#pragma once
// The release steps of the run sequence: between some analyses the driver releases
// shared grids and forgets their names, so later sections read their files again.
#include "driver/run_state.hpp"

namespace orograd {

// After the flow accumulation: the work grid, which the sections up to here may leave
// as a spare for the next one, so that it is not carried through the river sections.
void release_after_accumulation(RunState& run);

// After the flow-direction correction: the work grid, accumulation, river network and
// elevation model.
void release_after_correction(RunState& run);

// After the travel times: accumulation, river network, elevation model and slope.
void release_after_travel_times(RunState& run);

// At the end of the run: every grid the analyses may have left.
void release_at_end(RunState& run);

}  // namespace orograd
