#pragma once
// The command line of orograd-pour.
#include <optional>
#include <string>
#include <vector>

namespace orograd::pour {

inline constexpr const char* kPourUsage =
    "usage: orograd-pour <points> <accumulation grid> <out pour grid> [--snap DIST] [--code FIELD]\n";

struct PourOptions {
  std::string points;
  std::string accumulation;
  std::string pour_grid;
  std::optional<double> snap;  // map units; empty: two cell sizes of the accumulation grid
  std::string code_field = "code";
};

// Reads the arguments after the program name; options may come before, between or
// after the three file names.
// Fatal: 1 with the usage text when a file name is missing or extra, an option is
// unknown or lacks its value, or the snap distance is not a finite number >= 0.
PourOptions parse_pour_arguments(const std::vector<std::string>& arguments);

}  // namespace orograd::pour
