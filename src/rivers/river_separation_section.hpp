#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Flusseparation]: for each order of a range, the network of the rivers of that order
// and higher, its links numbered anew, written as one grid per order that holds each
// link's number at its last cell. The order and link grids are released afterwards,
// also when the section's switch is 0.
void run_river_separation(RunState& run);

}  // namespace orograd
