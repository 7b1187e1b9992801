#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Flussnetz]: marks the cells whose accumulation exceeds the threshold and writes the
// network, which stays in memory under its output name. The accumulation comes from
// memory only when [Flowaccumulation] ran in this run and wrote it under that name.
void run_river_network(RunState& run);

}  // namespace orograd
