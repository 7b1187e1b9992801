// orograd-pour: a pour-point grid for [Einzugsgebiete] from gauges given as points,
// each moved onto the river cell of highest accumulation near it.
// usage: orograd-pour <points> <accumulation grid> <out pour grid> [--snap DIST] [--code FIELD]
#include "base/tool_arguments.hpp"
#include "pour/pour_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  return run_tool(argc, argv, [](const std::vector<std::string>& arguments, Console& console) {
    pour::run_pour(pour::parse_pour_arguments(arguments), console);
  });
}
