#include "view/view_kind.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

namespace orograd::view {

namespace {

constexpr std::array<const char*, 6> kNames{"dem", "accumulation", "network", "subbasins", "classes", "values"};
constexpr std::size_t kMaxCodes = 256;

// What guess_kind judges by, gathered in one pass over the grid.
struct ValueSurvey {
  int64_t valid = 0;
  int64_t ones = 0;
  bool fractional = false;
  double low = 0, high = 0;
  std::unordered_set<double> distinct;  // stops growing past kMaxCodes + 1 values
  int64_t pairs = 0;                    // neighbouring valid cells, east and south
  int64_t differing_pairs = 0;
  double difference_sum = 0;  // of the absolute differences within pairs

  void add(double value) {
    low = valid == 0 ? value : std::min(low, value);
    high = valid == 0 ? value : std::max(high, value);
    ++valid;
    ones += value == 1;
    fractional = fractional || value != std::floor(value);
    if (distinct.size() <= kMaxCodes) distinct.insert(value);
  }
  void add_pair(double a, double b) {
    if (a == kNodata || b == kNodata) return;
    ++pairs;
    differing_pairs += a != b;
    difference_sum += std::fabs(a - b);
  }
};

ValueSurvey survey(const Grid& grid) {
  ValueSurvey s;
  for (int32_t r = 1; r <= grid.nrows(); ++r) {
    const double* row = grid.row(r);
    const double* below = r < grid.nrows() ? grid.row(r + 1) : nullptr;
    for (int32_t c = 0; c < grid.ncols(); ++c) {
      if (row[c] == kNodata) continue;
      s.add(row[c]);
      if (c + 1 < grid.ncols()) s.add_pair(row[c], row[c + 1]);
      if (below) s.add_pair(row[c], below[c]);
    }
  }
  return s;
}

}  // namespace

std::optional<Kind> parse_kind(std::string_view name) {
  for (std::size_t k = 0; k < kNames.size(); ++k)
    if (name == kNames[k]) return static_cast<Kind>(k);
  return std::nullopt;
}

const char* kind_name(Kind kind) { return kNames[static_cast<std::size_t>(kind)]; }

bool is_categorical(Kind kind) { return kind == Kind::subbasins || kind == Kind::classes; }

Kind guess_kind(const Grid& grid) {
  const ValueSurvey s = survey(grid);
  if (s.valid == 0) return Kind::values;
  if (s.fractional) return Kind::dem;
  if (s.low >= 0 && s.high <= 1) return Kind::network;
  if (s.low >= 0 && s.high >= 1000 && s.ones * 10 >= s.valid) return Kind::accumulation;
  if (s.distinct.size() > kMaxCodes) return Kind::dem;
  if (s.differing_pairs * 10 < s.pairs) return Kind::subbasins;
  const bool smooth = s.difference_sum <= 0.1 * (s.high - s.low) * static_cast<double>(s.pairs);
  const bool covering = 2 * s.valid >= static_cast<int64_t>(grid.ncols()) * grid.nrows();
  return smooth && covering ? Kind::dem : Kind::classes;
}

}  // namespace orograd::view
