#include "view/raster.hpp"

#include <algorithm>

#include "grid/grid.hpp"

namespace orograd::view {

ValueRange value_range(const Raster& raster) {
  ValueRange range;
  for (const double value : raster.values) {
    if (value == kNodata) continue;
    range.low = range.any ? std::min(range.low, value) : value;
    range.high = range.any ? std::max(range.high, value) : value;
    range.any = true;
  }
  return range;
}

}  // namespace orograd::view
