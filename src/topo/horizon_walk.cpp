#include "topo/horizon_walk.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace orograd {

HorizonWalk make_horizon_walk(double a, int32_t ncols, int32_t nrows, double cellsize) {
  HorizonWalk walk;
  const double cs = std::cos(a);
  const double sn = std::sin(a);
  // Quadrant of the azimuth, with the program's ten-decimal multiples of pi.
  if (a <= 1.5707963268) {
    walk.column_sign = 1, walk.north_sign = 1;
  } else if (a <= 3.1415926536) {
    walk.column_sign = 1, walk.north_sign = -1;
  } else if (a <= 4.7123889804) {
    walk.column_sign = -1, walk.north_sign = -1;
  } else {
    walk.column_sign = -1, walk.north_sign = 1;
  }
  if (std::fabs(cs) <= 0.707106781) {
    walk.column_walk = true;
    walk.ratio = static_cast<int32_t>(std::trunc(std::fabs(ncols * cs / sn)));
    walk.denominator = ncols;
    walk.distance_step = cellsize / std::sqrt(1 - cs * cs);
  } else {
    walk.column_walk = false;
    walk.ratio = static_cast<int32_t>(std::trunc(std::fabs(nrows * sn / cs)));
    walk.denominator = nrows;
    walk.distance_step = cellsize / std::fabs(cs);
  }
  return walk;
}

HorizonTerrain::HorizonTerrain(const Grid& elevation, double zmax_all) : elevation_(elevation), zmax_all_(zmax_all) {
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
  block_cols_ = (ncols + kBlock - 1) / kBlock;
  const int32_t block_rows = (nrows + kBlock - 1) / kBlock;
  block_max_.assign(static_cast<std::size_t>(block_rows) * block_cols_, -HUGE_VAL);
  for (int32_t r = 1; r <= nrows; ++r) {
    const double* row = elevation.row(r);
    double* maxima = &block_max_[static_cast<std::size_t>((r - 1) / kBlock) * block_cols_];
    for (int32_t c = 0; c < ncols; ++c) maxima[c / kBlock] = std::max(maxima[c / kBlock], row[c]);
  }
}

void HorizonTerrain::set_walk(const HorizonWalk& walk) {
  walk_ = walk;
  // d grows by repeated addition in every walk, so the distance after n steps is the
  // same for all cells; the table keeps it bit-identical to adding step by step.
  const int32_t longest = std::max(elevation_.ncols(), elevation_.nrows());
  distances_.resize(static_cast<std::size_t>(longest) + 1);
  double d = 0;
  distances_[0] = 0;
  for (int32_t n = 1; n <= longest; ++n) distances_[n] = d = d + walk.distance_step;
}

