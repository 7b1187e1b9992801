#pragma once
// What a grid shows, which decides how its cells are reduced, coloured and labelled.
#include <optional>
#include <string_view>

#include "grid/grid.hpp"

namespace orograd::view {

enum class Kind { dem, accumulation, network, subbasins, classes, values };

// The kind named on the command line ("dem", "accumulation", ...); empty for any
// other word.
std::optional<Kind> parse_kind(std::string_view name);
const char* kind_name(Kind kind);

// Whether the cells are codes (reduced by the most frequent code, one colour a code).
bool is_categorical(Kind kind);

// The kind a grid most likely shows, judged from its valid cells (those other than
// -9999), in this order:
//   - none valid, or some value with a fractional part:            values / dem
//   - whole numbers, every one 0 or 1:                              network
//   - whole numbers >= 0 up to at least 1000, a tenth or more 1s:   accumulation
//   - whole numbers, more than 256 distinct values:                 dem
//   - whole numbers, at most 256 distinct values, judged by the pairs of neighbouring
//     valid cells (east and south):
//       under a tenth of the pairs differ (codes form areas):       subbasins
//       the mean difference within pairs is at most a tenth of the
//       value range and half the grid or more is valid (smooth
//       ground in whole metres):                                    dem
//       otherwise (codes such as flow directions, river links):     classes
// Pre: the grid is held.
Kind guess_kind(const Grid& grid);

}  // namespace orograd::view
