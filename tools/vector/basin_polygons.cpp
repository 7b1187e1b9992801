#include "vector/basin_polygons.hpp"

#include <algorithm>
#include <unordered_map>

namespace orograd::vector {

namespace {

// Sides of a cell, and directions of travel, clockwise from north.
constexpr int32_t kRowStep[4] = {-1, 0, 1, 0};
constexpr int32_t kColStep[4] = {0, 1, 0, -1};

// A boundary is traced with its cell on the left, so along a cell's north side the
// travel is westwards, along its west side southwards, and so on.
constexpr int travel(int side) { return (side + 3) % 4; }

// The corner where travel along `side` of the cell (row, col) ends: north-west for the
// north side, north-east for the east side, and so on round the cell.
Corner end_corner(int32_t row, int32_t col, int side) {
  constexpr int32_t kRowOffset[4] = {-1, -1, 0, 0}, kColOffset[4] = {-1, 0, 0, -1};
  return {row + kRowOffset[side], col + kColOffset[side]};
}

// 4-connected groups of equal codes, numbered in row-major order of their first cells.
struct Groups {
  std::vector<int32_t> of_cell;  // -1 for cells of no code
  std::vector<int32_t> code;     // per group
};

Groups label_groups(const CodeGrid& codes) {
  const GridShape shape = codes.shape();
  Groups groups{std::vector<int32_t>(static_cast<std::size_t>(shape.nrows) * static_cast<std::size_t>(shape.ncols), -1),
                {}};
  std::vector<GridCell> stack;
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int32_t code = codes(row, col);
      if (code == kNoCode || groups.of_cell[static_cast<std::size_t>(shape.index(row, col))] >= 0) continue;
      const auto group = static_cast<int32_t>(groups.code.size());
      groups.code.push_back(code);
      groups.of_cell[static_cast<std::size_t>(shape.index(row, col))] = group;
      stack.push_back({row, col});
      while (!stack.empty()) {
        const GridCell cell = stack.back();
        stack.pop_back();
        for (int side = 0; side < 4; ++side) {
          const int32_t r = cell.row + kRowStep[side], c = cell.col + kColStep[side];
          if (codes(r, c) != code) continue;
          int32_t& label = groups.of_cell[static_cast<std::size_t>(shape.index(r, c))];
          if (label >= 0) continue;
          label = group;
          stack.push_back({r, c});
        }
      }
    }
  return groups;
}

// Traces rings with the cells of one group on their left, each cell side once.
class RingTracer {
 public:
  explicit RingTracer(const CodeGrid& codes)
      : codes_(codes),
        shape_(codes.shape()),
        traced_(static_cast<std::size_t>(shape_.nrows) * static_cast<std::size_t>(shape_.ncols), 0) {}

  // Whether `side` of the cell is a boundary not yet traced.
  bool untraced_boundary(int32_t row, int32_t col, int side) const {
    const int32_t code = codes_(row, col);
    return code != kNoCode && codes_(row + kRowStep[side], col + kColStep[side]) != code &&
           (traced_[cell_index(row, col)] & (1U << side)) == 0;
  }

  // Traces the boundary through `side` of the cell round to it again and appends its
  // rings to `rings`: one, or more where it passed a corner twice.
  void trace(int32_t row, int32_t col, int side, std::vector<Ring>& rings) {
    const int32_t code = codes_(row, col);
    const int32_t start_row = row, start_col = col;
    const int start_side = side;
    Ring ring;
    do {
      traced_[cell_index(row, col)] |= static_cast<uint8_t>(1U << side);
      const int ahead = travel(side), right = (ahead + 1) % 4;
      const int32_t left_row = row + kRowStep[ahead], left_col = col + kColStep[ahead];
      const bool left_ahead = codes_(left_row, left_col) == code;
      const bool right_ahead = codes_(left_row + kRowStep[right], left_col + kColStep[right]) == code;
      if (left_ahead && !right_ahead) {  // straight on along the next cell
        row = left_row;
        col = left_col;
        continue;
      }
      const Corner corner = end_corner(row, col, side);
      if (!left_ahead) {
        // Turning left round the cell. Where the cell diagonally ahead has the code as
        // well, the two touch only at this corner, which the boundary may pass again.
        if (right_ahead) close_loop_at(corner, ring, rings);
        else ring.push_back(corner);
        side = ahead;
      } else {  // turning right onto the cell diagonally ahead
        ring.push_back(corner);
        row = left_row + kRowStep[right];
        col = left_col + kColStep[right];
        side = (ahead + 2) % 4;
      }
    } while (row != start_row || col != start_col || side != start_side);
    ring.push_back(ring.front());
    rings.push_back(std::move(ring));
    // Erased one by one: clearing would cost the map's whole bucket array per ring.
    for (const int64_t key : pinch_keys_) pinches_.erase(key);
    pinch_keys_.clear();
  }

