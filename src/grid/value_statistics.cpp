#include "grid/value_statistics.hpp"

#include <cmath>

namespace orograd {

void ValueStatistics::reset(double nodata_value) {
  threshold = nodata_value;
  count = sum = sum_of_squares = 0;
}

void ValueStatistics::add(double value) {
  if (!(value > threshold + 1)) return;
  sum += value;
  count += 1;
  sum_of_squares += value * value;
  if (count == 1) {
    minimum = maximum = value;
  } else if (value < minimum) {
    minimum = value;
  } else if (value > maximum) {
    maximum = value;
  }
}

void ValueStatistics::finish(GridFileHeader& slots) const {
  slots[7] = count;
  slots[8] = count > 0 ? minimum : kNodata;
  slots[9] = count > 0 ? maximum : kNodata;
  slots[10] = sum;
  slots[11] = count > 0 ? sum / count : kNodata;
  if (count > 2) {
    const double q = sum_of_squares - sum * sum / count;
    slots[12] = q > 0 ? std::sqrt(q / (count - 1)) : 0;
  } else {
    slots[12] = kNodata;
  }
}

}  // namespace orograd
