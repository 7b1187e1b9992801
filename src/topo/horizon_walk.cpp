#include "topo/horizon_walk.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/angles.hpp"

namespace orograd {

namespace {

// The minor-axis advance per major step in 1/denominator. The quotient stays below the
// denominator for every real direction on a raster with cells; an empty raster (0 / 0
// where the sine vanishes) or a non-finite azimuth make it NaN, which walks straight.
int32_t minor_ratio(double quotient) {
  const double ratio = std::trunc(std::fabs(quotient));
  return ratio <= INT32_MAX ? static_cast<int32_t>(ratio) : 0;
}

}  // namespace

HorizonWalk make_horizon_walk(double a, int32_t ncols, int32_t nrows, double cellsize) {
  HorizonWalk walk;
  const double cs = std::cos(a);
  const double sn = std::sin(a);
  // Quadrant of the azimuth, bounded by multiples of the program's ten-decimal pi.
  if (a <= kHalfPi) {
    walk.column_sign = 1, walk.north_sign = 1;
  } else if (a <= kPi) {
    walk.column_sign = 1, walk.north_sign = -1;
  } else if (a <= 3 * kHalfPi) {
    walk.column_sign = -1, walk.north_sign = -1;
  } else {
    walk.column_sign = -1, walk.north_sign = 1;
  }
  if (std::fabs(cs) <= 0.707106781) {
    walk.column_walk = true;
    walk.ratio = minor_ratio(ncols * cs / sn);
    walk.denominator = ncols;
    walk.distance_step = cellsize / std::sqrt(1 - cs * cs);
  } else {
    walk.column_walk = false;
    walk.ratio = minor_ratio(nrows * sn / cs);
    walk.denominator = nrows;
    walk.distance_step = cellsize / std::fabs(cs);
  }
  return walk;
}

HorizonTerrain::HorizonTerrain(const Grid& elevation, double zmax_all)
    : elevation_(elevation), zmax_all_(zmax_all), reach_(elevation) {}

void HorizonTerrain::set_walk(const HorizonWalk& walk) {
  walk_ = walk;
  // d grows by repeated addition in every walk, so the distance after n steps is the
  // same for all cells; the table keeps it bit-identical to adding step by step.
  const int32_t longest = std::max(elevation_.ncols(), elevation_.nrows());
  distances_.resize(static_cast<std::size_t>(longest) + 1);
  double d = 0;
  distances_[0] = 0;
  for (int32_t n = 1; n <= longest; ++n) distances_[n] = d = d + walk.distance_step;
  moves_.resize(distances_.size());
  Moves at{0, 0, walk.denominator / 2};
  moves_[0] = at;
  const int32_t row_delta = -walk.north_sign, col_delta = walk.column_sign;
  for (int32_t n = 1; n <= longest; ++n) {
    const bool minor_move = (at.e -= walk.ratio) <= 0;
    if (minor_move) at.e += walk.denominator;
    at.row += walk.column_walk ? (minor_move ? row_delta : 0) : row_delta;
    at.col += walk.column_walk ? col_delta : (minor_move ? col_delta : 0);
    moves_[n] = at;
  }
  reach_.build(walk);
}

int32_t HorizonTerrain::steps_to_reach(double max_distance) const {
  const auto first = std::lower_bound(distances_.begin() + 1, distances_.end(), max_distance);
  return first == distances_.end() ? static_cast<int32_t>(distances_.size()) - 1
                                   : static_cast<int32_t>(first - distances_.begin());
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

WalkState start_walk(const HorizonTerrain& terrain, int32_t row, int32_t col, double z0) {
  const HorizonWalk& walk = terrain.walk();
  WalkState s;
  s.major = walk.column_walk ? col : row;
  s.minor = walk.column_walk ? row : col;
  s.e = walk.denominator / 2;
  s.m = z0;
  return s;
}

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

namespace {

// Steps a walk may take before a bound test refuses one: the major position must still
// be able to move, and so must the minor position, tested before every step.
int32_t steps_within_bounds(const HorizonWalk& walk, const WalkAxes& ax, const WalkState& s) {
  const int32_t major_room = ax.major_delta > 0 ? ax.major_limit - s.major : s.major - ax.major_limit;
  const int32_t q = ax.minor_delta > 0 ? ax.minor_limit - s.minor : s.minor - ax.minor_limit;
  if (q <= 0) return 0;
  // Step n is refused once the minor position has reached its limit, i.e. after q moves;
  // w(k) <= q - 1 exactly when k * ratio < (q - 1) * denominator + e.
  int64_t minor_room;
  if (walk.ratio == 0) {
    minor_room = (s.e > 0 || q >= 2) ? INT_MAX : 1;
  } else {
    const int64_t numerator = static_cast<int64_t>(q - 1) * walk.denominator + s.e - 1;
    minor_room = (numerator < 0 ? 0 : numerator / walk.ratio) + 1;
  }
  return static_cast<int32_t>(std::min<int64_t>(major_room, minor_room));
}

constexpr int32_t kReachTest = 4;

struct WalkResult {
  double T;
  int32_t steps;
};

// The walk from state `s` after s.steps steps on, up to `steps` steps in all, with its
// bounds and distance limit turned into that step count up front, so the loop holds
// only the step, the comparison and the horizon-line cut-offs.
template <bool ColumnWalk>
WalkResult continue_walk(const HorizonTerrain& terrain, const WalkAxes& ax, WalkState s, double z0, int32_t steps) {
  const HorizonWalk& walk = terrain.walk();
  const Grid& elevation = terrain.elevation();
  const double zmax_all = terrain.zmax_all();
  const int32_t ratio = walk.ratio, denominator = walk.denominator;
  int32_t major = s.major, minor = s.minor, e = s.e;
  double T = s.T, m = s.m;
  int32_t n = s.steps + 1;
  for (; n <= steps; ++n) {
    major += ax.major_delta;
    e -= ratio;
    // The distance table holds the sums of every walk, so no addition chains the steps.
    const double d = terrain.distance(n);
    if (e <= 0) {
      e += denominator;
      minor += ax.minor_delta;
    }
    const double z = ColumnWalk ? elevation(minor, major) : elevation(major, minor);
    // Only a cell above the best elevation so far can raise the horizon; nodata never is.
    if (z > m) {
      const double t = (z - z0) / d;
      if (t > T) {
        T = t;
        m = z;
      }
    }
    // Past this line no cell of the raster can rise above the horizon.
    if (d * T + z0 > zmax_all) break;
    // Nor can any cell ahead, when even their upper bound at the next distance gives no
    // larger tangent: z - z0 grows with z, and the quotient shrinks as the distance
    // grows. Tested every kReachTest steps, where the division pays for the steps saved.
    if (n % kReachTest == 0) {
      const double ahead = ColumnWalk ? terrain.reach(minor, major) : terrain.reach(major, minor);
      if ((ahead - z0) / (d + walk.distance_step) <= T) break;
    }
  }
  return {T, std::min(n, steps)};
}

// The number of steps the walk from state `s` may take, `reach_steps` being those
// after which it reaches the distance limit.
int32_t walk_steps(const HorizonTerrain& terrain, const WalkAxes& ax, const WalkState& s, int32_t reach_steps) {
  return std::min(steps_within_bounds(terrain.walk(), ax, s), reach_steps);
}

template <bool ColumnWalk>
WalkResult trace_counted(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  const Grid& elevation = terrain.elevation();
  const double z0 = elevation(row, col);
  const WalkAxes ax = axes_of(terrain.walk(), elevation.ncols(), elevation.nrows());
  const WalkState s = start_walk(terrain, row, col, z0);
  return continue_walk<ColumnWalk>(terrain, ax, s, z0,
                                   walk_steps(terrain, ax, s, terrain.steps_to_reach(max_distance)));
}

constexpr int32_t kLanes = 8;
constexpr int32_t kSpan = ReachMaxima::kSpan, kLongSpan = ReachMaxima::kLongSpan;

// A rise a with a <= below_horizon_line(T, d) gives (a / d) <= T after rounding, so the
// division can be left out. The product is scaled down by 2^-50, far more than its two
// roundings can add, and lowered by a margin far above the absolute rounding error of
// subnormal products. Rounding keeps the order, so it also holds for any distance
// beyond d.
inline double below_horizon_line(double T, double d) {
  constexpr double kShrink = 1 - 0x1p-50, kMargin = 0x1p-1060;
  return T * d * kShrink - kMargin;
}

// Whether a cell no higher than highest[k] may raise the tangent T[k] of some lane k
// at the distance `nearest` or beyond.
inline bool may_rise(const float* highest, const double* z0, const double* T, double nearest) {
  int32_t rise = 0;  // integer flags and no short cuts, so that the tests vectorize
#pragma omp simd reduction(| : rise)
  for (int32_t k = 0; k < kLanes; ++k) rise |= highest[k] - z0[k] > below_horizon_line(T[k], nearest);
  return rise != 0;
}

// The quotients of steps taken + 1 .. taken + count of every lane, side by side in
// vector registers, without a branch per step.
inline void take_quotients(const HorizonTerrain& terrain, int32_t row, int32_t col, int32_t taken, int32_t count,
                           const double* z0, double* T) {
  for (int32_t n = taken + 1; n <= taken + count; ++n) {
    const HorizonTerrain::Moves& at = terrain.moves(n);
    const double* cells = terrain.elevation().row(row + at.row) + (col + at.col - 1);
    const double d = terrain.distance(n);
#pragma omp simd
    for (int32_t k = 0; k < kLanes; ++k) {
      const double t = (cells[k] - z0[k]) / d;
      T[k] = t > T[k] ? t : T[k];
    }
  }
}

// The walks of the kLanes cells (row, col) ... (row, col + kLanes - 1) side by side.
// Every walk of a direction makes the same moves, since its error term starts at the
// same value, so after n steps the lanes sit on kLanes neighbouring cells of one row,
// whose span bounds are contiguous too. Every lane takes every step up to the shortest
// lane's step count, which needs no test of the best elevation so far: a cell no higher
// than it gives no larger quotient. The lanes pass kLongSpan steps at once where the
// long span shows that none of them can rise, and otherwise take kSpan steps, with
// their quotients only where the span shows that some lane may. The exact cut-offs of
// each lane are tested together after each pass, and the lanes that are still going
// and may take more steps go on alone.
void trace_lanes(const HorizonTerrain& terrain, int32_t row, int32_t col, int32_t reach_steps, double* tangents) {
  const HorizonWalk& walk = terrain.walk();
  const Grid& elevation = terrain.elevation();
  const WalkAxes ax = axes_of(walk, elevation.ncols(), elevation.nrows());
  const double zmax_all = terrain.zmax_all();
  const double* const z0 = elevation.row(row) + (col - 1);
  double T[kLanes] = {};
  const auto lane_steps = [&](int32_t k) {
    return walk_steps(terrain, ax, start_walk(terrain, row, col + k, z0[k]), reach_steps);
  };
  // The lanes share their row, so one of the two room counts is the same for all of
  // them and the other grows or shrinks with the column: the fewest steps are those of
  // the first or the last lane.
  const int32_t shared_steps = std::min(lane_steps(0), lane_steps(kLanes - 1));
  int32_t taken = 0;  // steps taken by every lane
  bool ended = false;
  while (taken < shared_steps && !ended) {
    const HorizonTerrain::Moves& from = terrain.moves(taken);
    const double nearest = terrain.distance(taken + 1);
    if (shared_steps - taken >= kLongSpan &&
        !may_rise(terrain.long_span_from(row + from.row, col + from.col), z0, T, nearest)) {
      taken += kLongSpan;
    } else {
      const int32_t count = std::min(kSpan, shared_steps - taken);
      if (may_rise(terrain.span_from(row + from.row, col + from.col), z0, T, nearest))
        take_quotients(terrain, row, col, taken, count, z0, T);
      taken += count;
    }
    const HorizonTerrain::Moves& at = terrain.moves(taken);
    const double d = terrain.distance(taken), next = d + walk.distance_step;
    const float* ahead = terrain.reach_from(row + at.row, col + at.col);
    int32_t all_ended = 1;
#pragma omp simd reduction(& : all_ended)
    for (int32_t k = 0; k < kLanes; ++k)
      all_ended &= (d * T[k] + z0[k] > zmax_all) | (ahead[k] - z0[k] <= below_horizon_line(T[k], next));
    ended = all_ended != 0;
  }
  const HorizonTerrain::Moves& at = terrain.moves(shared_steps);
  for (int32_t k = 0; k < kLanes; ++k) {
    const int32_t steps = ended ? shared_steps : lane_steps(k);
    if (steps == shared_steps) {
      tangents[k] = T[k];
      continue;
    }
    // No best elevation is known, so every later cell is compared; the first that
    // raises the tangent becomes it.
    WalkState s = start_walk(terrain, row + at.row, col + k + at.col, z0[k]);
    s.e = at.e;
    s.steps = shared_steps;
    s.T = T[k];
    s.m = -HUGE_VAL;
    tangents[k] = walk.column_walk ? continue_walk<true>(terrain, ax, s, z0[k], steps).T
                                   : continue_walk<false>(terrain, ax, s, z0[k], steps).T;
  }
}

// The row walk is compiled once more for processors with AVX2, chosen when the program
// starts, with everything it calls inlined: its lane loops then take four lanes per
// instruction. Each lane's operations are the same IEEE operations in either version,
// so both give the same bits.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ROW_WALK_TARGETS __attribute__((target_clones("avx2", "default"), flatten))
#else
#define ROW_WALK_TARGETS
#endif

WalkResult trace(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  return terrain.walk().column_walk ? trace_counted<true>(terrain, row, col, max_distance)
                                    : trace_counted<false>(terrain, row, col, max_distance);
}

}  // namespace

double trace_horizon(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  return trace(terrain, row, col, max_distance).T;
}

ROW_WALK_TARGETS void trace_horizon_row(const HorizonTerrain& terrain, int32_t row, int32_t first_col,
                                        int32_t last_col, double max_distance, double* tangents) {
  // The distance limit is the same for every walk: its step count is looked up once.
  const int32_t reach_steps = terrain.steps_to_reach(max_distance);
  int32_t col = first_col;
  for (; col + kLanes - 1 <= last_col; col += kLanes) trace_lanes(terrain, row, col, reach_steps, tangents + (col - 1));
  for (; col <= last_col; ++col) tangents[col - 1] = trace(terrain, row, col, max_distance).T;
}

int32_t horizon_walk_length(const HorizonTerrain& terrain, int32_t row, int32_t col, double max_distance) {
  return trace(terrain, row, col, max_distance).steps;
}

}  // namespace orograd
