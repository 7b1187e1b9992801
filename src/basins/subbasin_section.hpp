#pragma once
#include "driver/run_state.hpp"

namespace orograd {

// [Einzugsgebiete]: for each pour point set, delineates the subbasins, sums the
// travel times to their outlets, builds the routing records with the console table
// and writes the subbasins, the flow times, the routing reaches and the structure
// file. Says so when the section is missing.
void run_subbasins(RunState& run);

}  // namespace orograd
