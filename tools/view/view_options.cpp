#include "view/view_options.hpp"

#include <charconv>

#include "base/tool_arguments.hpp"

namespace orograd::view {

namespace {

[[noreturn]] void refuse(const std::string& reason) { refuse_arguments("orograd-view", reason, kViewUsage); }

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
  const ToolArguments split = split_tool_arguments(arguments, "orograd-view", kViewUsage);
  for (const auto& [argument, value] : split.options) {
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
  const std::vector<std::string>& files = split.files;
  if (files.size() != 2) refuse("expected a grid and a picture file name");
  options.grid = files[0];
  options.picture = files[1];
  return options;
}

}  // namespace orograd::view
