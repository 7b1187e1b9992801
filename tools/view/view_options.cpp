#include "view/view_options.hpp"

#include <charconv>

#include "base/fatal.hpp"

namespace orograd::view {

namespace {

[[noreturn]] void refuse(const std::string& reason) { fatal(1, "orograd-view: " + reason + "\n" + kViewUsage); }

int32_t parse_size(const std::string& text) {
  int32_t size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (error != std::errc() || end != text.data() + text.size() || size < 16 || size > 100000)
    refuse("--size needs a whole number from 16 to 100000, not '" + text + "'");
  return size;
}

}  // namespace

ViewOptions parse_view_arguments(const std::vector<std::string>& arguments) {
  ViewOptions options;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!argument.starts_with("--")) {
      files.push_back(argument);
      continue;
    }
    if (i + 1 == arguments.size()) refuse(argument + " needs a value");
    const std::string& value = arguments[++i];
    if (argument == "--kind") {
      options.kind = parse_kind(value);
      if (!options.kind) refuse("unknown kind '" + value + "'");
    } else if (argument == "--overlay") {
      options.overlays.push_back(parse_overlay(value));
    } else if (argument == "--size") {
      options.size = parse_size(value);
    } else {
      refuse("unknown option " + argument);
    }
  }
  if (files.size() != 2) refuse("expected a grid and a picture file name");
  options.grid = files[0];
  options.picture = files[1];
  return options;
}

}  // namespace orograd::view
