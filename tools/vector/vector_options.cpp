#include "vector/vector_options.hpp"

#include "base/fatal.hpp"

namespace orograd::vector {

namespace {

[[noreturn]] void refuse(const std::string& reason) { fatal(1, "orograd-vector: " + reason + "\n" + kVectorUsage); }

}  // namespace

VectorOptions parse_vector_arguments(const std::vector<std::string>& arguments) {
  VectorOptions options;
  if (arguments.empty()) refuse("expected a subcommand, basins or rivers");
  if (arguments[0] == "rivers") options.command = Command::rivers;
  else if (arguments[0] != "basins") refuse("unknown subcommand '" + arguments[0] + "'");
  const bool rivers = options.command == Command::rivers;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!argument.starts_with("--")) {
      files.push_back(argument);
    } else if (argument != "--orders" || !rivers) {
      refuse("unknown option " + argument + (rivers ? "" : " (basins takes none)"));
    } else if (i + 1 == arguments.size()) {
      refuse("--orders needs an order grid");
    } else {
      options.orders = arguments[++i];
    }
  }
  if (files.size() != (rivers ? 3U : 2U))
    refuse(rivers ? "expected a link grid, a direction grid and an output" : "expected a subbasin grid and an output");
  options.codes = files[0];
  if (rivers) options.directions = files[1];
  options.output = files.back();
  const std::optional<VectorFormat> format = vector_format(options.output);
  if (!format) refuse("the output " + options.output + " has none of the endings .gpkg, .shp, .geojson, .json");
  options.format = *format;
  return options;
}

}  // namespace orograd::vector
