#include "pour/pour_code.hpp"

#include <charconv>
#include <cmath>

namespace orograd::pour {

std::optional<int32_t> pour_code(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!(value >= 1 && value <= kLargestCode) || value != std::floor(value)) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace orograd::pour
