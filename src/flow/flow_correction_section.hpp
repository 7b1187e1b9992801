#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Fliesskorrektur]: joins parallel river cells, one run per stream order listed,
// recomputing accumulation, network and orders after every run; then numbers the
// links once and writes orders, links, directions and accumulation, which stay in
// memory under those output names as their second names.
void run_flow_correction(RunState& run);

}  // namespace orograd
