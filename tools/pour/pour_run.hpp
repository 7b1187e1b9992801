#pragma once
// One run of orograd-pour: read the gauges and the accumulation grid, snap the gauges
// onto the rivers and write the pour-point grid.
#include "base/console.hpp"
#include "pour/pour_options.hpp"

namespace orograd::pour {

// Reads the accumulation grid (the reader's lines go to the console) and the point
// layer, reprojects the points into the grid's coordinate system where both carry a
// different one, places them (place_gauges; the snap distance defaults to two cell
// sizes) and writes the pour-point grid in the grid's geometry and coordinate system:
// codes on the snapped cells, -9999 elsewhere; a GeoTIFF for a .tif/.tiff name, else
// the native format the accumulation grid was read in, text for a GDAL raster. Then
// prints one line per point:
//   code <code>: row <r> col <c> -> row <r> col <c>, moved <distance>, accumulation <a>
// Fatal: as read_first_grid for the grid, read_point_layer for the points,
// reproject_points and place_gauges for their checks, 1 the grid's cell size is not a
// positive finite number or the layer holds no point; as
// write_grid for the output. No grid is written on any of these before the write.
void run_pour(const PourOptions& options, Console& console);

}  // namespace orograd::pour
