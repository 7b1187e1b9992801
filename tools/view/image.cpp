#include "view/image.hpp"

#include <algorithm>

namespace orograd::view {

void Image::fill_rect(int32_t x, int32_t y, int32_t w, int32_t h, Rgba colour) {
  const int32_t x0 = std::max(x, 0), x1 = std::min(x + w, width_);
  const int32_t y0 = std::max(y, 0), y1 = std::min(y + h, height_);
  for (int32_t row = y0; row < y1; ++row)
    for (int32_t col = x0; col < x1; ++col) at(col, row) = colour;
}

}  // namespace orograd::view
