#include "topo/horizon.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/angles.hpp"
#include "topo/horizon_walk.hpp"

namespace orograd {

namespace {

void warn_on_azimuth_limits(Console& console, double minimum, double maximum) {
  if (minimum >= maximum || minimum < 0 || minimum > 360 || maximum < 0 || maximum > 360)
    console.print(
        "min_azimuth (%lg) and max_azmuth (%lg) must be between 0 and 360 degree and min_azimuth must be smaller "
        "than max_azimuth.",
        minimum, maximum);
}

// Highest elevation of the raster, nodata cells included, and the output set to 0.
double start_accumulation(const Grid& elevation, Grid& output) {
  double zmax_all = -9999.9;
  for (int32_t i = 1; i <= elevation.nrows(); ++i)
    for (int32_t j = 1; j <= elevation.ncols(); ++j) {
      zmax_all = std::max(zmax_all, elevation(i, j));
      output(i, j) = 0;
    }
  return zmax_all;
}

// Columns walked as one strip: the walks of a strip's rows read the same few hundred
// rows of the strip, which then stay in the processor's cache (walks across a whole
// raster of thousands of columns would not).
constexpr int32_t kStripColumns = 128;

// Horizon tangents of all valid cells into `scratch`, then the row progress lines in
// the order the rows are walked. Each walk reads only the elevations and the walk
// tables and writes only its own cell, so the rows of a strip are handed out to the
// threads one at a time; the result does not depend on the order.
void trace_all_cells(Console& console, const HorizonTerrain& terrain, double nodata, double max_distance,
                     Grid& scratch) {
  const HorizonWalk& walk = terrain.walk();
  const Grid& elevation = terrain.elevation();
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
  const bool south_to_north = !walk.column_walk && walk.north_sign > 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#endif
  {
    std::vector<double> tangents(static_cast<std::size_t>(ncols));
    for (int32_t first = 1; first <= ncols; first += kStripColumns) {
      const int32_t last = std::min(ncols, first + kStripColumns - 1);
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(dynamic, 1)
#endif
      for (int32_t n = 1; n <= nrows; ++n) {
        const int32_t i = south_to_north ? nrows + 1 - n : n;
        trace_horizon_row(terrain, i, first, last, max_distance, tangents.data());
        for (int32_t j = first; j <= last; ++j)
          if (elevation(i, j) != nodata) scratch(i, j) = tangents[static_cast<std::size_t>(j - 1)];
      }
    }
  }
  for (int32_t n = 1; n <= nrows; ++n) console.print("%d\n", south_to_north ? nrows + 1 - n : n);
  console.print("\n");
}

struct ElevationRange {
  double zmin = HUGE_VAL;
  double zmax = -HUGE_VAL;
};

// Whether t in accumulate_direction is surely positive, which leaves the effective angle
// at h and so spares its five trigonometric calls. Either of two reasons will do:
// - The direction lies within 90 degrees of the aspect (a - A is in the domain of a
//   positive cosine with a margin of 1e-4, far above the library's error of less than a
//   unit in the last place), the slope is at most 89 degrees, so both its sine and
//   cosine are positive or zero, and the horizon tangent is at least 1e-9, so that the
//   zenith angle kHalfPi - h is below a right angle even though the program's
//   ten-decimal pi is slightly above the true one. Then every term of t is positive or
//   zero and the last one positive.
// - The horizon angle h exceeds the slope angle beta >= 0 by at least 1e-6. With
//   cos(a - A) >= -1 and sin(beta) sin(zenith) >= 0, t is at least
//   cos(beta + zenith) = sin(h - beta - (kHalfPi - pi / 2)), and kHalfPi exceeds pi / 2
//   by about 5e-12, so t is at least about 1e-6, far above the rounding of its terms.
bool plane_below_horizon(double a_minus_A, double slope_degrees, double tangent, double h) {
  const double y = std::fabs(a_minus_A);
  const bool toward_aspect = y < 1.5707 || (y > 4.7125 && y < 7.8539);
  if (toward_aspect && slope_degrees >= 0 && slope_degrees <= 89 && tangent >= 1e-9) return true;
  return slope_degrees >= 0 && h - slope_degrees * kPi / 180 >= 1e-6;
}

// Adds this direction's share of 1 - sin(effective horizon angle) to every valid cell.
// The effective angle is raised where the cell's own tangent plane rises above the
// terrain horizon in direction a.
ElevationRange accumulate_direction(const HorizonInputs& in, double a, int32_t azimuth_count, const Grid& scratch,
                                    Grid& output) {
  const double nodata = in.header.nodata_value;
  const int32_t nrows = in.elevation.nrows(), ncols = in.elevation.ncols();
  double zmin = HUGE_VAL, zmax = -HUGE_VAL;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 1) reduction(min : zmin) reduction(max : zmax)
#endif
  for (int32_t i = 1; i <= nrows; ++i) {
    for (int32_t j = ncols; j >= 1; --j) {
      const double z = in.elevation(i, j);
      if (z == nodata) {
        output(i, j) = nodata;
        continue;
      }
      const double tangent = scratch(i, j);
      const double h = std::atan(tangent);
      const double A = in.aspect(i, j) * kPi / 180;
      if (plane_below_horizon(a - A, in.slope(i, j), tangent, h)) {
        output(i, j) += (1 - std::sin(h)) / azimuth_count;
      } else {
        const double beta = in.slope(i, j) * kPi / 180;
        const double zenith = kHalfPi - h;
        const double t = std::cos(a - A) * std::sin(beta) * std::sin(zenith) + std::cos(beta) * std::cos(zenith);
        const double effective = t < 0 ? h + std::acos(t) - kHalfPi : h;
        output(i, j) += (1 - std::sin(effective)) / azimuth_count;
      }
      zmin = std::min(zmin, z);
      zmax = std::max(zmax, z);
    }
  }
  return {zmin, zmax};
}

}  // namespace

void compute_horizon(Console& console, const HorizonInputs& in, const HorizonRequest& request, Grid& output,
                     Grid& scratch) {
  const double minimum = request.minimum_azimuth, maximum = request.maximum_azimuth;
  warn_on_azimuth_limits(console, minimum, maximum);
  const double zmax_all = start_accumulation(in.elevation, output);

  // Exactly azimuth_count directions, each adding 1/azimuth_count, so a full sector
  // sums to 1 on an open plain whatever the step; angles accumulate by adding the step.
  const int32_t directions = (minimum < maximum && request.azimuth_count > 0) ? request.azimuth_count : 0;
  if (directions == 0) return;
  double a = minimum * kPi / 180;
  const double step = (maximum - minimum) / request.azimuth_count * kPi / 180;

  HorizonTerrain terrain(in.elevation, zmax_all);
  const double nodata = in.header.nodata_value;
  ElevationRange range;
  for (int32_t n = 0; n < directions; ++n, a += step) {
    console.print("calculating horizon for azimuth = %5.1f Grad\n", a * 180 / kPi);
    terrain.set_walk(make_horizon_walk(a, in.header.ncols, in.header.nrows, in.header.cellsize));
    trace_all_cells(console, terrain, nodata, request.max_distance, scratch);
    range = accumulate_direction(in, a, request.azimuth_count, scratch, output);
  }
  // The factor depends on the completed sector alone, so it is computed once at the end.
  apply_wind_correction(in.elevation, output, range.zmin, range.zmax, request.wind, nodata, scratch);
}

}  // namespace orograd
