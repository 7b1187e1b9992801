// Pictures written as PNG and read back: size, the colours of each kind, nodata,
// overlays and the legend band.
#include <gtest/gtest.h>

#include <cmath>

#include "picture_support.hpp"
#include "view/colour.hpp"
#include "view/legend.hpp"
#include "view/map_colours.hpp"
#include "view/png_writer.hpp"
#include "view/render.hpp"

namespace orograd::view {
namespace {

constexpr double N = kNodata;

class ViewRender : public ::testing::Test {
 protected:
  testing::TempDir dir;

  // The rows as a raster of 10 m cells, row 1 first.
  static Raster raster(const std::vector<std::vector<double>>& rows) {
    Raster r{static_cast<int32_t>(rows.front().size()), static_cast<int32_t>(rows.size()), 10, {}};
    for (const auto& row : rows)
      for (const double value : row) r.values.push_back(value);
    return r;
  }

  Image drawn(const Raster& map, Kind kind, int32_t enlarge, const std::vector<Overlay>& overlays = {}) {
    write_png(dir.file("p.png"), render(map, kind, enlarge, overlays));
    return testing::read_png(dir.file("p.png"));
  }
};

TEST_F(ViewRender, EnlargedMapOverTheLegendWithNodataTransparent) {
  const Image image = drawn(raster({{1, 2, 3}, {4, 5, N}}), Kind::values, 4);
  EXPECT_EQ(image.width(), 12);
  EXPECT_EQ(image.height(), 8 + legend_height(12));
  EXPECT_EQ(image.at(9, 5).a, 0);                                 // the nodata cell
  EXPECT_EQ(image.at(7, 7), ramp_colour(Ramp::values, 1));  // the cell holding 5, the highest
  EXPECT_EQ(image.at(0, 0), ramp_colour(Ramp::values, 0));
  EXPECT_EQ(image.at(0, image.height() - 1), kWhite);  // legend band
}

TEST_F(ViewRender, LargePicturesReadBackPixelForPixel) {
  // Over a million pixels, written with the faster compression.
  Image image(1100, 1000);
  for (int32_t y = 0; y < image.height(); ++y)
    for (int32_t x = 0; x < image.width(); ++x) image.at(x, y) = ramp_colour(Ramp::values, (x * 7 + y) % 1000 / 999.0);
  image.at(5, 5) = kTransparent;
  write_png(dir.file("large.png"), image);
  const Image back = testing::read_png(dir.file("large.png"));
  ASSERT_EQ(back.width(), 1100);
  ASSERT_EQ(back.height(), 1000);
  int32_t differing = 0;
  for (int32_t y = 0; y < image.height(); ++y)
    for (int32_t x = 0; x < image.width(); ++x) differing += !(back.at(x, y) == image.at(x, y));
  EXPECT_EQ(differing, 0);
}

TEST_F(ViewRender, DemFlatGroundKeepsTheRampColour) {
  const Image image = drawn(raster({{300, 100, 100, 100}, {100, 100, 100, 100}, {100, 100, 100, 100}}), Kind::dem, 1);
  EXPECT_EQ(image.at(3, 2), ramp_colour(Ramp::terrain, 0));
  // The peak in the north-west corner falls away to the south-east, away from the sun.
  EXPECT_LT(image.at(0, 0).r, ramp_colour(Ramp::terrain, 1).r);
}

TEST_F(ViewRender, AccumulationOnALogScale) {
  const Image image = drawn(raster({{1, 10, 100}}), Kind::accumulation, 1);
  EXPECT_EQ(image.at(1, 0), ramp_colour(Ramp::accumulation, 0.5));
}

TEST_F(ViewRender, NetworkRiversOnALightBackground) {
  const Image image = drawn(raster({{1, N, 0}}), Kind::network, 1);
  EXPECT_EQ(image.at(0, 0), kNetworkRiver);
  EXPECT_EQ(image.at(1, 0), kNetworkBackground);
  EXPECT_EQ(image.at(2, 0), kNetworkBackground);
}

TEST_F(ViewRender, CodesKeepTheirColourWhateverElseIsDrawn) {
  const Image first = drawn(raster({{3, 7}, {42, 3}}), Kind::classes, 1);
  const Image second = drawn(raster({{500, 42, 3}}), Kind::classes, 1);
  EXPECT_EQ(first.at(0, 0), category_colour(3));
  EXPECT_EQ(first.at(1, 1), category_colour(3));
  EXPECT_EQ(second.at(2, 0), category_colour(3));
  EXPECT_EQ(first.at(0, 1), second.at(1, 0));
  EXPECT_NE(category_colour(3), category_colour(4));
}

TEST_F(ViewRender, SubbasinBoundariesAndOverlays) {
  // Subbasins 1 | 2 over cells of two pixels: the pixels either side of the edge are black.
  const Image basins = drawn(raster({{1, 2}}), Kind::subbasins, 2);
  EXPECT_EQ(basins.at(0, 0), category_colour(1));
  EXPECT_EQ(basins.at(1, 0), kBlack);
  EXPECT_EQ(basins.at(2, 0), kBlack);
  EXPECT_EQ(basins.at(3, 1), category_colour(2));

  const Raster flat = raster({{5, 5, 5, 5}, {5, 5, 5, 5}});
  const std::vector<Overlay> overlays{{OverlayKind::basins, raster({{1, 1, 2, 2}, {1, 1, 2, 2}})},
                                      {OverlayKind::rivers, raster({{0, 0, 0, 1}, {N, 0, 0, 0}})}};
  const Image over = drawn(flat, Kind::dem, 1, overlays);
  EXPECT_EQ(over.at(0, 0), ramp_colour(Ramp::terrain, 0));
  EXPECT_EQ(over.at(1, 1), kBlack);
  EXPECT_EQ(over.at(2, 0), kBlack);
  EXPECT_EQ(over.at(3, 0), kRiverBlue);
  EXPECT_EQ(over.at(3, 1), ramp_colour(Ramp::terrain, 0));
}

}  // namespace
}  // namespace orograd::view
