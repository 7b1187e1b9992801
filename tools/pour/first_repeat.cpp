#include "pour/first_repeat.hpp"

#include <map>

namespace orograd::pour {

std::optional<std::pair<std::size_t, std::size_t>> first_repeat(const std::vector<int64_t>& values) {
  std::map<int64_t, std::size_t> first_position;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto [place, inserted] = first_position.emplace(values[i], i);
    if (!inserted) return std::pair{place->second, i};
  }
  return std::nullopt;
}

}  // namespace orograd::pour
