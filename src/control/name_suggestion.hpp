#pragma once
// Suggests the known name a mistyped one was probably meant to be.
#include <span>
#include <string_view>

namespace orograd {

// The edit distance (insertions, deletions, substitutions) between `a` and `b`,
// ignoring the case of ASCII letters. Post: 0 exactly when they differ in case only.
std::size_t edit_distance_ignoring_case(std::string_view a, std::string_view b);

// The candidate closest to `name`, the first one on ties, when it is close enough to
// be a likely typing mistake: at most a third of the longer name's length apart, and
// never more than a few edits. Otherwise an empty view.
std::string_view closest_name(std::string_view name, std::span<const std::string_view> candidates);

}  // namespace orograd
