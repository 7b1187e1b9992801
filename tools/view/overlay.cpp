#include "view/overlay.hpp"

#include <string_view>
#include <utility>

namespace orograd::view {

namespace {

// Whether the pixel (px, py) lies in a cell whose value differs from `value`; pixels
// off the picture's map part never do.
bool differs(const Raster& codes, int32_t enlarge, int32_t px, int32_t py, double value) {
  if (px < 0 || py < 0 || px >= codes.width * enlarge || py >= codes.height * enlarge) return false;
  return codes.at(px / enlarge, py / enlarge) != value;
}

}  // namespace

OverlayRequest parse_overlay(const std::string& argument) {
  for (const auto& [prefix, kind] : {std::pair{"rivers:", OverlayKind::rivers}, std::pair{"basins:", OverlayKind::basins}})
    if (argument.starts_with(prefix)) return {kind, argument.substr(std::string_view(prefix).size())};
  return {std::nullopt, argument};
}

OverlayKind guess_overlay_kind(const Grid& grid) {
  for (int32_t r = 1; r <= grid.nrows(); ++r) {
    const double* row = grid.row(r);
    for (int32_t c = 0; c < grid.ncols(); ++c)
      if (row[c] != kNodata && row[c] != 0 && row[c] != 1) return OverlayKind::basins;
  }
  return OverlayKind::rivers;
}

void draw_rivers(Image& image, const Raster& rivers, int32_t enlarge, Rgba colour) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t y = 0; y < rivers.height; ++y)
    for (int32_t x = 0; x < rivers.width; ++x)
      if (rivers.at(x, y) > 0) image.fill_rect(x * enlarge, y * enlarge, enlarge, enlarge, colour);
}

void draw_boundaries(Image& image, const Raster& codes, int32_t enlarge) {
  const int32_t height = codes.height * enlarge, width = codes.width * enlarge;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t py = 0; py < height; ++py)
    for (int32_t px = 0; px < width; ++px) {
      const double value = codes.at(px / enlarge, py / enlarge);
      if (value == kNodata) continue;
      if (differs(codes, enlarge, px + 1, py, value) || differs(codes, enlarge, px - 1, py, value) ||
          differs(codes, enlarge, px, py + 1, value) || differs(codes, enlarge, px, py - 1, value))
        image.at(px, py) = kBlack;
    }
}

}  // namespace orograd::view
