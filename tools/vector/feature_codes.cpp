#include "vector/feature_codes.hpp"

#include <cmath>

#include "base/fatal.hpp"

namespace orograd::vector {

namespace {

bool is_code(double value) { return value >= 1.0 && value <= 2147483647.0 && std::trunc(value) == value; }

}  // namespace

CodeGrid read_codes(const Grid& grid, const std::string& grid_name) {
  const GridShape shape = grid.shape();
  std::vector<int32_t> codes(static_cast<std::size_t>(shape.nrows) * static_cast<std::size_t>(shape.ncols));
  std::size_t i = 0;
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col, ++i) {
      const double value = grid(row, col);
      if (value == kNodata) continue;  // stays kNoCode
      if (!is_code(value))
        fatal(1, format("orograd-vector: %s holds %.17g in row %d, column %d; codes are whole numbers from 1 to "
                        "2147483647, and -9999 marks cells of no feature\n",
                        grid_name.c_str(), value, row, col));
      codes[i] = static_cast<int32_t>(value);
    }
  return CodeGrid(shape, std::move(codes));
}

}  // namespace orograd::vector
