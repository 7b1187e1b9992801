#pragma once
// Count, extremes, sum, mean and standard deviation of the valid values of a grid,
// stored in slots 7 to 12 of a binary grid's header.
#include "grid/grid.hpp"

namespace orograd {

struct ValueStatistics {
  double threshold = kNodata;  // a value counts only above threshold + 1
  double count = 0;
  double sum = 0;
  double sum_of_squares = 0;
  double minimum = 0;
  double maximum = 0;

  void reset(double nodata_value);
  void add(double value);
  // Slots 7 to 12; -9999 where a figure cannot be formed (no values for the
  // extremes and the mean, fewer than three for the standard deviation).
  void finish(GridFileHeader& slots) const;
};

}  // namespace orograd
