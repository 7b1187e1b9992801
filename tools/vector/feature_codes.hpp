#pragma once
// The codes of a subbasin, link or order grid as whole numbers, checked once so that
// the tracing that follows compares integers.
#include <cstdint>
#include <string>

#include "grid/grid.hpp"

namespace orograd::vector {

// 0 marks a cell that belongs to no feature.
inline constexpr int32_t kNoCode = 0;

// A checked grid read as codes: kNoCode for nodata and for cells outside the grid, so
// neighbours of border cells need no test of their own. It reads the grid in place,
// which saves a copy of a large grid; the grid must outlive it and stay unchanged.
class CodeGrid {
 public:
  GridShape shape() const { return grid_->shape(); }
  int32_t operator()(int32_t row, int32_t col) const {
    if (!grid_->shape().contains(row, col)) return kNoCode;
    const double value = (*grid_)(row, col);
    return value == kNodata ? kNoCode : static_cast<int32_t>(value);
  }

 private:
  friend CodeGrid read_codes(const Grid& grid, const std::string& grid_name);
  explicit CodeGrid(const Grid& grid) : grid_(&grid) {}
  const Grid* grid_;
};

// The cells of `grid` as codes: kNoCode for nodata (-9999), the value elsewhere.
// Pre: none.
// Post: every cell other than nodata holds a whole number from 1 to 2147483647 (the
// range of the integer fields the codes are written to).
// Fatal: 1 for the first cell in row-major order that holds anything else (a fraction,
// 0, a negative number, a larger number, NaN); the message names `grid_name`, the cell
// and its value.
CodeGrid read_codes(const Grid& grid, const std::string& grid_name);

}  // namespace orograd::vector
