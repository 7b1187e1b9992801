#pragma once
// One run of orograd-view: read the grids, fit them to the picture, draw and write it.
#include "base/console.hpp"
#include "view/view_options.hpp"

namespace orograd::view {

// Reads the grid (the reader's lines go to the console), chooses its kind when none is
// given, reduces or enlarges it to options.size, draws the overlays (read with the
// grid's geometry) and writes the PNG, then prints one line naming the picture, its
// size and kind.
// Fatal: as read_first_grid and read_grid for the grids (2 unreadable, 1 an overlay of
// another geometry, ...), as write_png for the picture.
void run_view(const ViewOptions& options, Console& console);

}  // namespace orograd::view
