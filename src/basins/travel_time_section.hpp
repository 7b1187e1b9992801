#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Fliesszeiten]: numbers the river links of a link grid (any grid whose river cells
// hold 0 or more), solves each link's channel hydraulics, prints the link table and
// writes travel times, water depths and channel widths. The travel times stay in
// memory under their output name for the subbasins; the link grid, taken from memory
// or read, keeps this section's link numbers. The network, depth and width grids are
// released at the end.
void run_travel_times(RunState& run);

}  // namespace orograd
