#pragma once
// The fixed-point line tracer that finds how far the terrain rises above a cell in one
// azimuth direction.
#include <cstdint>
#include <vector>

#include "grid/grid.hpp"
#include "topo/horizon_reach.hpp"

namespace orograd {

// Stepping parameters of one direction, shared by all cells of that direction.
struct HorizonWalk {
  bool column_walk = false;  // one column per step; otherwise one row per step
  int32_t column_sign = 1;   // +1 toward higher column indices (east)
  int32_t north_sign = 1;    // +1 toward north, i.e. the row index decreases
  int32_t ratio = 0;         // minor-axis advance per major step, in 1/denominator
  int32_t denominator = 1;   // ncols for a column walk, nrows for a row walk
  double distance_step = 0;  // horizontal distance of one major step
};

// Sets up the walk for azimuth `a` (radians clockwise from north).
HorizonWalk make_horizon_walk(double a, int32_t ncols, int32_t nrows, double cellsize);

// Tables shared read-only by all walks of a direction, built on the calling thread so
// that the per-cell walk allocates nothing.
class HorizonTerrain {
 public:
  HorizonTerrain(const Grid& elevation, double zmax_all);
  // Sets the direction, with the accumulated distances and the moves after n steps,
  // n = 0 .. the longest possible walk, and the reach maxima of the direction.
  void set_walk(const HorizonWalk& walk);

  const Grid& elevation() const { return elevation_; }
  double zmax_all() const { return zmax_all_; }
  const HorizonWalk& walk() const { return walk_; }
  double distance(int32_t steps) const { return distances_[steps]; }
  // Where every walk of the direction stands after n steps, relative to its start, and
  // its error term then: all walks start with the same error term.
  struct Moves {
    int32_t row, col, e;
  };
  const Moves& moves(int32_t steps) const { return moves_[steps]; }
  // Steps after which a walk has reached `max_distance` (the longest walk when never).
  int32_t steps_to_reach(double max_distance) const;
  // Upper bound of the elevations of cell (row, col) and of every cell the current
  // walk can visit after it.
  double reach(int32_t row, int32_t col) const { return reach_.at(row, col); }
  const float* reach_from(int32_t row, int32_t col) const { return reach_.from(row, col); }
  // Upper bounds of the elevations of the next ReachMaxima::kSpan and kLongSpan steps of
  // the walks standing on (row, col) and the cells after it in its row.
  const float* span_from(int32_t row, int32_t col) const { return reach_.span_from(row, col); }
  const float* long_span_from(int32_t row, int32_t col) const { return reach_.long_span_from(row, col); }

 private:
  const Grid& elevation_;
  double zmax_all_;
  HorizonWalk walk_;
  std::vector<double> distances_;
  std::vector<Moves> moves_;
  ReachMaxima reach_;
};

// The horizon tangent T (never negative) of cell (row, col) along the terrain's current
// walk, with the search ending at `max_distance`. The walk also ends where the reach
// maxima show that no cell ahead can raise T, which leaves T exactly as the literal
// walk gives it.
double trace_horizon(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance);

// The same walk taken literally, with the bound and stop tests at every step. Kept as
// the reference the counted walk of trace_horizon is tested against.
double trace_horizon_stepwise(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance);

// trace_horizon for the cells first_col .. last_col of `row`, walked side by side in
// blocks of neighbouring cells: tangents[col - 1] is exactly the tangent trace_horizon
// gives for (row, col). Pre: 1 <= first_col, last_col <= ncols, and tangents holds the
// raster's ncols values. Cells of nodata elevation get a value too, which means nothing.
void trace_horizon_row(const HorizonTerrain& terrain, int32_t row, int32_t first_col, int32_t last_col,
                       double max_distance, double* tangents);

// Number of steps the walk of trace_horizon takes for cell (row, col) before it ends
// (for measuring).
int32_t horizon_walk_length(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance);

}  // namespace orograd
