#pragma once
// The subbasin codes of gauges, as the pour-point grid of [Einzugsgebiete] takes them.
#include <cstdint>
#include <optional>
#include <string>

namespace orograd::pour {

// The largest subbasin code the subbasin section accepts.
inline constexpr int32_t kLargestCode = 500000;

// The code a field's text gives: a number that is whole and from 1 to kLargestCode
// ("7", "7.0" and "7e0" all give 7).
// Pre: none.
// Post: empty for any other text (empty, not a number, fractional, out of range).
std::optional<int32_t> pour_code(const std::string& text);

}  // namespace orograd::pour
