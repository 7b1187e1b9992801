#pragma once
// The rows and columns of a raster: which 1-based (row, column) pairs lie in it, and
// the row-major index of a cell that lists, sorted and stacks of cells use.
#include <cstdint>

namespace orograd {

// A cell by its 1-based row and column, for lists and stacks of cells.
struct GridCell {
  int32_t row;
  int32_t col;
};

struct GridShape {
  int32_t nrows = 0;
  int32_t ncols = 0;

  // Whether (row, col) is a cell: 1 <= row <= nrows and 1 <= col <= ncols. Any pair of
  // values may be asked, in particular a neighbour of a border cell.
  constexpr bool contains(int32_t row, int32_t col) const {
    return row >= 1 && row <= nrows && col >= 1 && col <= ncols;
  }

  // (row - 1) * ncols + (col - 1): 0 for (1, 1), growing along the row first. Pre: the
  // cell is contained. Computed in 64 bits, so it never wraps whatever the raster size.
  constexpr int64_t index(int32_t row, int32_t col) const { return static_cast<int64_t>(row - 1) * ncols + (col - 1); }

  // The row and the column of the cell with index `index`. Pre: 0 <= index < nrows * ncols.
  // Post: index(row_of(index), col_of(index)) == index.
  constexpr int32_t row_of(int64_t index) const { return static_cast<int32_t>(index / ncols + 1); }
  constexpr int32_t col_of(int64_t index) const { return static_cast<int32_t>(index % ncols + 1); }
};

}  // namespace orograd
