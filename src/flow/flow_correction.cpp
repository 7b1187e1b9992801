#include "flow/flow_correction.hpp"

#include <algorithm>
#include <array>

#include "flow/directions.hpp"

namespace orograd {

namespace {

// For each direction (indexed like kDirections) the codes of its two neighbours across
// the flow, in the order they are checked. When both qualify the second wins, so the
// order decides, and it is not the same rotation for every direction.
constexpr std::array<std::array<int, 2>, 8> kAcrossFlow{{
    {64, 4},    // north-east: north-west, south-east
    {128, 8},   // east: north, south
    {1, 16},    // south-east: north-east, south-west
    {2, 32},    // south: east, west
    {64, 4},    // south-west: north-west, south-east
    {128, 8},   // west: north, south
    {16, 1},    // north-west: south-west, north-east
    {2, 32},    // north: east, west
}};

void copy_rows(const Grid& from, Grid& to) {
  const int32_t ncols = from.ncols();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= from.nrows(); ++row) std::copy(from.row(row), from.row(row) + ncols, to.row(row));
}

// The code the cell at (row, col) turns to, or 0 when it keeps its own.
int corrected_code(int32_t order, const Grid& directions, const Grid& stream_orders, const Grid& accumulation,
                   int32_t row, int32_t col) {
  const int32_t cell_order = truncate_to_int(stream_orders(row, col));
  // Without the nodata test a step for order -9999 would turn hillslope cells.
  if (cell_order != order || is_nodata(cell_order)) return 0;
  const double code = directions(row, col);
  const Direction* direction = direction_for_code(code);
  if (direction == nullptr) return 0;
  int turned = 0;
  for (const int across : kAcrossFlow[static_cast<std::size_t>(direction - kDirections.data())]) {
    const Direction& side = *direction_for_code(across);
    const int32_t r = row + side.row_offset;
    const int32_t c = col + side.col_offset;
    const int32_t side_order = truncate_to_int(stream_orders(r, c));
    if (directions(r, c) == code && side_order >= order &&
        (accumulation(r, c) > accumulation(row, col) || side_order > order))
      turned = across;
  }
  return turned;
}

}  // namespace

void correct_parallel_flow(int32_t order, Grid& directions, const Grid& stream_orders, const Grid& accumulation,
                           Grid& scratch) {
  copy_rows(directions, scratch);
  // Decisions read `directions` only and each row writes only its own scratch cells,
  // so the rows are independent.
  const int32_t ncols = directions.ncols();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 3; row <= directions.nrows() - 2; ++row)
    for (int32_t col = 3; col <= ncols - 2; ++col) {
      const int code = corrected_code(order, directions, stream_orders, accumulation, row, col);
      if (code != 0) scratch(row, col) = code;
    }
  copy_rows(scratch, directions);
}

}  // namespace orograd
