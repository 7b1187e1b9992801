// Judging what a grid shows from its values, for the map and for overlays.
#include <gtest/gtest.h>

#include <functional>

#include "picture_support.hpp"
#include "view/overlay.hpp"
#include "view/view_kind.hpp"

namespace orograd::view {
namespace {

using testing::grid_of;

struct GuessCase {
  const char* name;
  std::function<double(int32_t r, int32_t c)> cell;  // over 20 x 20 cells, from 1
  Kind expected;
};

Grid grid_from(const std::function<double(int32_t, int32_t)>& cell) {
  Grid grid = Grid::allocate(20, 20);
  for (int32_t r = 1; r <= 20; ++r)
    for (int32_t c = 1; c <= 20; ++c) grid(r, c) = cell(r, c);
  return grid;
}

TEST(ViewKind, GuessFromTheValues) {
  const GuessCase cases[] = {
      {"fractional elevations", [](int32_t r, int32_t c) { return 100 + r * 1.5 + c; }, Kind::dem},
      {"whole elevations, many values", [](int32_t r, int32_t c) { return 100 * r + c; }, Kind::dem},
      {"whole elevations, low relief", [](int32_t r, int32_t c) { return double(r + c); }, Kind::dem},
      {"link numbers along a line", [](int32_t r, int32_t c) { return r == 5 ? c : kNodata; }, Kind::classes},
      {"river cells and nodata", [](int32_t r, int32_t c) { return r == c ? 1 : kNodata; }, Kind::network},
      {"0/1 network", [](int32_t r, int32_t c) { return r == 5 && c > 3 ? 1 : 0; }, Kind::network},
      {"counts to 2000, mostly 1", [](int32_t r, int32_t c) { return r == 10 ? c * 100 : 1; }, Kind::accumulation},
      {"counts below 1000", [](int32_t r, int32_t c) { return r == 10 ? c * 40 : 1; }, Kind::subbasins},
      {"two areas of codes", [](int32_t, int32_t c) { return c <= 10 ? 7 : 8; }, Kind::subbasins},
      {"scattered direction codes", [](int32_t r, int32_t c) { return double(1 << ((7 * r + 3 * c) % 8)); },
       Kind::classes},
      {"nodata only", [](int32_t, int32_t) { return kNodata; }, Kind::values},
  };
  for (const GuessCase& c : cases) EXPECT_EQ(kind_name(guess_kind(grid_from(c.cell))), kind_name(c.expected)) << c.name;
}

TEST(ViewKind, OverlaysAreRiversOrBasinsByPrefixOrValues) {
  EXPECT_EQ(guess_overlay_kind(grid_of({{0, 1, kNodata}, {1, 1, 0}})), OverlayKind::rivers);
  EXPECT_EQ(guess_overlay_kind(grid_of({{1, 1, kNodata}, {1, 2, 2}})), OverlayKind::basins);

  const OverlayRequest rivers = parse_overlay("rivers:out/links.asc");
  EXPECT_EQ(rivers.kind, OverlayKind::rivers);
  EXPECT_EQ(rivers.file, "out/links.asc");
  EXPECT_EQ(parse_overlay("basins:b.asc").kind, OverlayKind::basins);
  const OverlayRequest bare = parse_overlay("river:c.asc");
  EXPECT_FALSE(bare.kind.has_value());
  EXPECT_EQ(bare.file, "river:c.asc");
}

}  // namespace
}  // namespace orograd::view
