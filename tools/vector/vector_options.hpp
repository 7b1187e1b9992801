#pragma once
// The command line of orograd-vector.
#include <optional>
#include <string>

#include "vector/vector_file.hpp"

namespace orograd::vector {

inline constexpr const char* kVectorUsage =
    "usage: orograd-vector basins <subbasin grid> <out>\n"
    "       orograd-vector rivers <link grid> <direction grid> [--orders <order grid>] <out>\n"
    "       <out> ends in .gpkg (GeoPackage), .shp (Shapefile) or .geojson/.json (GeoJSON)\n";

enum class Command { basins, rivers };

struct VectorOptions {
  Command command = Command::basins;
  std::string codes;       // the subbasin or link grid
  std::string directions;  // rivers only
  std::optional<std::string> orders;
  std::string output;
  VectorFormat format = VectorFormat::geopackage;  // as the output's name asks
};

// Reads the arguments after the program name: the subcommand first, then its file
// names, with --orders (rivers only) before, between or after them.
// Fatal: 1 with the usage text for a missing or unknown subcommand, a file name
// missing or extra, an unknown option or one without its value, and an output whose
// name has no known ending.
VectorOptions parse_vector_arguments(const std::vector<std::string>& arguments);

}  // namespace orograd::vector
