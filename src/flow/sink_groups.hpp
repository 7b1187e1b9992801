#pragma once
// Groups of sink regions whose sink runs are expected never to meet, so that the runs
// of different groups can be done side by side.
//
// Every cell with a direction drains into one region or off the model: the region's
// basin. Between two neighbouring basins water passes at the higher of the two cells
// where they touch, their saddle. Filled, a basin holds water up to the lowest level
// at which some chain of saddles leads off the model. Two neighbouring basins form one
// lake, and their regions meet, when both are filled up to their saddle.
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The group of every region label (index = label, entry 0 unused): regions of basins
// that are filled to a saddle between them share a group, named by one of its labels.
// Pre: `labels` holds the region labels 1 to `region_count` at the cells without
// direction and 0 or less elsewhere; `directions` holds the codes of the direction pass
// over `elevation`, which has no cycle. Post: the grids are unchanged.
// Linear in the grid, plus n log n in the number of pairs of touching basins.
std::vector<int64_t> group_sink_regions(Neighbourhood neighbourhood, const Grid& elevation, const Grid& directions,
                                        const Grid& labels, int64_t region_count);

}  // namespace orograd
