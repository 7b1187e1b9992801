#pragma once
// The codes of a subbasin, link or order grid as whole numbers, checked once so that
// the tracing that follows compares integers.
#include <cstdint>
#include <string>
#include <vector>

#include "grid/grid.hpp"

namespace orograd::vector {

// 0 marks a cell that belongs to no feature.
inline constexpr int32_t kNoCode = 0;

// One code per cell; cells outside the grid read as kNoCode, so neighbours of border
// cells need no test of their own.
class CodeGrid {
 public:
  CodeGrid(GridShape shape, std::vector<int32_t> codes) : shape_(shape), codes_(std::move(codes)) {}

  GridShape shape() const { return shape_; }
  int32_t operator()(int32_t row, int32_t col) const {
    return shape_.contains(row, col) ? codes_[static_cast<std::size_t>(shape_.index(row, col))] : kNoCode;
  }

 private:
  GridShape shape_;
  std::vector<int32_t> codes_;
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
