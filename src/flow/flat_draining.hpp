#pragma once
// Draining of flat areas: a cell without direction is pointed at an equally high
// neighbour that already drains, so flow crosses each flat from its outlet inwards.
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The cells a flat sweep examines that still have direction 0: rows 2 to nrows - 1,
// columns 2 to ncols - 1 (the outermost ring is never examined), in row-major order,
// as indices (row - 1) * ncols + (col - 1).
std::vector<int64_t> collect_undrained_cells(const Grid& directions);

// One sweep over `undrained` in order. A cell takes the code of the first neighbour (in
// the order north, south, east, west, then the diagonals north-east, south-east,
// south-west, north-west with eight neighbours) of exactly its elevation whose
// `flat_labels` value differs from its own, that is one that already drains; it then
// gets nodata in `flat_labels` and leaves `undrained`. Updates in place, so a cell
// drained earlier in the sweep drains the cells after it. Returns the number of cells
// still undrained.
int64_t drain_flats(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions, Grid& flat_labels,
                    std::vector<int64_t>& undrained);

}  // namespace orograd
