#pragma once
// A built-in 5x7 bitmap font for legends: lower-case letters (upper case is drawn in
// lower case), digits and the signs of numbers and units.
#include <cstdint>
#include <string_view>

#include "view/image.hpp"

namespace orograd::view {

inline constexpr int32_t kGlyphHeight = 7;
inline constexpr int32_t kGlyphAdvance = 6;  // 5 columns of glyph, 1 of space

// Pixels the text spans across, drawn with `scale` pixels a font dot.
// Pre: scale >= 1.
int32_t text_width(std::string_view text, int32_t scale);

// Draws the text with its top-left corner at (x, y); dots outside the picture are left
// out, characters without a glyph leave a space. Pre: scale >= 1.
void draw_text(Image& image, int32_t x, int32_t y, std::string_view text, int32_t scale, Rgba colour);

}  // namespace orograd::view
