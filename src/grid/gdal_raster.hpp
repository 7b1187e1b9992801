#pragma once
// Rasters in the formats GDAL reads and GeoTIFF output, where the build has GDAL
// (OROGRAD_GDAL); without it no raster opens and GeoTIFF output is refused.
#include <string>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Whether this build reads and writes rasters through GDAL.
bool gdal_support();

// Whether an output name asks for a GeoTIFF: it ends in ".tif" or ".tiff", any case.
bool is_geotiff_name(const std::string& file_name);

// Band 1 of a raster opened read-only through GDAL.
class GdalRaster {
 public:
  // Opens the file; opened() is false when GDAL cannot open it as a raster (or the
  // build has no GDAL), and failure() then says why.
  explicit GdalRaster(const std::string& file_name);
  ~GdalRaster();
  GdalRaster(const GdalRaster&) = delete;
  GdalRaster& operator=(const GdalRaster&) = delete;

  bool opened() const { return dataset_ != nullptr; }
  const std::string& failure() const { return failure_; }

  // Header slots 1 to 6 of the raster: counts, lower-left corner and cell size from
  // the geotransform, band 1's nodata value (-9999 when the band has none). Warns when
  // the file has more than one band.
  // Pre: opened().
  // Fatal: 1 the raster has no geotransform, is rotated or south-up, or its cells are
  // not square (relative difference of width and height above 1e-9).
  GridFileHeader geometry(Console& console) const;
  // Reads band 1 into the grid.
  // Pre: opened(); grid has the raster's counts.
  // Fatal: 5 GDAL fails to read the band (the reason on standard error).
  void read(Console& console, Grid& grid) const;
  // The raster's coordinate reference system as WKT; empty when it has none.
  std::string coordinate_system() const;

 private:
  void* dataset_ = nullptr;
  std::string file_name_;
  std::string failure_;
};

// The coordinate system text (WKT of any flavour, a .prj file's text, "EPSG:n") as
// ESRI's WKT1, the dialect of .prj files and ENVI headers.
// Post: the text unchanged when GDAL cannot interpret it or the build has no GDAL.
std::string esri_wkt(const std::string& coordinate_system);

// Writes the grid as a tiled GeoTIFF (DEFLATE with the floating-point predictor,
// nodata -9999), Float32 when `single`, Float64 otherwise, in the given geometry and,
// when `coordinate_system` is not empty, with that reference system (WKT, or any text
// GDAL accepts for one, such as a .prj file's).
// Pre: grid has geometry.ncols columns and geometry.nrows rows.
// Post: the file reads back through GdalRaster to the same geometry and values (as
// Float32 in the single case).
// The file is replaced only when complete (AtomicFile): GDAL writes a temporary
// beside it, renamed over it at the end.
// Fatal: 4 the file (its temporary) cannot be created (or the build has no GDAL), 10 a
// later write or the rename fails.
void write_geotiff(Console& console, const std::string& file_name, const Grid& grid, const GridHeader& geometry,
                   bool single, const std::string& coordinate_system);

}  // namespace orograd
