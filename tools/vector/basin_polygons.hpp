#pragma once
// Polygons of the cells that share a code: the boundaries between cells of different
// codes traced edge by edge, one multipolygon per code.
#include <cstdint>
#include <vector>

#include "vector/feature_codes.hpp"

namespace orograd::vector {

// A corner of the cell lattice: `row` lattice lines below the grid's northern edge and
// `col` lines east of its western edge; the cell (r, c) spans corners (r - 1, c - 1)
// to (r, c).
struct Corner {
  int32_t row;
  int32_t col;
  bool operator==(const Corner&) const = default;
};

// A closed ring: the first corner is repeated at the end; only corners where the
// boundary turns are listed.
using Ring = std::vector<Corner>;

// Seen on a map (north up), the shell runs counter-clockwise and the holes clockwise.
struct PolygonRings {
  Ring shell;
  std::vector<Ring> holes;
};

struct BasinPolygon {
  int32_t code;
  int64_t cells;
  std::vector<PolygonRings> parts;  // one per 4-connected group of the code's cells
};

// The polygons of every code of the grid, in increasing order of code.
// Pre: none.
// Post: a code's parts together cover exactly its cells: the shells' areas less the
// holes' equal `cells` (in cells); cells of kNoCode belong to no polygon. Cells that
// touch only at a corner are separate parts (or a part and its hole), and a ring never
// passes a corner twice: where a boundary would, it is split into two rings there, so
// each polygon is valid as simple features define it (holes may touch their shell, or
// each other, at single corners). Linear in the grid.
std::vector<BasinPolygon> trace_basin_polygons(const CodeGrid& codes);

// Twice the signed area of the ring in cells: positive when it runs counter-clockwise
// on a map.
int64_t twice_signed_area(const Ring& ring);

}  // namespace orograd::vector
