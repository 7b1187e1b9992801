#include "topo/local_topography.hpp"

#include <cmath>
#include <vector>

#include "base/angles.hpp"
#include "topo/gap_fill.hpp"

namespace orograd {

namespace {

// The requested grids in the order in which the border and nodata steps visit them.
struct RequestedGrids {
  Grid* list[5];
  int count = 0;
};

RequestedGrids requested_in_stencil_order(LocalTopographyGrids& g) {
  RequestedGrids r;
  for (Grid* grid : {g.slope, g.aspect, g.profile_curvature, g.plan_curvature, g.curvature})
    if (grid) r.list[r.count++] = grid;
  return r;
}

void set_border_rows(const GridHeader& header, const RequestedGrids& requested) {
  for (int32_t j = 1; j <= header.ncols; ++j)
    for (int k = 0; k < requested.count; ++k) {
      (*requested.list[k])(1, j) = header.nodata_value;
      (*requested.list[k])(header.nrows, j) = header.nodata_value;
    }
}

double slope_degrees(double G, double H) {
  if (G == 0 && H == 0) return 0;
  return std::atan(std::sqrt(G * G + H * H)) * kDegreesPerRadian;
}

// A flat window gets 0, the same as a north-facing one.
double aspect_degrees(double G, double H) {
  if (G != 0) return 180 - std::atan(H / G) * kDegreesPerRadian + 90 * G / std::fabs(G);
  return H > 0 ? 180 : 0;
}

double profile_curvature(double D, double E, double F, double G, double H) {
  if (G == 0 && H == 0) return 0;
  return -2 * (D * (G * G) + E * (H * H) + F * G * H) / (G * G + H * H);
}

double plan_curvature(double D, double E, double F, double G, double H) {
  if (G == 0 && H == 0) return 0;
  return 2 * (D * (H * H) + E * (G * G) - F * G * H) / (G * G + H * H);
}

// One interior row: every cell reads only the elevation grid and writes only its own
// cells, so rows can run on any thread in any order. Returns whether a cell between the
// border columns was left holding nodata where the elevation has data, i.e. whether
// the gap fill has to scan the whole row.
bool compute_interior_row(const GridHeader& header, const Grid& elevation, LocalTopographyGrids& g,
                          const RequestedGrids& requested, int32_t i) {
  bool gaps = false;
  const double nodata = header.nodata_value;
  const double L = header.cellsize;
  const double* north = elevation.row(i - 1) - 1;  // 1-based column access
  const double* centre = elevation.row(i) - 1;
  const double* south = elevation.row(i + 1) - 1;
  for (int32_t j = 2; j <= header.ncols - 1; ++j) {
    const double z1 = north[j - 1], z2 = north[j], z3 = north[j + 1];
    const double z4 = centre[j - 1], z5 = centre[j], z6 = centre[j + 1];
    const double z7 = south[j - 1], z8 = south[j], z9 = south[j + 1];
    if (z1 == nodata || z2 == nodata || z3 == nodata || z4 == nodata || z5 == nodata || z6 == nodata ||
        z7 == nodata || z8 == nodata || z9 == nodata) {
      for (int k = 0; k < requested.count; ++k) (*requested.list[k])(i, j) = nodata;
      gaps = gaps || z5 != nodata;
      continue;
    }
    const double G = (z6 - z4) / (2 * L);  // gradient toward east
    const double H = (z2 - z8) / (2 * L);  // gradient toward north
    const double D = ((z4 + z6) / 2 - z5) / (L * L);
    const double E = ((z2 + z8) / 2 - z5) / (L * L);
    const double F = (z3 - z1 + z7 - z9) / (4 * L * L);
    if (g.slope) (*g.slope)(i, j) = slope_degrees(G, H);
    if (g.aspect) (*g.aspect)(i, j) = aspect_degrees(G, H);
    if (g.profile_curvature) (*g.profile_curvature)(i, j) = profile_curvature(D, E, F, G, H);
    if (g.plan_curvature) (*g.plan_curvature)(i, j) = plan_curvature(D, E, F, G, H);
    // The sign is +2(D + E): a pit is positive.
    if (g.curvature) (*g.curvature)(i, j) = 2 * D + 2 * E;
    // A computed value may happen to equal the nodata value; the fill treats it as a gap.
    for (int k = 0; k < requested.count; ++k) gaps = gaps || (*requested.list[k])(i, j) == nodata;
  }
  for (int k = 0; k < requested.count; ++k) {
    (*requested.list[k])(i, 1) = nodata;
    (*requested.list[k])(i, header.ncols) = nodata;
  }
  return gaps;
}

void fill_cell(const Grid& elevation, LocalTopographyGrids& g, double nodata, int32_t i, int32_t j) {
  if (elevation(i, j) == nodata) return;
  if (g.aspect && (*g.aspect)(i, j) == nodata) fill_direction_from_neighbours(i, j, *g.aspect, nodata);
  for (Grid* grid : {g.slope, g.profile_curvature, g.plan_curvature, g.curvature})
    if (grid && (*grid)(i, j) == nodata) fill_from_neighbours(i, j, *grid, nodata);
}

// Sequential on purpose: cells filled earlier in the row-major scan are neighbours of
// later ones, so the scan order is part of the result. Filling never creates a gap, so
// in a row without gaps between its border columns only those two cells need a visit.
void fill_gaps(const GridHeader& header, const Grid& elevation, LocalTopographyGrids& g,
               const std::vector<char>& row_has_gaps) {
  const double nodata = header.nodata_value;
  for (int32_t i = 1; i <= header.nrows; ++i) {
    if (i == 1 || i == header.nrows || row_has_gaps[i]) {
      for (int32_t j = 1; j <= header.ncols; ++j) fill_cell(elevation, g, nodata, i, j);
    } else {
      fill_cell(elevation, g, nodata, i, 1);
      if (header.ncols > 1) fill_cell(elevation, g, nodata, i, header.ncols);
    }
  }
}

}  // namespace

void compute_local_topography(Console& console, const GridHeader& header, const Grid& elevation,
                              LocalTopographyGrids& grids) {
  console.print("calculating local topography (Aspect, SLope usw.).. \n");
  const RequestedGrids requested = requested_in_stencil_order(grids);
  set_border_rows(header, requested);
  if (!grids.any()) return;

  std::vector<char> row_has_gaps(static_cast<std::size_t>(header.nrows) + 1, 0);
  const int32_t last_interior_row = header.nrows - 1;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 1)
#endif
  for (int32_t i = 2; i <= last_interior_row; ++i)
    row_has_gaps[i] = compute_interior_row(header, elevation, grids, requested, i);

  fill_gaps(header, elevation, grids, row_has_gaps);
}

}  // namespace orograd
