#include "flow/flat_draining.hpp"

#include <algorithm>
#include <atomic>
#include <numeric>

#include "flow/ordered_parts.hpp"

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

// Calls `cell(row, col)` for every examined cell with direction 0, row by row.
template <typename Cell>
void for_each_flat_cell(const Grid& directions, const Cell& cell) {
  for (int32_t row = 2; row < directions.nrows(); ++row)
    for (int32_t col = 2; col < directions.ncols(); ++col)
      if (directions(row, col) == 0.0) cell(row, col);
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
  for_each_flat_cell(directions, [&](int32_t row, int32_t col) { state.candidates.push_back(shape.index(row, col)); });
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

// The region label of a cell as an index; 0 when it holds none. A grid has fewer
// regions than cells, so a larger value is no label either.
int64_t label_at(const Grid& labels, int32_t row, int32_t col) {
  const double label = labels(row, col);
  const double cells = static_cast<double>(labels.nrows()) * labels.ncols();
  return label >= 1 && label <= cells ? static_cast<int64_t>(label) : 0;
}

// Calls `cell(row, col)` for every examined cell with direction 0, the rows cut into
// consecutive parts done side by side (in_ordered_parts), row by row in each; `cell` is
// `cell_of_part(part)`, made on the part's thread, so that what a part updates for every
// cell can live in its own copy rather than beside another part's.
template <typename CellOfPart>
void for_each_flat_cell_in_parts(const Grid& directions, const CellOfPart& cell_of_part) {
  const auto rows = static_cast<std::size_t>(std::max(0, directions.nrows() - 2));
  in_ordered_parts(rows, 1, [&](std::size_t first, std::size_t last, std::size_t part) {
    auto cell = cell_of_part(part);
    for (auto row = static_cast<int32_t>(first) + 2; row < static_cast<int32_t>(last) + 2; ++row)
      for (int32_t col = 2; col < directions.ncols(); ++col)
        if (directions(row, col) == 0.0) cell(row, col);
  });
}

// The flat cells of each region label in each part of for_each_flat_cell_in_parts:
// [part][label], label 0 counting the cells without one.
std::vector<std::vector<int64_t>> count_flat_cells(const Grid& labels, const Grid& directions) {
  std::vector<std::vector<int64_t>> counts(most_parts());
  for_each_flat_cell_in_parts(directions, [&](std::size_t part) {
    return [&, &own = counts[part]](int32_t row, int32_t col) {
      const auto label = static_cast<std::size_t>(label_at(labels, row, col));
      if (label >= own.size()) own.resize(label + 1, 0);
      ++own[label];
    };
  });
  return counts;
}

// Which share each region label goes to, the cells of each share, and where each
// part's cells of each share start in the share's row-major list.
struct Shares {
  std::vector<int32_t> of_label;
  std::vector<int64_t> cells;
  std::vector<std::vector<int64_t>> starts;  // [part][share]
};

// The regions shared out among `shares`: the largest first, each to the share with the
// fewest cells so far. No share when a flat cell has no label.
Shares share_out_regions(const std::vector<std::vector<int64_t>>& counts, int32_t shares) {
  std::vector<int64_t> sizes;
  for (const std::vector<int64_t>& part : counts) {
    if (part.size() > sizes.size()) sizes.resize(part.size(), 0);
    for (std::size_t label = 0; label < part.size(); ++label) sizes[label] += part[label];
  }
  if (!sizes.empty() && sizes[0] != 0) return {};
  std::vector<int64_t> by_size(sizes.size());
  std::iota(by_size.begin(), by_size.end(), 0);
  std::stable_sort(by_size.begin(), by_size.end(), [&](int64_t a, int64_t b) { return sizes[a] > sizes[b]; });
  Shares result{std::vector<int32_t>(sizes.size(), 0), std::vector<int64_t>(static_cast<std::size_t>(shares), 0), {}};
  for (const int64_t label : by_size) {
    const auto lightest = std::min_element(result.cells.begin(), result.cells.end()) - result.cells.begin();
    result.of_label[static_cast<std::size_t>(label)] = static_cast<int32_t>(lightest);
    result.cells[static_cast<std::size_t>(lightest)] += sizes[static_cast<std::size_t>(label)];
  }
  std::vector<int64_t> next(result.cells.size(), 0);
  for (const std::vector<int64_t>& part : counts) {
    result.starts.push_back(next);
    for (std::size_t label = 0; label < part.size(); ++label) next[result.of_label[label]] += part[label];
  }
  return result;
}

// Whether a neighbouring examined cell with direction 0 lies in another share than
// `own`, the share of the examined cell (row, col), which has direction 0: then a share
// could read a cell another one changes. Each pair is looked at from its first cell in
// row-major order: the neighbours east and in the next row. Every such cell has a label
// below share.size() (share_out_regions).
template <Neighbourhood N>
bool crosses_shares(const Grid& labels, const Grid& directions, const std::vector<int32_t>& share, int32_t row,
                    int32_t col, int32_t own) {
  const auto share_at = [&](int32_t r, int32_t c) { return share[static_cast<std::size_t>(label_at(labels, r, c))]; };
  const auto flat = [&](int32_t r, int32_t c) { return examined(directions, r, c) && directions(r, c) == 0.0; };
  constexpr int32_t kNextRowFrom = N == Neighbourhood::eight ? -1 : 0, kNextRowTo = -kNextRowFrom;
  if (flat(row, col + 1) && share_at(row, col + 1) != own) return true;
  for (int32_t dc = kNextRowFrom; dc <= kNextRowTo; ++dc)
    if (flat(row + 1, col + dc) && share_at(row + 1, col + dc) != own) return true;
  return false;
}

// The candidates of the first sweep, as start_flat_sweeps lists them, share by share;
// each part of the rows writes its cells where the parts before it end. Empty when two
// neighbouring cells to be swept lie in different shares (crosses_shares).
template <Neighbourhood N>
std::vector<FlatSweepState> list_candidates_by_share(const Grid& labels, const Grid& directions,
                                                     const Shares& share) {
  std::vector<FlatSweepState> states(share.cells.size());
  for (std::size_t k = 0; k < states.size(); ++k) {
    states[k].undrained = share.cells[k];
    states[k].candidates.resize(static_cast<std::size_t>(share.cells[k]));
  }
  const GridShape shape = directions.shape();
  // Read before it is set, so that a part writes it at most once and then stops checking.
  std::atomic<bool> crossed{false};
  for_each_flat_cell_in_parts(directions, [&](std::size_t part) {
    return [&, next = share.starts[part]](int32_t row, int32_t col) mutable {
      const int32_t own = share.of_label[static_cast<std::size_t>(label_at(labels, row, col))];
      const auto k = static_cast<std::size_t>(own);
      states[k].candidates[static_cast<std::size_t>(next[k]++)] = shape.index(row, col);
      if (!crossed.load(std::memory_order_relaxed) &&
          crosses_shares<N>(labels, directions, share.of_label, row, col, own))
        crossed.store(true, std::memory_order_relaxed);
    };
  });
  if (crossed.load()) states.clear();
  return states;
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
  const auto shares = static_cast<int32_t>(most_parts());
  const Shares share = shares > 1 ? share_out_regions(count_flat_cells(labels, directions), shares) : Shares{};
  std::vector<FlatSweepState> states;
  if (!share.of_label.empty())
    states = with_neighbourhood(neighbourhood, [&](auto n) {
      return list_candidates_by_share<n.value>(labels, directions, share);
    });
  if (states.empty()) return sweep_to_end(neighbourhood, elevation, directions, start_flat_sweeps(directions));
  int64_t undrained = 0;
  for (const FlatSweepState& state : states) undrained += state.undrained;
  std::vector<std::vector<int64_t>> counts(states.size());
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 1)
#endif
  for (std::size_t k = 0; k < states.size(); ++k)
    if (!states[k].candidates.empty())
      counts[k] = sweep_to_end(neighbourhood, elevation, directions, std::move(states[k]));
  return add_up_sweeps(counts, undrained);
}

}  // namespace orograd
