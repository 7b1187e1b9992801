#pragma once
// An RGBA picture in memory, row by row from the top, 8 bits a channel: what the
// renderer draws into and the PNG writer writes.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orograd::view {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

inline constexpr Rgba kTransparent{0, 0, 0, 0};
inline constexpr Rgba kBlack{0, 0, 0, 255};
inline constexpr Rgba kWhite{255, 255, 255, 255};

class Image {
 public:
  // Pre: width, height >= 0. Post: every pixel is `fill`.
  Image(int32_t width, int32_t height, Rgba fill = kTransparent)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Pre: 0 <= x < width, 0 <= y < height.
  Rgba& at(int32_t x, int32_t y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  Rgba at(int32_t x, int32_t y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  // The 4 * width bytes of row y, red first. Pre: 0 <= y < height.
  const uint8_t* row_bytes(int32_t y) const {
    return reinterpret_cast<const uint8_t*>(pixels_.data() + static_cast<std::size_t>(y) * width_);
  }

  // Sets the pixels of a rectangle; the parts outside the picture are left out.
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h, Rgba colour);

 private:
  int32_t width_;
  int32_t height_;
  std::vector<Rgba> pixels_;
};

static_assert(sizeof(Rgba) == 4, "rows of Rgba are written to the PNG as they lie in memory");

}  // namespace orograd::view
