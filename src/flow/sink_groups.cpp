#include "flow/sink_groups.hpp"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <queue>

#include "flow/flow_walk.hpp"
#include "flow/ordered_parts.hpp"
#include "flow/union_find.hpp"

namespace orograd {

namespace {

constexpr int32_t kUnknownBasin = -1;
constexpr int32_t kOffModel = 0;  // the basin of cells that drain off the model

// Two touching basins and their saddle.
struct Saddle {
  int32_t a, b;
  double height;
};

// The basin of every cell, by walks downstream to a cell whose basin is known; each
// walk writes its basin back along its way, so every cell is walked over about once.
// Walks of different threads may cross; both then write the same basin.
std::unique_ptr<int32_t[]> find_basins(const Grid& elevation, const Grid& directions, const Grid& labels) {
  const GridShape shape = elevation.shape();
  // Not cleared here: the first pass writes every cell, on all threads.
  auto basins = std::make_unique_for_overwrite<int32_t[]>(static_cast<std::size_t>(shape.nrows) *
                                                          static_cast<std::size_t>(shape.ncols));
  const auto basin = [&](int32_t row, int32_t col) {
    return std::atomic_ref<int32_t>(basins[static_cast<std::size_t>(shape.index(row, col))]);
  };
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int32_t known = labels(row, col) > 0 ? static_cast<int32_t>(labels(row, col))
                            : is_nodata(elevation(row, col)) ? kOffModel
                                                             : kUnknownBasin;
      basin(row, col).store(known, std::memory_order_relaxed);
    }
  start_walks_from_every_cell(shape, true, [&](int32_t row, int32_t col, std::vector<GridCell>& path) {
    path.clear();
    int32_t found = kOffModel;
    for (GridCell cell{row, col};;) {
      found = basin(cell.row, cell.col).load(std::memory_order_relaxed);
      if (found != kUnknownBasin) break;
      path.push_back(cell);
      const Step step = downstream(cell.row, cell.col, directions(cell.row, cell.col), shape.nrows, shape.ncols);
      if (step.kind != StepKind::moved) {
        found = kOffModel;
        break;
      }
      cell = {step.row, step.col};
    }
    for (const GridCell& cell : path) basin(cell.row, cell.col).store(found, std::memory_order_relaxed);
  });
  return basins;
}

// The saddles between touching basins; a cell at the edge of the grid or next to
// nodata touches basin kOffModel at its own elevation. Each pair of neighbouring cells
// is looked at once, from the one first in the sweep. Two basins touch along a line of
// cells, so the pairs met last are kept in a table, and the saddle of a pair met again
// is lowered in place; a pair may still come out more than once.
template <Neighbourhood N>
std::vector<Saddle> find_saddles(const Grid& elevation, const int32_t* basins) {
  const GridShape shape = elevation.shape();
  const auto basin = [&](int32_t r, int32_t c) { return basins[static_cast<std::size_t>(shape.index(r, c))]; };
  // A nodata cell lies in basin kOffModel; its neighbour's elevation alone makes the saddle.
  const auto height = [&](int32_t r, int32_t c) {
    return is_nodata(elevation(r, c)) ? -std::numeric_limits<double>::infinity() : elevation(r, c);
  };
  constexpr auto all = neighbours<N>();
  std::vector<std::vector<Saddle>> parts(most_parts());
  const auto rows = static_cast<std::size_t>(shape.nrows);
  in_ordered_parts(rows, 1, [&](std::size_t first, std::size_t last, std::size_t part) {
    std::vector<Saddle>& found = parts[part];
    constexpr std::size_t kRecent = 4096;
    std::vector<std::size_t> recent(kRecent, SIZE_MAX);
    const auto add = [&](int32_t a, int32_t b, double height) {
      std::size_t& slot = recent[(static_cast<std::size_t>(a) * 40503u + static_cast<std::size_t>(b)) % kRecent];
      if (slot != SIZE_MAX && found[slot].a == a && found[slot].b == b) {
        found[slot].height = std::min(found[slot].height, height);
        return;
      }
      slot = found.size();
      found.push_back({a, b, height});
    };
    for (auto row = static_cast<int32_t>(first) + 1; row <= static_cast<int32_t>(last); ++row)
      for (int32_t col = 1; col <= shape.ncols; ++col) {
        const int32_t a = basin(row, col);
        const double z = height(row, col);
        if (a != kOffModel && (row == 1 || col == 1 || row == shape.nrows || col == shape.ncols))
          add(kOffModel, a, z);
        for (const Direction& d : all) {
          const int32_t r = row + d.row_offset, c = col + d.col_offset;
          if (r < row || (r == row && c < col) || !shape.contains(r, c)) continue;
          if (const int32_t b = basin(r, c); a != b) add(std::min(a, b), std::max(a, b), std::max(z, height(r, c)));
        }
      }
  });
  for (std::size_t part = 1; part < parts.size(); ++part)
    parts[0].insert(parts[0].end(), parts[part].begin(), parts[part].end());
  return std::move(parts[0]);
}

// The level each basin is filled to: the lowest level from which a chain of saddles
// leads off the model (the highest saddle on the best chain), found outwards from
// kOffModel in order of level.
std::vector<double> filled_levels(const std::vector<Saddle>& saddles, std::size_t basin_count) {
  std::vector<std::size_t> offsets(basin_count + 1, 0);
  for (const Saddle& s : saddles) {
    ++offsets[static_cast<std::size_t>(s.a) + 1];
    ++offsets[static_cast<std::size_t>(s.b) + 1];
  }
  std::partial_sum(offsets.begin(), offsets.end(), offsets.begin());
  std::vector<std::pair<int32_t, double>> touching(offsets.back());
  std::vector<std::size_t> next(offsets.begin(), offsets.end() - 1);
  for (const Saddle& s : saddles) {
    touching[next[static_cast<std::size_t>(s.a)]++] = {s.b, s.height};
    touching[next[static_cast<std::size_t>(s.b)]++] = {s.a, s.height};
  }
  std::vector<double> level(basin_count, std::numeric_limits<double>::infinity());
  using Entry = std::pair<double, int32_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
  level[kOffModel] = -std::numeric_limits<double>::infinity();
  queue.push({level[kOffModel], kOffModel});
  while (!queue.empty()) {
    const auto [reached, basin] = queue.top();
    queue.pop();
    if (reached > level[static_cast<std::size_t>(basin)]) continue;  // a stale entry
    for (std::size_t k = offsets[static_cast<std::size_t>(basin)]; k < offsets[static_cast<std::size_t>(basin) + 1];
         ++k) {
      const auto [other, height] = touching[k];
      const double candidate = std::max(reached, height);
      if (candidate < level[static_cast<std::size_t>(other)]) {
        level[static_cast<std::size_t>(other)] = candidate;
        queue.push({candidate, other});
      }
    }
  }
  return level;
}

}  // namespace

std::vector<int64_t> group_sink_regions(Neighbourhood neighbourhood, const Grid& elevation, const Grid& directions,
                                        const Grid& labels, int64_t region_count) {
  const std::vector<Saddle> saddles = with_neighbourhood(neighbourhood, [&](auto n) {
    return find_saddles<n.value>(elevation, find_basins(elevation, directions, labels).get());
  });
  const auto basin_count = static_cast<std::size_t>(region_count) + 1;
  const std::vector<double> level = filled_levels(saddles, basin_count);
  std::vector<int64_t> group(basin_count);
  std::iota(group.begin(), group.end(), 0);
  for (const Saddle& s : saddles) {
    if (s.a == kOffModel || s.height > level[static_cast<std::size_t>(s.a)] ||
        s.height > level[static_cast<std::size_t>(s.b)])
      continue;
    const int64_t a = find_root(group, int64_t{s.a}), b = find_root(group, int64_t{s.b});
    // The smaller label names the group, whatever order the saddles came in.
    group[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }
  for (std::size_t label = 1; label < basin_count; ++label)
    group[label] = find_root(group, static_cast<int64_t>(label));
  return group;
}

}  // namespace orograd
