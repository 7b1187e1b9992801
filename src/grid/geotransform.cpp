// The geotransform of a grid's geometry.
#include "grid/geotransform.hpp"

#include <cmath>

namespace orograd {

namespace {

double top_edge(const GridHeader& g) {
  const double plain = g.yllcorner + g.nrows * g.cellsize;
  double below = plain, above = plain;
  for (int step = 0; step < 8; ++step) {
    if (below + g.nrows * -g.cellsize == g.yllcorner) return below;
    if (above + g.nrows * -g.cellsize == g.yllcorner) return above;
    below = std::nextafter(below, -INFINITY);
    above = std::nextafter(above, INFINITY);
  }
  return plain;
}

}  // namespace

std::array<double, 6> geotransform(const GridHeader& g) {
  return {g.xllcorner, g.cellsize, 0, top_edge(g), 0, -g.cellsize};
}

}  // namespace orograd
