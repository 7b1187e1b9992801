#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Flowaccumulation]: counts upstream cells over the flow directions (from memory when
// they are held under the named file, else read) and writes the accumulation, which
// stays in memory under its output name.
void run_flow_accumulation(RunState& run);

}  // namespace orograd
