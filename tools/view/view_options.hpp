#pragma once
// The command line of orograd-view.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "view/overlay.hpp"
#include "view/view_kind.hpp"

namespace orograd::view {

inline constexpr const char* kViewUsage =
    "usage: orograd-view <grid> <out.png> [--kind dem|accumulation|network|subbasins|classes|values]\n"
    "                    [--overlay [rivers:|basins:]<grid>]... [--size N]\n";

struct ViewOptions {
  std::string grid;
  std::string picture;
  std::optional<Kind> kind;  // empty: judged from the grid's values
  std::vector<OverlayRequest> overlays;
  int32_t size = 1600;  // longest side of the map in pixels
};

// Reads the arguments after the program name; options may come before, between or
// after the two file names.
// Fatal: 1 with the usage text when a file name is missing or extra, an option is
// unknown or lacks its value, the kind is unknown or the size is not a whole number
// from 16 to 100000.
ViewOptions parse_view_arguments(const std::vector<std::string>& arguments);

}  // namespace orograd::view
