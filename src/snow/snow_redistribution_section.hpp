#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [SnowRedistribution]: writes the four neighbour shares and the two grids of the
// elevation order, from the elevation grid in memory and the aspect grid.
void run_snow_redistribution(RunState& run);

}  // namespace orograd
