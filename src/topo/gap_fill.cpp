#include "topo/gap_fill.hpp"

#include <cmath>

#include "base/angles.hpp"

namespace orograd {

namespace {

// Neighbour order of the fill, clockwise from north-east. Every sum runs in this
// order, so the result is reproducible to the bit.
constexpr int32_t kRowOffset[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr int32_t kColOffset[8] = {1, 1, 1, 0, -1, -1, -1, 0};

template <typename Visit>
void for_each_valid_neighbour(int32_t row, int32_t col, const Grid& grid, double nodata, Visit visit) {
  for (int k = 0; k < 8; ++k) {
    const int32_t r = row + kRowOffset[k];
    const int32_t c = col + kColOffset[k];
    if (!grid.shape().contains(r, c)) continue;
    const double value = grid(r, c);
    if (value == nodata) continue;
    visit(value);
  }
}

}  // namespace

void fill_from_neighbours(int32_t row, int32_t col, Grid& grid, double nodata) {
  double sum = 0;
  int count = 0;
  for_each_valid_neighbour(row, col, grid, nodata, [&](double value) {
    sum += value;
    ++count;
  });
  if (count > 0) grid(row, col) = sum / count;
}

void fill_direction_from_neighbours(int32_t row, int32_t col, Grid& grid, double nodata) {
  double sum = 0, sines = 0, cosines = 0;
  int count = 0;
  for_each_valid_neighbour(row, col, grid, nodata, [&](double degrees) {
    sum += degrees;
    sines += std::sin(degrees * kPi / 180);
    cosines += std::cos(degrees * kPi / 180);
    ++count;
  });
  if (count == 0) return;
  if (std::sqrt(sines * sines + cosines * cosines) < 1e-9) {
    grid(row, col) = sum / count;
    return;
  }
  double mean = std::atan2(sines, cosines) * 180 / kPi;
  if (mean < 0) mean += 360;
  // A tiny negative angle plus 360 can round to 360 itself; keep the range [0, 360).
  if (mean >= 360) mean = 0;
  grid(row, col) = mean;
}

}  // namespace orograd
