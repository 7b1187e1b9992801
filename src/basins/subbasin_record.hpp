#pragma once
// The routing record of a subbasin, the grids and settings the routing passes read,
// and the ranks by which the records are stored.
#include <cstdint>
#include <vector>

#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// How a subbasin hands its outflow on: the subbasin below it, the reach through which
// the outflow runs inside that subbasin and the channel of that reach. Every field is
// 0 until the passes fill it.
struct SubbasinRecord {
  int32_t code = 0;
  int32_t downstream = 0;       // code of the subbasin below, 0 for an outlet
  double travel_time_sum = 0;   // seconds along the reach
  double sqrt_slope = 0;        // square root of the reach slope, floored
  double velocity = 0;          // m/s
  double previous_velocity = 0;
  double width = 0;
  double depth = 0;
  double hydraulic_radius = 0;
  double discharge = 0;         // m³/s
  double roughness = 0;         // Strickler coefficient
  double acc_outlet = 0;        // accumulation at the subbasin's last cell
  double acc_max = 0;           // largest accumulation along the reach
  double area = 0;              // km²
  double length = 0;            // map units
  double h_min = 0;
  double h_max = 0;
  int32_t cell_count = 0;       // reach cells counted
  int32_t exit_row = 0;         // exit cell; row 0 until it is found
  int32_t exit_col = 0;
};

// What the routing passes read.
struct RoutingInputs {
  const Grid& subbasins;  // delineated subbasin codes, nodata outside
  const FlowWalker& walker;  // over the flow directions
  const Grid& accumulation;
  const Grid& elevation;
  const Grid& travel_times;  // seconds to cross each cell
  double cellsize;
  double strickler_coefficient;
  double specific_discharge;  // l/(s·km²)
  int32_t mode;  // 1 and 2 choose the area of the discharge and the merging of inflows
};

// Ranks of the subbasin codes: codes_by_rank[k] has rank k + 1, the order in which
// delineation first met the codes. Records are stored by rank.
class SubbasinRanks {
 public:
  SubbasinRanks() = default;
  // Pre: the codes are positive, distinct and at most the delineation's limit of
  // 500000 (the lookup holds one entry per code up to the largest).
  explicit SubbasinRanks(const std::vector<int32_t>& codes_by_rank) {
    for (int32_t code : codes_by_rank) meet(code);
  }

  // Gives `code` the next rank unless it has one. Pre: 1 <= code <= 500000.
  void meet(int32_t code) {
    const auto index = static_cast<std::size_t>(code);
    if (index >= rank_by_code_.size()) rank_by_code_.resize(index + 1, 0);
    if (rank_by_code_[index] != 0) return;
    codes_.push_back(code);
    rank_by_code_[index] = static_cast<int32_t>(codes_.size());
  }

  // The rank of the subbasin a cell value names (truncated toward zero like every code
  // used as an index), or 0 when it names none: not positive, or not a listed code.
  int32_t rank_of(double value) const {
    const int32_t code = truncate_to_int(value);
    if (code <= 0 || static_cast<std::size_t>(code) >= rank_by_code_.size()) return 0;
    return rank_by_code_[static_cast<std::size_t>(code)];
  }

  int32_t code_of(int32_t rank) const { return codes_[static_cast<std::size_t>(rank - 1)]; }
  int32_t count() const { return static_cast<int32_t>(codes_.size()); }
  // The codes in rank order.
  const std::vector<int32_t>& codes() const { return codes_; }

 private:
  std::vector<int32_t> codes_;
  std::vector<int32_t> rank_by_code_;  // 0 for codes not listed
};

}  // namespace orograd
