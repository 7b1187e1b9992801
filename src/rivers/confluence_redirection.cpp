#include "rivers/confluence_redirection.hpp"

#include <array>

#include "flow/directions.hpp"

namespace orograd {

namespace {

// The code that makes the neighbour at ring position k drain into the neighbour at
// position k + step (step -1 or +1, wrapping around the ring).
constexpr int ring_turn(std::size_t k, int step) {
  const Direction& from = kDirections[k];
  const Direction& to = kDirections[(k + 8 + static_cast<std::size_t>(step)) % 8];
  for (const Direction& d : kDirections)
    if (d.row_offset == to.row_offset - from.row_offset && d.col_offset == to.col_offset - from.col_offset)
      return d.code;
  return 0;
}

constexpr std::array<int, 8> ring_turns(int step) {
  std::array<int, 8> codes{};
  for (std::size_t k = 0; k < 8; ++k) codes[k] = ring_turn(k, step);
  return codes;
}

constexpr std::array<int, 8> kTurnTowardPrevious = ring_turns(-1);
constexpr std::array<int, 8> kTurnTowardNext = ring_turns(+1);
static_assert(kTurnTowardPrevious == std::array<int, 8>{32, 128, 128, 2, 2, 8, 8, 32});
static_assert(kTurnTowardNext == std::array<int, 8>{8, 8, 32, 32, 128, 128, 2, 2});

void turn_neighbour(Grid& directions, const Grid& orders, int32_t row, int32_t col, std::size_t k, int code) {
  const Direction& d = kDirections[k];
  const int32_t r = row + d.row_offset, c = col + d.col_offset;
  if (!directions.shape().contains(r, c)) return;
  // Cells outside the elevation model keep their nodata direction.
  if (orders(r, c) < 0.5 && !is_nodata(directions(r, c))) directions(r, c) = code;
}

}  // namespace

void redirect_confluence(Grid& directions, const Grid& orders, int32_t row, int32_t col, RingPositions inflows) {
  const Direction* own = direction_for_code(directions(row, col));
  const int outflow = own != nullptr ? static_cast<int>(own - kDirections.data()) : 7;
  const auto is_inflow = [&](int p) { return (inflows >> (p % 8)) & 1U; };
  // Positions run unwrapped from outflow + 1 to outflow + 7 so that halves are taken
  // along the scan.
  const int last = outflow + 7;
  for (int p = outflow + 1; p <= last;) {
    if (!is_inflow(p) || is_inflow(p + 1)) {
      ++p;
      continue;
    }
    int q = p + 2;
    while (q <= last && !is_inflow(q)) ++q;
    if (q > last) return;
    const int mid = (p + q) / 2;
    for (int k = p + 1; k <= mid; ++k) turn_neighbour(directions, orders, row, col, k % 8, kTurnTowardPrevious[k % 8]);
    for (int k = mid + 1; k < q; ++k) turn_neighbour(directions, orders, row, col, k % 8, kTurnTowardNext[k % 8]);
    p = q;
  }
}

}  // namespace orograd