namespace {

// The walk seen along its own axes: the major position moves every step, the minor
// position moves when the error term runs out.
struct WalkAxes {
  int32_t major_delta, major_limit;  // limit: last index (delta +1) or 1 (delta -1)
  int32_t minor_delta, minor_limit;
};

WalkAxes axes_of(const HorizonWalk& walk, int32_t ncols, int32_t nrows) {
  const int32_t row_delta = -walk.north_sign;
  const int32_t row_limit = row_delta > 0 ? nrows : 1;
  const int32_t col_limit = walk.column_sign > 0 ? ncols : 1;
  if (walk.column_walk) return {walk.column_sign, col_limit, row_delta, row_limit};
  return {row_delta, row_limit, walk.column_sign, col_limit};
}

bool can_move(int32_t position, int32_t delta, int32_t limit) {
  return delta > 0 ? position < limit : position > limit;
}

// State of one cell's walk; the error term belongs to this walk alone.
struct WalkState {
  int32_t major, minor;
  int32_t e;
  int32_t steps = 0;
  double T = 0;
  double m;
};

// One step; returns false when the walk has to end before or after it.
inline bool step_once(const HorizonTerrain& terrain, const WalkAxes& ax, WalkState& s, double z0,
                      double max_distance) {
  const HorizonWalk& walk = terrain.walk();
  if (!can_move(s.major, ax.major_delta, ax.major_limit)) return false;
  // The minor bound is tested before every step, whether or not this step moves on it.
  if (!can_move(s.minor, ax.minor_delta, ax.minor_limit)) return false;
  s.major += ax.major_delta;
  s.e -= walk.ratio;
  ++s.steps;
  const double d = terrain.distance(s.steps);
  if (s.e <= 0) {
    s.e += walk.denominator;
    s.minor += ax.minor_delta;
  }
  const double z = walk.column_walk ? terrain.elevation()(s.minor, s.major) : terrain.elevation()(s.major, s.minor);
  // Only a cell above the best elevation so far can raise the horizon; nodata never is.
  if (z > s.m) {
    const double t = (z - z0) / d;
    if (t > s.T) {
      s.T = t;
      s.m = z;
    }
  }
  return !(d * s.T + z0 > terrain.zmax_all() || d >= max_distance);
}

// Positions a walk can still take inside the current block (and away from the raster
// edge on the minor axis, where the bound test would end the walk).
int32_t moves_left_in_block(int32_t position, int32_t delta, int32_t limit, bool stop_before_limit) {
  constexpr int32_t B = HorizonTerrain::kBlock;
  if (delta > 0) {
    const int32_t block_end = std::min(((position - 1) / B + 1) * B, limit);
    return block_end - position - (stop_before_limit && block_end == limit ? 1 : 0);
  }
  const int32_t block_start = ((position - 1) / B) * B + 1;
  return position - block_start - (stop_before_limit && block_start == limit ? 1 : 0);
}

// Largest number of steps the walk can take without leaving the block of its current
// cell and without any step being refused by a bound test.
int32_t steps_within_block(const HorizonWalk& walk, const WalkAxes& ax, const WalkState& s) {
  const int32_t k_major = moves_left_in_block(s.major, ax.major_delta, ax.major_limit, false);
  const int32_t q = moves_left_in_block(s.minor, ax.minor_delta, ax.minor_limit, true);
  if (q < 0) return 0;
  // The minor position moves w(k) times in k steps; w(k) <= q exactly when
  // k * ratio < q * denominator + e.
  int64_t k_minor;
  if (walk.ratio == 0) {
    k_minor = (s.e > 0 || q >= 1) ? INT_MAX : 0;
  } else {
    const int64_t numerator = static_cast<int64_t>(q) * walk.denominator + s.e - 1;
    k_minor = numerator < 0 ? 0 : numerator / walk.ratio;
  }
  return static_cast<int32_t>(std::min<int64_t>(k_major, k_minor));
}

// Advances k steps at once, with the same positions, error term and distance as k
// single steps.
void jump(const HorizonWalk& walk, const WalkAxes& ax, WalkState& s, int32_t k) {
  s.major += k * ax.major_delta;
  const int64_t x = static_cast<int64_t>(k) * walk.ratio - s.e;
  const int64_t wraps = x < 0 ? 0 : x / walk.denominator + 1;
  s.e = static_cast<int32_t>(s.e - static_cast<int64_t>(k) * walk.ratio + wraps * walk.denominator);
  s.minor += static_cast<int32_t>(wraps) * ax.minor_delta;
  s.steps += k;
}

WalkState start_walk(const HorizonTerrain& terrain, int32_t row, int32_t col, double z0) {
  const HorizonWalk& walk = terrain.walk();
  WalkState s;
  s.major = walk.column_walk ? col : row;
  s.minor = walk.column_walk ? row : col;
  s.e = walk.denominator / 2;
  s.m = z0;
  return s;
}

}  // namespace

namespace {

WalkState walk_stepwise(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  const double z0 = terrain.elevation()(row, col);
  const WalkAxes ax = axes_of(terrain.walk(), terrain.elevation().ncols(), terrain.elevation().nrows());
  WalkState s = start_walk(terrain, row, col, z0);
  while (step_once(terrain, ax, s, z0, max_distance)) {
  }
  return s;
}

}  // namespace

double trace_horizon_stepwise(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  return walk_stepwise(terrain, row, col, max_distance).T;
}

int32_t horizon_walk_length(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  return walk_stepwise(terrain, row, col, max_distance).steps;
}

double trace_horizon(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  const HorizonWalk& walk = terrain.walk();
  const double z0 = terrain.elevation()(row, col);
  const WalkAxes ax = axes_of(walk, terrain.elevation().ncols(), terrain.elevation().nrows());
  WalkState s = start_walk(terrain, row, col, z0);
  for (;;) {
    const int32_t k = steps_within_block(walk, ax, s);
    if (k >= 2) {
      // Skip the stretch when even the block's highest cell at the stretch's nearest
      // distance cannot beat T. Rounding is monotone, so no cell of the stretch at a
      // larger distance could either: the skip changes no result.
      const int32_t r = walk.column_walk ? s.minor : s.major;
      const int32_t c = walk.column_walk ? s.major : s.minor;
      const double highest = terrain.block_maximum(r, c);
      if (highest <= s.m || (highest - z0) / terrain.distance(s.steps + 1) <= s.T) {
        jump(walk, ax, s, k);
        const double d = terrain.distance(s.steps);
        if (d * s.T + z0 > terrain.zmax_all() || d >= max_distance) return s.T;
        continue;
      }
    }
    for (int32_t n = std::max(k, 1); n > 0; --n)
      if (!step_once(terrain, ax, s, z0, max_distance)) return s.T;
  }
}

}  // namespace orograd
