#pragma once
// Flow-direction codes, the neighbourhoods they come from and the one downstream step
// every walk over a direction grid uses.
//
// A cell's direction names the neighbour its water flows into. The codes run
// clockwise from north-east as powers of two; 0 means "no direction (yet)" and the
// nodata value means "no elevation". Row numbers grow southwards, columns eastwards.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "grid/grid.hpp"

namespace orograd {

struct Direction {
  int code;
  int row_offset;
  int col_offset;
  // Drops towards diagonal neighbours are divided by this constant, not by the square
  // root of two to full precision, so that ties come out as they always have.
  double drop_divisor;
  int opposite;  // the code a neighbour holds when it flows back into the cell
};

inline constexpr double kDiagonalDivisor = 1.4142135;

// The eight neighbours in scan order: north-east, east, south-east, south, south-west,
// west, north-west, north. Entry n has the code 2^n.
inline constexpr std::array<Direction, 8> kDirections{{
    {1, -1, +1, kDiagonalDivisor, 16},
    {2, 0, +1, 1.0, 32},
    {4, +1, +1, kDiagonalDivisor, 64},
    {8, +1, 0, 1.0, 128},
    {16, +1, -1, kDiagonalDivisor, 1},
    {32, 0, -1, 1.0, 2},
    {64, -1, -1, kDiagonalDivisor, 4},
    {128, -1, 0, 1.0, 8},
}};

enum class Neighbourhood { eight, four };

inline constexpr std::size_t neighbour_count(Neighbourhood n) { return n == Neighbourhood::eight ? 8 : 4; }

// The neighbours of a neighbourhood in its scan order. The four edge-sharing
// neighbours are every second entry of the table (east, south, west, north), so both
// neighbourhoods are slices of the one table.
template <Neighbourhood N>
constexpr std::array<Direction, neighbour_count(N)> neighbours() {
  std::array<Direction, neighbour_count(N)> slice{};
  constexpr std::size_t stride = N == Neighbourhood::eight ? 1 : 2;
  for (std::size_t i = 0; i < slice.size(); ++i) slice[i] = kDirections[i * stride + (stride - 1)];
  return slice;
}

// Calls f(std::integral_constant<Neighbourhood, N>{}) for the N that `neighbourhood`
// names: an algorithm is written once as a template on N, whose neighbour table is then
// a compile-time constant, and this is the one place the run-time setting picks the
// instance. Pre: f returns the same type for both constants. Post: returns what f returns.
template <typename F>
decltype(auto) with_neighbourhood(Neighbourhood neighbourhood, F&& f) {
  if (neighbourhood == Neighbourhood::eight) return f(std::integral_constant<Neighbourhood, Neighbourhood::eight>{});
  return f(std::integral_constant<Neighbourhood, Neighbourhood::four>{});
}

// The table entry for a code, or nullptr when the value is not one of the eight codes
// (0, nodata, or anything a foreign direction file may hold).
inline constexpr const Direction* direction_for_code(double code) {
  if (!(code >= 1.0 && code <= 128.0)) return nullptr;  // also rejects NaN
  const auto whole = static_cast<unsigned>(code);
  if (static_cast<double>(whole) != code || !std::has_single_bit(whole)) return nullptr;
  return &kDirections[static_cast<std::size_t>(std::countr_zero(whole))];
}

inline constexpr bool is_nodata(double value) { return value == kNodata; }

// The length of the step from a cell holding `code`: `diagonal` times `cellsize` for
// the four diagonal codes, `cellsize` for any other value. Link lengths, travel times
// and routing reaches each measure diagonals with a constant of their own.
inline double step_length(double code, double cellsize, double diagonal) {
  const Direction* d = direction_for_code(code);
  return d != nullptr && d->row_offset != 0 && d->col_offset != 0 ? cellsize * diagonal : cellsize;
}

// Result of one step downstream from a cell.
enum class StepKind {
  moved,         // the target lies inside the grid
  off_grid,      // the code points outside the grid
  no_direction,  // the cell holds 0
  nodata,        // the cell holds the nodata value
  invalid,       // the cell holds a value that is not a direction code
  cut,           // the step would close a cycle of a grid read from a file (FlowWalker)
};

struct Step {
  StepKind kind;
  int32_t row;  // target cell when kind is moved, else the cell itself
  int32_t col;
};

// One step downstream from (row, col) holding `code`. The caller decides what a target
// with nodata direction means for its walk.
inline Step downstream(int32_t row, int32_t col, double code, int32_t nrows, int32_t ncols) {
  const Direction* direction = direction_for_code(code);
  if (direction == nullptr) {
    if (code == 0.0) return {StepKind::no_direction, row, col};
    if (is_nodata(code)) return {StepKind::nodata, row, col};
    return {StepKind::invalid, row, col};
  }
  const int32_t target_row = row + direction->row_offset;
  const int32_t target_col = col + direction->col_offset;
  if (!GridShape{nrows, ncols}.contains(target_row, target_col)) return {StepKind::off_grid, row, col};
  return {StepKind::moved, target_row, target_col};
}

}  // namespace orograd
