#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Flussordnungen]: Strahler orders and numbered links of a river network over the
// flow directions (each from memory when held under the named file, else read). The
// numbering redirects hillslope cells around confluences in the directions in memory.
// Orders and links are written and stay in memory under their output names.
void run_stream_orders(RunState& run);

}  // namespace orograd
