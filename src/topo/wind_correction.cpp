#include "topo/wind_correction.hpp"

namespace orograd {

void apply_wind_correction(const Grid& elevation, const Grid& sector_horizon, double zmin, double zmax,
                           const WindCoefficients& k, double nodata, Grid& factor) {
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 1)
#endif
  for (int32_t i = 1; i <= nrows; ++i) {
    for (int32_t j = ncols; j >= 1; --j) {
      const double z = elevation(i, j);
      if (z == nodata) {
        factor(i, j) = nodata;
      } else if (zmax - zmin > 0) {
        const double S = sector_horizon(i, j);
        factor(i, j) = (z - zmin + k.c2) / (zmax - zmin + k.c2) * ((1 - S) * k.c1 - 1) + k.c3;
      } else {
        factor(i, j) = 0;  // a raster of one single elevation
      }
    }
  }
}

}  // namespace orograd
