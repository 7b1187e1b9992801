#pragma once
// What GDAL makes of a file, for tests that check written grids through GDAL's API.
#if OROGRAD_GDAL
#include <gdal.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace orograd::testing {

// A file's driver, size, band 1's type, nodata and cells, the geotransform and the
// reference system; an empty driver when GDAL cannot open the file.
struct GdalView {
  std::string driver, wkt;
  int ncols = 0, nrows = 0;
  GDALDataType type = GDT_Unknown;
  double nodata = 0;
  int has_nodata = 0;
  std::array<double, 6> transform{};
  std::vector<double> cells;
};

inline GdalView open_in_gdal(const std::string& name) {
  GDALAllRegister();
  GdalView view;
  GDALDatasetH ds = GDALOpen(name.c_str(), GA_ReadOnly);
  if (ds == nullptr) return view;
  view.driver = GDALGetDriverShortName(GDALGetDatasetDriver(ds));
  view.wkt = GDALGetProjectionRef(ds);
  view.ncols = GDALGetRasterXSize(ds), view.nrows = GDALGetRasterYSize(ds);
  GDALGetGeoTransform(ds, view.transform.data());
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  view.type = GDALGetRasterDataType(band);
  view.nodata = GDALGetRasterNoDataValue(band, &view.has_nodata);
  view.cells.resize(static_cast<std::size_t>(view.ncols) * view.nrows);
  if (GDALRasterIO(band, GF_Read, 0, 0, view.ncols, view.nrows, view.cells.data(), view.ncols, view.nrows,
                   GDT_Float64, 0, 0) != CE_None)
    view.cells.clear();
  GDALClose(ds);
  return view;
}

}  // namespace orograd::testing
#endif
