#include "flow/flat_draining.hpp"

#include <algorithm>
#include <numeric>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

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

// An insertion sort: linear when each element is at most a few places out of order, as
// the cells are that drained cells add in row order, up to three per cell in table order.
template <typename Iterator>
void sort_nearly_sorted(Iterator first, Iterator last) {
  for (Iterator next = first; next != last; ++next)
    for (Iterator k = next; k != first && *k < *(k - 1); --k) std::iter_swap(k, k - 1);
}

bool examined(const Grid& grid, int32_t row, int32_t col) {
  return row >= 2 && row < grid.nrows() && col >= 2 && col < grid.ncols();
}

template <Neighbourhood N>
bool drain_cell(const Grid& elevation, Grid& directions, int32_t row, int32_t col) {
  const double z = elevation(row, col);
  for (const Direction& d : draining_neighbours<N>()) {
    const int32_t r = row + d.row_offset;
    const int32_t c = col + d.col_offset;
    if (elevation(r, c) == z && directions(r, c) != 0.0) {
      directions(row, col) = d.code;
      return true;
    }
  }
  return false;
}

// One sweep over the candidates in row-major order. A cell drained here makes its
// undrained neighbours candidates: the one to the east still in this row, those in the
// next row in this sweep, those before it in the next sweep. Candidates come row by
// row and each row's columns are sorted, so no cell costs more than a few steps.
template <Neighbourhood N>
class Sweep {
 public:
  Sweep(const Grid& elevation, Grid& directions, FlatSweepState& state)
      : elevation_(elevation), directions_(directions), state_(state),
        shape_(elevation.shape()) {}

  void run() {
    const std::vector<int64_t> candidates = std::move(state_.candidates);
    std::size_t next = 0;
    while (next < candidates.size() || !next_row_.empty()) {
      const int32_t row = next < candidates.size() ? shape_.row_of(candidates[next]) : next_row_number_;
      const int32_t current = next_row_.empty() ? row : std::min(row, next_row_number_);
      row_columns_.clear();
      if (!next_row_.empty() && next_row_number_ == current) row_columns_.swap(next_row_);
      next_row_.clear();
      const auto added = static_cast<std::ptrdiff_t>(row_columns_.size());
      for (; next < candidates.size() && shape_.row_of(candidates[next]) == current; ++next)
        row_columns_.push_back(shape_.col_of(candidates[next]));
      sort_nearly_sorted(row_columns_.begin(), row_columns_.begin() + added);
      sort_nearly_sorted(row_columns_.begin() + added, row_columns_.end());
      std::inplace_merge(row_columns_.begin(), row_columns_.begin() + added, row_columns_.end());
      sweep_row(current);
    }
    state_.candidates.resize(later_above_.size() + later_west_.size());
    std::merge(later_above_.begin(), later_above_.end(), later_west_.begin(), later_west_.end(),
               state_.candidates.begin());
  }

 private:
  void sweep_row(int32_t row) {
    std::size_t k = 0;
    int32_t east = 0;  // the cell east of one just drained, if undrained
    int32_t previous = 0;
    while (k < row_columns_.size() || east != 0) {
      int32_t col = k < row_columns_.size() ? row_columns_[k] : east;
      if (east != 0 && east < col) col = east;
      if (k < row_columns_.size() && row_columns_[k] == col) ++k;
      if (east == col) east = 0;
      if (col == previous) continue;
      previous = col;
      if (directions_(row, col) != 0.0 || !drain_cell<N>(elevation_, directions_, row, col)) continue;
      --state_.undrained;
      for (const Direction& d : neighbours<N>()) {
        const int32_t r = row + d.row_offset, c = col + d.col_offset;
        if (!examined(directions_, r, c) || directions_(r, c) != 0.0) continue;
        if (r > row) {
          next_row_number_ = r;
          next_row_.push_back(c);
        } else if (r == row && c > col) {
          east = c;
        } else {
          (r < row ? later_above_ : later_west_).push_back(shape_.index(r, c));
        }
      }
    }
  }

  const Grid& elevation_;
  Grid& directions_;
  FlatSweepState& state_;
  GridShape shape_;
  std::vector<int32_t> row_columns_;  // candidate columns of the row being swept
  std::vector<int32_t> next_row_;     // columns of the next row made candidates by this row
  int32_t next_row_number_ = 0;
  // Candidates of the next sweep north of a drained cell, and west of it: as cells drain
  // row by row, each list comes in row order, and merging them keeps that order.
  std::vector<int64_t> later_above_;
  std::vector<int64_t> later_west_;
};

}  // namespace

FlatSweepState start_flat_sweeps(const Grid& directions) {
  FlatSweepState state;
  const GridShape shape = directions.shape();
  // Counted first, so that the list of millions of cells is allocated once, not grown.
  int64_t undrained = 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(+ : undrained)
#endif
  for (int32_t row = 2; row < shape.nrows; ++row)
    for (int32_t col = 2; col < shape.ncols; ++col) undrained += directions(row, col) == 0.0;
  state.undrained = undrained;
  state.candidates.reserve(static_cast<std::size_t>(undrained));
  for (int32_t row = 2; row < shape.nrows; ++row)
    for (int32_t col = 2; col < shape.ncols; ++col)
      if (directions(row, col) == 0.0) state.candidates.push_back(shape.index(row, col));
  return state;
}

