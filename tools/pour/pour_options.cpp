#include "pour/pour_options.hpp"

#include <charconv>
#include <cmath>

#include "base/tool_arguments.hpp"

namespace orograd::pour {

namespace {

[[noreturn]] void refuse(const std::string& reason) { refuse_arguments("orograd-pour", reason, kPourUsage); }

double parse_distance(const std::string& text) {
  double distance = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), distance);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(distance) ||
      distance < 0)
    refuse("--snap needs a distance of 0 or more in map units, not '" + text + "'");
  return distance;
}

}  // namespace

PourOptions parse_pour_arguments(const std::vector<std::string>& arguments) {
  PourOptions options;
  const ToolArguments split = split_tool_arguments(arguments, "orograd-pour", kPourUsage);
  for (const auto& [argument, value] : split.options) {
    if (argument == "--snap")
      options.snap = parse_distance(value);
    else if (argument != "--code")
      refuse("unknown option " + argument);
    else if (value.empty())
      refuse("--code needs a field name");
    else
      options.code_field = value;
  }
  const std::vector<std::string>& files = split.files;
  if (files.size() != 3) refuse("expected a points file, an accumulation grid and an output grid");
  options.points = files[0];
  options.accumulation = files[1];
  options.pour_grid = files[2];
  return options;
}

}  // namespace orograd::pour
