#include "vector/feature_geometry.hpp"

namespace orograd::vector {

namespace {

// Corner (row, col) counts lattice lines down from the northern edge and across from
// the western one.
OGRLinearRing* ring_geometry(const Ring& ring, const GridHeader& g) {
  auto* linear_ring = new OGRLinearRing;
  linear_ring->setNumPoints(static_cast<int>(ring.size()), false);
  for (std::size_t k = 0; k < ring.size(); ++k)
    linear_ring->setPoint(static_cast<int>(k), g.xllcorner + ring[k].col * g.cellsize,
                          g.yllcorner + (g.nrows - ring[k].row) * g.cellsize);
  return linear_ring;
}

}  // namespace

std::unique_ptr<OGRMultiPolygon> basin_geometry(const BasinPolygon& basin, const GridHeader& geometry) {
  auto multipolygon = std::make_unique<OGRMultiPolygon>();
  for (const PolygonRings& part : basin.parts) {
    auto* polygon = new OGRPolygon;
    polygon->addRingDirectly(ring_geometry(part.shell, geometry));
    for (const Ring& hole : part.holes) polygon->addRingDirectly(ring_geometry(hole, geometry));
    multipolygon->addGeometryDirectly(polygon);
  }
  return multipolygon;
}

std::unique_ptr<OGRLineString> river_geometry(const RiverLine& line, const GridHeader& g) {
  auto string = std::make_unique<OGRLineString>();
  const int points = static_cast<int>(std::max<std::size_t>(line.path.size(), 2));
  string->setNumPoints(points, false);
  for (int k = 0; k < points; ++k) {
    const GridCell cell = line.path[std::min<std::size_t>(static_cast<std::size_t>(k), line.path.size() - 1)];
    string->setPoint(k, g.xllcorner + (cell.col - 0.5) * g.cellsize, g.yllcorner + (g.nrows - cell.row + 0.5) * g.cellsize);
  }
  return string;
}

}  // namespace orograd::vector
