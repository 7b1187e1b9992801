#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Hoehenmodell] and the local-topography outputs: reads the elevation model (which
// fixes the run's geometry), computes and writes slope, aspect and the curvatures, and
// runs [Horizont] and [WindCorrectionFactor] when slope and aspect are both requested.
void run_local_topography(RunState& run);

}  // namespace orograd
