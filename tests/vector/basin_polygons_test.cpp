// Basin polygons: every code's cells covered exactly, holes and parts where the cells
// lie so, and rings that stay simple where cells touch at a corner.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "vector/basin_polygons.hpp"
#include "vector/feature_geometry.hpp"

namespace orograd::vector {
namespace {

// The polygons of a grid of these rows of codes, 0 for nodata.
std::vector<BasinPolygon> trace(const std::vector<std::vector<int32_t>>& rows) {
  Grid grid = Grid::allocate(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      grid(static_cast<int32_t>(r + 1), static_cast<int32_t>(c + 1)) = rows[r][c] == 0 ? kNodata : rows[r][c];
  return trace_basin_polygons(read_codes(grid, "codes"));
}

// A ring is closed, runs along cell edges and passes no corner twice.
void expect_simple(const Ring& ring) {
  ASSERT_GE(ring.size(), 5U);
  EXPECT_EQ(ring.front(), ring.back());
  std::set<std::pair<int32_t, int32_t>> corners;
  for (std::size_t k = 0; k + 1 < ring.size(); ++k) {
    EXPECT_TRUE(corners.insert({ring[k].row, ring[k].col}).second) << "corner passed twice";
    EXPECT_TRUE((ring[k].row == ring[k + 1].row) != (ring[k].col == ring[k + 1].col)) << "not along a cell edge";
  }
}

struct Shape {
  int64_t cells;
  std::size_t parts, holes;
};

// Checks the basins against the expected shapes by code, and that shells run
// counter-clockwise, holes clockwise, and shells less holes give the cell count.
void expect_basins(const std::vector<BasinPolygon>& basins, const std::map<int32_t, Shape>& expected) {
  ASSERT_EQ(basins.size(), expected.size());
  for (const BasinPolygon& basin : basins) {
    SCOPED_TRACE("code " + std::to_string(basin.code));
    ASSERT_TRUE(expected.contains(basin.code));
    const Shape& shape = expected.at(basin.code);
    EXPECT_EQ(basin.cells, shape.cells);
    EXPECT_EQ(basin.parts.size(), shape.parts);
    int64_t twice_area = 0;
    std::size_t holes = 0;
    for (const PolygonRings& part : basin.parts) {
      expect_simple(part.shell);
      EXPECT_GT(twice_signed_area(part.shell), 0);
      twice_area += twice_signed_area(part.shell);
      for (const Ring& hole : part.holes) {
        expect_simple(hole);
        EXPECT_LT(twice_signed_area(hole), 0);
        twice_area += twice_signed_area(hole);
      }
      holes += part.holes.size();
    }
    EXPECT_EQ(holes, shape.holes);
    EXPECT_EQ(twice_area, 2 * basin.cells);
  }
}

TEST(BasinPolygons, HolesPartsAndCornersWhereCellsTouch) {
  struct Case {
    const char* name;
    std::vector<std::vector<int32_t>> rows;
    std::map<int32_t, Shape> expected;
  };
  const Case cases[] = {
      // 1 surrounds 2 and a cell of no code: one hole. 3 lies in two parts; 4 in four,
      // three of which touch others only at corners.
      {"holes and parts",
       {{1, 1, 1, 1, 1, 3, 3},  //
        {1, 2, 2, 0, 1, 3, 0},  //
        {1, 2, 2, 1, 1, 0, 0},  //
        {1, 1, 1, 1, 1, 0, 3},  //
        {4, 0, 4, 0, 4, 4, 0},  //
        {4, 4, 0, 4, 0, 0, 0}},
       {{1, {15, 1, 1}}, {2, {4, 1, 0}}, {3, {4, 2, 0}}, {4, {7, 4, 0}}}},
      // The hole of 1 touches its shell at a corner, where the outer boundary would
      // pass twice.
      {"hole touching the shell",
       {{1, 1, 1},  //
        {1, 0, 1},  //
        {1, 1, 0}},
       {{1, {7, 1, 1}}}},
      // Two cells of no code touching at a corner inside 1: two holes, not one ring
      // passing that corner twice.
      {"holes touching each other",
       {{1, 1, 1, 1},  //
        {1, 0, 1, 1},  //
        {1, 1, 0, 1},  //
        {1, 1, 1, 1}},
       {{1, {14, 1, 2}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_basins(trace(c.rows), c.expected);
  }
}

// On random grids of few codes every multipolygon is valid as GEOS judges it and
// covers the code's cells, in map units.
TEST(BasinPolygons, RandomGridsGiveValidMultipolygonsOfTheCodesArea) {
  ASSERT_TRUE(OGRGeometryFactory::haveGEOS());
  std::mt19937 random(7);
  const GridHeader geometry{9, 8, 1000, 2000, 30, kNodata};
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<std::vector<int32_t>> rows(8, std::vector<int32_t>(9));
    std::map<int32_t, int64_t> cells;
    for (auto& row : rows)
      for (int32_t& code : row) {
        code = static_cast<int32_t>(random() % 4);  // 0: no code
        if (code != kNoCode) cells[code] += 1;
      }
    const std::vector<BasinPolygon> basins = trace(rows);
    ASSERT_EQ(basins.size(), cells.size());
    for (const BasinPolygon& basin : basins) {
      const std::unique_ptr<OGRMultiPolygon> polygon = basin_geometry(basin, geometry);
      EXPECT_TRUE(polygon->IsValid()) << "trial " << trial << ", code " << basin.code;
      EXPECT_EQ(polygon->get_Area(), static_cast<double>(cells[basin.code]) * 900) << "trial " << trial;
      EXPECT_EQ(basin.cells, cells[basin.code]);
    }
  }
}

}  // namespace
}  // namespace orograd::vector
