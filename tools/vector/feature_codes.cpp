#include "vector/feature_codes.hpp"

#include <cmath>

#include "base/fatal.hpp"

namespace orograd::vector {

namespace {

bool is_code(double value) { return value >= 1.0 && value <= 2147483647.0 && std::trunc(value) == value; }

}  // namespace

CodeGrid read_codes(const Grid& grid, const std::string& grid_name) {
  for (int32_t row = 1; row <= grid.nrows(); ++row) {
    const double* values = grid.row(row);
    for (int32_t col = 1; col <= grid.ncols(); ++col) {
      const double value = values[col - 1];
      if (value != kNodata && !is_code(value))
        fatal(1, format("orograd-vector: %s holds %.17g in row %d, column %d; codes are whole numbers from 1 to "
                        "2147483647, and -9999 marks cells of no feature\n",
                        grid_name.c_str(), value, row, col));
    }
  }
  return CodeGrid(grid);
}

}  // namespace orograd::vector