 private:
  std::size_t cell_index(int32_t row, int32_t col) const { return static_cast<std::size_t>(shape_.index(row, col)); }

  // At a corner where cells of the code touch diagonally: the first pass adds it to the
  // ring; a second pass cuts the loop since the first off as a ring of its own, so
  // that no ring touches itself.
  void close_loop_at(Corner corner, Ring& ring, std::vector<Ring>& rings) {
    const int64_t key = static_cast<int64_t>(corner.row) * (shape_.ncols + 1) + corner.col;
    const auto [at, inserted] = pinches_.try_emplace(key, ring.size());
    if (inserted) pinch_keys_.push_back(key);
    const std::size_t first = at->second;
    if (!inserted && first < ring.size() && ring[first] == corner) {
      Ring loop(ring.begin() + static_cast<std::ptrdiff_t>(first), ring.end());
      loop.push_back(corner);
      rings.push_back(std::move(loop));
      ring.resize(first + 1);
      return;
    }
    at->second = ring.size();
    ring.push_back(corner);
  }

  const CodeGrid& codes_;
  GridShape shape_;
  std::vector<uint8_t> traced_;  // bit `side` set once that side of the cell is traced
  std::unordered_map<int64_t, std::size_t> pinches_;  // corner -> its place in the ring
  std::vector<int64_t> pinch_keys_;                    // the corners in pinches_
};

}  // namespace

int64_t twice_signed_area(const Ring& ring) {
  // Shoelace formula with x = col and y = -row, so that north is up.
  int64_t sum = 0;
  for (std::size_t k = 0; k + 1 < ring.size(); ++k)
    sum += static_cast<int64_t>(ring[k + 1].col) * ring[k].row - static_cast<int64_t>(ring[k].col) * ring[k + 1].row;
  return sum;
}

std::vector<BasinPolygon> trace_basin_polygons(const CodeGrid& codes) {
  const GridShape shape = codes.shape();
  const Groups groups = label_groups(codes);
  std::vector<PolygonRings> parts(groups.code.size());
  std::vector<int64_t> cells(groups.code.size(), 0);
  RingTracer tracer(codes);
  std::vector<Ring> rings;
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int32_t group = groups.of_cell[static_cast<std::size_t>(shape.index(row, col))];
      if (group < 0) continue;
      cells[static_cast<std::size_t>(group)] += 1;
      for (int side = 0; side < 4; ++side) {
        if (!tracer.untraced_boundary(row, col, side)) continue;
        tracer.trace(row, col, side, rings);
        PolygonRings& part = parts[static_cast<std::size_t>(group)];
        for (Ring& ring : rings) (twice_signed_area(ring) > 0 ? part.shell : part.holes.emplace_back()) = std::move(ring);
        rings.clear();
      }
    }
  // Parts gathered by code, in increasing order of code.
  std::unordered_map<int32_t, std::size_t> basin_of_code;
  std::vector<BasinPolygon> basins;
  for (std::size_t group = 0; group < parts.size(); ++group) {
    const auto [at, inserted] = basin_of_code.try_emplace(groups.code[group], basins.size());
    if (inserted) basins.push_back({groups.code[group], 0, {}});
    BasinPolygon& basin = basins[at->second];
    basin.cells += cells[group];
    basin.parts.push_back(std::move(parts[group]));
  }
  std::sort(basins.begin(), basins.end(), [](const BasinPolygon& a, const BasinPolygon& b) { return a.code < b.code; });
  return basins;
}

}  // namespace orograd::vector
