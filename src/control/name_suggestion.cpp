#include "control/name_suggestion.hpp"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

namespace orograd {

namespace {

// Beyond this a suggestion is more likely a different name than a typing mistake.
constexpr std::size_t kMaxSuggestedEdits = 4;

bool same_letter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::size_t edit_distance_ignoring_case(std::string_view a, std::string_view b) {
  // One row of the Wagner-Fischer table: row[j] is the distance between the first i
  // characters of `a` and the first j of `b`.
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t substituted = diagonal + (same_letter(a[i - 1], b[j - 1]) ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({substituted, row[j] + 1, row[j - 1] + 1});
    }
  }
  return row[b.size()];
}

std::string_view closest_name(std::string_view name, std::span<const std::string_view> candidates) {
  std::string_view best;
  std::size_t best_distance = 0;
  for (std::string_view candidate : candidates) {
    const std::size_t distance = edit_distance_ignoring_case(name, candidate);
    if (best.empty() || distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  const std::size_t allowed = std::min(kMaxSuggestedEdits, std::max(name.size(), best.size()) / 3);
  return best_distance <= allowed ? best : std::string_view{};
}

}  // namespace orograd
