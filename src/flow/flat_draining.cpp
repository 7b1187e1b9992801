#include "flow/flat_draining.hpp"

#include <algorithm>
#include <functional>

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

bool examined(const Grid& grid, int32_t row, int32_t col) {
  return row >= 2 && row < grid.nrows() && col >= 2 && col < grid.ncols();
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
int64_t sweep(const Grid& elevation, Grid& directions, Grid& flat_labels, FlatSweepState& state) {
  const int64_t ncols = elevation.ncols();
  // Candidates in row-major order; a cell drained in this sweep makes its undrained
  // neighbours candidates of this sweep when they come later, of the next otherwise.
  std::vector<int64_t> queue = std::move(state.candidates);
  std::make_heap(queue.begin(), queue.end(), std::greater<>{});
  std::vector<int64_t> next;
  int64_t previous = -1;
  while (!queue.empty()) {
    std::pop_heap(queue.begin(), queue.end(), std::greater<>{});
    const int64_t index = queue.back();
    queue.pop_back();
    if (index == previous) continue;
    previous = index;
    const auto row = static_cast<int32_t>(index / ncols + 1);
    const auto col = static_cast<int32_t>(index % ncols + 1);
    if (directions(row, col) != 0.0 || !drain_cell<N>(elevation, directions, flat_labels, row, col)) continue;
    --state.undrained;
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (!examined(directions, r, c) || directions(r, c) != 0.0) continue;
      const int64_t neighbour = (r - 1) * ncols + (c - 1);
      if (neighbour > index) {
        queue.push_back(neighbour);
        std::push_heap(queue.begin(), queue.end(), std::greater<>{});
      } else {
        next.push_back(neighbour);
      }
    }
  }
  state.candidates = std::move(next);
  return state.undrained;
}

}  // namespace

FlatSweepState start_flat_sweeps(const Grid& directions) {
  FlatSweepState state;
  const int64_t ncols = directions.ncols();
  for (int32_t row = 2; row < directions.nrows(); ++row)
    for (int32_t col = 2; col < directions.ncols(); ++col)
      if (directions(row, col) == 0.0) state.candidates.push_back((row - 1) * ncols + (col - 1));
  state.undrained = static_cast<int64_t>(state.candidates.size());
  return state;
}

int64_t drain_flats(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions, Grid& flat_labels,
                    FlatSweepState& state) {
  if (neighbourhood == Neighbourhood::eight)
    return sweep<Neighbourhood::eight>(elevation, directions, flat_labels, state);
  return sweep<Neighbourhood::four>(elevation, directions, flat_labels, state);
}

}  // namespace orograd
