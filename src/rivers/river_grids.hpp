#pragma once
// The three grids of a river network before orders and links are computed: the
// network (1 on river cells), the stream orders (1 on river cells, to be raised) and
// the links (0 on river cells, to be numbered); nodata elsewhere in all three.
#include "grid/grid.hpp"

namespace orograd {

// Prepares the river grids from a network grid read or made earlier: every cell
// other than nodata (0 included) is a river cell. `orders` and `links` have the size
// of `network`; every cell of the three is written.
void normalise_river_grids(Grid& network, Grid& orders, Grid& links);

// Prepares a link grid for numbering on a network grid: 0 on every cell other than
// nodata, nodata elsewhere.
void prepare_river_links(const Grid& network, Grid& links);

// Rebuilds the river grids from an accumulation: the river cells are those whose
// accumulation is greater than `threshold`, compared as doubles.
void init_river_grids(const Grid& accumulation, double threshold, Grid& network, Grid& orders, Grid& links);

}  // namespace orograd
