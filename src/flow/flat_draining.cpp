#include "flow/flat_draining.hpp"

namespace orograd {

namespace {

// Edge-sharing neighbours come first, north before south before east before west; this
// is not the scan order of the direction pass.
constexpr std::array<int, 8> kDrainingOrder{128, 8, 2, 32, 1, 4, 16, 64};

template <Neighbourhood N>
constexpr std::array<Direction, neighbour_count(N)> draining_neighbours() {
  std::array<Direction, neighbour_count(N)> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = *direction_for_code(kDrainingOrder[i]);
  return order;
}

template <Neighbourhood N>
bool drain_cell(const Grid& elevation, Grid& directions, Grid& flat_labels, int32_t row, int32_t col) {
  const double z = elevation(row, col);
  const double label = flat_labels(row, col);
  for (const Direction& d : draining_neighbours<N>()) {
    const int32_t r = row + d.row_offset;
    const int32_t c = col + d.col_offset;
    if (elevation(r, c) == z && flat_labels(r, c) != label) {
      directions(row, col) = d.code;
      flat_labels(row, col) = kNodata;
      return true;
    }
  }
  return false;
}

template <Neighbourhood N>
int64_t sweep(const Grid& elevation, Grid& directions, Grid& flat_labels, std::vector<int64_t>& undrained) {
  const int64_t ncols = elevation.ncols();
  std::size_t kept = 0;
  for (const int64_t index : undrained) {
    const auto row = static_cast<int32_t>(index / ncols + 1);
    const auto col = static_cast<int32_t>(index % ncols + 1);
    if (directions(row, col) != 0.0) continue;
    if (!drain_cell<N>(elevation, directions, flat_labels, row, col)) undrained[kept++] = index;
  }
  undrained.resize(kept);
  return static_cast<int64_t>(kept);
}

}  // namespace

std::vector<int64_t> collect_undrained_cells(const Grid& directions) {
  std::vector<int64_t> undrained;
  const int64_t ncols = directions.ncols();
  for (int32_t row = 2; row < directions.nrows(); ++row)
    for (int32_t col = 2; col < directions.ncols(); ++col)
      if (directions(row, col) == 0.0) undrained.push_back((row - 1) * ncols + (col - 1));
  return undrained;
}

int64_t drain_flats(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions, Grid& flat_labels,
                    std::vector<int64_t>& undrained) {
  if (neighbourhood == Neighbourhood::eight)
    return sweep<Neighbourhood::eight>(elevation, directions, flat_labels, undrained);
  return sweep<Neighbourhood::four>(elevation, directions, flat_labels, undrained);
}

}  // namespace orograd