int64_t drain_flats(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions, FlatSweepState& state) {
  with_neighbourhood(neighbourhood, [&](auto n) { Sweep<n.value>(elevation, directions, state).run(); });
  return state.undrained;
}

namespace {

// The sweeps of one share until one leaves no cell or drains none; the count after each.
std::vector<int64_t> sweep_to_end(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                                  FlatSweepState state) {
  std::vector<int64_t> counts;
  for (int64_t before = state.undrained;;) {
    counts.push_back(drain_flats(neighbourhood, elevation, directions, state));
    if (counts.back() == 0 || counts.back() == before) return counts;
    before = counts.back();
  }
}

int64_t label_of(const Grid& labels, GridShape shape, int64_t cell) {
  const double label = labels(shape.row_of(cell), shape.col_of(cell));
  return label >= 1 && label <= static_cast<double>(INT32_MAX) ? static_cast<int64_t>(label) : 0;
}

// The share of every region label among `shares`: the largest regions first, each to
// the share with the fewest cells so far. Empty when a candidate has no label.
std::vector<int32_t> share_out_regions(const Grid& labels, const std::vector<int64_t>& candidates, int32_t shares) {
  const GridShape shape = labels.shape();
  std::vector<int64_t> sizes;
  for (const int64_t cell : candidates) {
    const int64_t label = label_of(labels, shape, cell);
    if (label == 0) return {};
    if (static_cast<std::size_t>(label) >= sizes.size()) sizes.resize(static_cast<std::size_t>(label) + 1, 0);
    ++sizes[static_cast<std::size_t>(label)];
  }
  std::vector<int64_t> by_size(sizes.size());
  std::iota(by_size.begin(), by_size.end(), 0);
  std::stable_sort(by_size.begin(), by_size.end(), [&](int64_t a, int64_t b) { return sizes[a] > sizes[b]; });
  std::vector<int32_t> share(sizes.size(), 0);
  std::vector<int64_t> load(static_cast<std::size_t>(shares), 0);
  for (const int64_t label : by_size) {
    const auto lightest = static_cast<int32_t>(std::min_element(load.begin(), load.end()) - load.begin());
    share[static_cast<std::size_t>(label)] = lightest;
    load[static_cast<std::size_t>(lightest)] += sizes[static_cast<std::size_t>(label)];
  }
  return share;
}

// Whether every examined neighbour with direction 0 of every candidate lies in the
// candidate's share, so that no share ever reads a cell another one changes.
// `share_of(cell)` gives the share of a cell with a label.
template <Neighbourhood N, typename ShareOf>
bool shares_apart(const Grid& labels, const Grid& directions, const std::vector<int64_t>& candidates,
                  std::size_t label_count, const ShareOf& share_of) {
  const GridShape shape = labels.shape();
  int64_t crossings = 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(+ : crossings)
#endif
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    const int32_t row = shape.row_of(candidates[k]), col = shape.col_of(candidates[k]);
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (!examined(directions, r, c) || directions(r, c) != 0.0) continue;
      const int64_t neighbour = shape.index(r, c);
      const int64_t label = label_of(labels, shape, neighbour);
      crossings += label == 0 || static_cast<std::size_t>(label) >= label_count ||
                   share_of(neighbour) != share_of(candidates[k]);
    }
  }
  return crossings == 0;
}

// The counts of the sweeps over all shares: a share that has ended keeps its last count.
std::vector<int64_t> add_up_sweeps(const std::vector<std::vector<int64_t>>& shares, int64_t undrained) {
  std::vector<int64_t> counts;
  for (std::size_t sweep = 0;; ++sweep) {
    int64_t count = 0;
    for (const std::vector<int64_t>& share : shares)
      if (!share.empty()) count += share[std::min(sweep, share.size() - 1)];
    counts.push_back(count);
    if (count == 0 || count == undrained) return counts;
    undrained = count;
  }
}

}  // namespace

std::vector<int64_t> drain_flats_in_shares(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                                           const Grid& labels) {
  FlatSweepState all = start_flat_sweeps(directions);
#if !OROGRAD_SEQUENTIAL
  const int32_t shares = omp_get_max_threads();
#else
  const int32_t shares = 1;
#endif
  const std::vector<int32_t> share_of_label =
      shares > 1 ? share_out_regions(labels, all.candidates, shares) : std::vector<int32_t>{};
  const auto share_of = [&](int64_t cell) {
    return static_cast<std::size_t>(share_of_label[static_cast<std::size_t>(label_of(labels, labels.shape(), cell))]);
  };
  const bool apart = !share_of_label.empty() && with_neighbourhood(neighbourhood, [&](auto n) {
    return shares_apart<n.value>(labels, directions, all.candidates, share_of_label.size(), share_of);
  });
  if (!apart) return sweep_to_end(neighbourhood, elevation, directions, std::move(all));
  std::vector<FlatSweepState> states(static_cast<std::size_t>(shares));
  for (const int64_t cell : all.candidates) {
    states[share_of(cell)].candidates.push_back(cell);
    ++states[share_of(cell)].undrained;
  }
  std::vector<std::vector<int64_t>> counts(states.size());
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 1)
#endif
  for (std::size_t k = 0; k < states.size(); ++k)
    if (!states[k].candidates.empty())
      counts[k] = sweep_to_end(neighbourhood, elevation, directions, std::move(states[k]));
  return add_up_sweeps(counts, all.undrained);
}

}  // namespace orograd
