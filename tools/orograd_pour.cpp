// orograd-pour: a pour-point grid for [Einzugsgebiete] from gauges given as points,
// each moved onto the river cell of highest accumulation near it.
// usage: orograd-pour <points> <accumulation grid> <out pour grid> [--snap DIST] [--code FIELD]
#include <string>
#include <vector>

#include "base/fatal.hpp"
#include "pour/pour_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  Console console;
  int code = 0;
  try {
    pour::run_pour(pour::parse_pour_arguments(std::vector<std::string>(argv + 1, argv + argc)), console);
  } catch (const FatalError& error) {
    console.write(error.what());
    if (!error.reason().empty()) console.warn("%s", error.reason().c_str());
    code = error.code();
  }
  console.flush();
  return code;
}
