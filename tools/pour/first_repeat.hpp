#pragma once
// The first value of a list that occurs twice, for codes and cells that must be unique.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orograd::pour {

// The positions (earlier, later) of the first repeat: `later` is the smallest position
// whose value occurs before it, `earlier` that value's first position.
// Pre: none. Post: empty when all values differ. O(n log n).
std::optional<std::pair<std::size_t, std::size_t>> first_repeat(const std::vector<int64_t>& values);

}  // namespace orograd::pour
