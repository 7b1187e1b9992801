// The real binary on the local-topography sections: elevation model, the five outputs,
// horizon and wind correction factor.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::read_file;
using testing::run_binary;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

// A plane falling toward east by 1 per cell, 6 columns by 5 rows.
std::string east_falling_plane() {
  std::vector<double> values;
  for (int r = 1; r <= 5; ++r)
    for (int c = 1; c <= 6; ++c) values.push_back(100.0 - c);
  return text_grid(6, 5, values);
}

std::string output_sections(int aspect, int slope, int curvatures) {
  auto section = [](const char* name, int on, const char* file) {
    return std::string(name) + "\n" + std::to_string(on) + "\n" + (on ? std::string(file) + "\n" : "");
  };
  return section("[Aspect]", aspect, "aspect.asc") + section("[Gefaelle]", slope, "slope.asc") +
         section("[Profilcurvature]", curvatures, "profile.asc") +
         section("[Plancurvature]", curvatures, "plan.asc") + section("[Curvature]", curvatures, "curv.asc");
}

const std::string kPlaneHeader =
    "ncols\t6\nnrows\t5\nxllcorner\t0\nyllcorner\t0\ncellsize\t1\nnodata_value\t-9999\n";
const std::string kElevationModel = "[Hoehenmodell]\n1  elevation model\ndem.asc\n";
const std::string kHorizon = "[Horizont]\n1\nhorizon.asc\n4  azimuths\n";
const std::string kWind = "[WindCorrectionFactor]\n1\nwcf\n2\n180\n270\n0.5\n10\n0.1\n100\n";

bool exists(const TempDir& dir, const std::string& name) { return std::filesystem::exists(dir.file(name)); }

std::size_t position(const std::string& text, const std::string& part) {
  const std::size_t at = text.find(part);
  EXPECT_NE(at, std::string::npos) << "missing: " << part << "\nin:\n" << text;
  return at;
}

TEST(LocalTopographySection, WritesEveryRequestedGridInItsOrder) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(1, 1, 1) + kHorizon + kWind);
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  ASSERT_EQ(result.exit_code, 0) << result.output;
  const std::string& out = result.output;
  // Horizon first, then the wind grids, then curvatures, slope and aspect.
  const std::size_t order[] = {position(out, "reading (first) grid dem.asc..\n"),
                               position(out, "calculating local topography (Aspect, SLope usw.).. \n"),
                               position(out, "calculating horizon for azimuth =   0.0 Grad\n"),
                               position(out, "writing horizon.asc ..ready.\n"),
                               position(out, "calculating horizon for azimuth = 225.0 Grad\n"),
                               position(out, "writing wcf ..ready.\n"),
                               position(out, "writing wcf_2 ..ready.\n"),
                               position(out, "writing curv.asc ..ready.\n"),
                               position(out, "writing profile.asc ..ready.\n"),
                               position(out, "writing plan.asc ..ready.\n"),
                               position(out, "writing slope.asc ..ready.\n"),
                               position(out, "writing aspect.asc ..ready.\n")};
  for (std::size_t k = 1; k < std::size(order); ++k) EXPECT_LT(order[k - 1], order[k]) << k;

  // Every cell of the plane, border cells included after the gap fill, has slope
  // 44.99999999985379, written with six significant digits.
  const std::string& header = kPlaneHeader;
  std::string slope_rows, aspect_rows, zero_rows;
  for (int r = 0; r < 5; ++r) {
    slope_rows += "45\t45\t45\t45\t45\t45\n";
    aspect_rows += "90\t90\t90\t90\t90\t90\n";
    zero_rows += "0\t0\t0\t0\t0\t0\n";
  }
  EXPECT_EQ(read_file(dir.file("slope.asc")), header + slope_rows);
  EXPECT_EQ(read_file(dir.file("aspect.asc")), header + aspect_rows);
  EXPECT_EQ(read_file(dir.file("curv.asc")), header + zero_rows);
  EXPECT_TRUE(exists(dir, "horizon.asc"));
  EXPECT_TRUE(exists(dir, "wcf"));
  EXPECT_TRUE(exists(dir, "wcf_2"));
}

TEST(LocalTopographySection, AllOutputsOffReadsTheModelAndWritesNothing) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(0, 0, 0) + kHorizon + kWind);
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  position(result.output, "reading (first) grid dem.asc..\n");
  position(result.output,
           "calculating local topography (Aspect, SLope usw.).. \n"
           "Sorry, horizon elevation can only be calculated, if aspect and slope are calculated, too\n");
  EXPECT_EQ(result.output.find("writing "), std::string::npos);
  EXPECT_EQ(result.output.find("azimuth"), std::string::npos);
}

TEST(LocalTopographySection, HorizonNeedsSlopeAndAspect) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  // Aspect alone: the horizon sections are not read, the aspect is still written.
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(1, 0, 0) + kHorizon);
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  position(result.output, "Sorry, horizon elevation can only be calculated, if aspect and slope are calculated, too\n");
  EXPECT_TRUE(exists(dir, "aspect.asc"));
  EXPECT_FALSE(exists(dir, "horizon.asc"));
}

TEST(LocalTopographySection, MissingHorizonSectionsEndTheRun) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(1, 1, 0));
  auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  position(result.output, "key word \"[Horizont]\" not found in control file run.$$$\n");
  EXPECT_FALSE(exists(dir, "slope.asc"));  // computed but never written
  EXPECT_FALSE(exists(dir, "aspect.asc"));

  // A horizon computed before a missing wind section has already been written.
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(1, 1, 0) + kHorizon);
  result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  position(result.output, "key word \"[WindCorrectionFactor]\" not found in control file run.$$$\n");
  EXPECT_TRUE(exists(dir, "horizon.asc"));
  EXPECT_FALSE(exists(dir, "slope.asc"));
}

TEST(LocalTopographySection, MissingOutputSectionStopsBeforeComputing) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  write_file(dir.file("run.ctl"), kElevationModel + "[Aspect]\n1\naspect.asc\n[Gefaelle]\n0\n");
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 1);
  position(result.output, "key word \"[Profilcurvature]\" not found in control file run.$$$\n");
  EXPECT_EQ(result.output.find("calculating local topography"), std::string::npos);
}

TEST(LocalTopographySection, WindSectorWarnsAboutBadLimitsAndGoesOn) {
  TempDir dir;
  write_file(dir.file("dem.asc"), east_falling_plane());
  const std::string bad_wind = "[WindCorrectionFactor]\n1\nwcf\n2\n90\n45\n0.5\n10\n0.1\n100\n";
  write_file(dir.file("run.ctl"), kElevationModel + output_sections(1, 1, 0) + "[Horizont]\n0\n" + bad_wind);
  const auto result = run_binary(dir.path().string(), {"run.ctl"});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  position(result.output,
           "min_azimuth (90) and max_azmuth (45) must be between 0 and 360 degree and min_azimuth must be smaller "
           "than max_azimuth.");
  // No direction processed: the sector grid stays 0 everywhere.
  std::string zero_rows;
  for (int r = 0; r < 5; ++r) zero_rows += "0\t0\t0\t0\t0\t0\n";
  EXPECT_EQ(read_file(dir.file("wcf")), kPlaneHeader + zero_rows);
  EXPECT_TRUE(exists(dir, "wcf_2"));
}

}  // namespace
}  // namespace orograd
