// orograd-vector: subbasins as polygons and river links as lines, in a GeoPackage, a
// Shapefile or a GeoJSON file.
// usage: orograd-vector basins <subbasin grid> <out>
//        orograd-vector rivers <link grid> <direction grid> [--orders <order grid>] <out>
#include <string>
#include <vector>

#include "base/fatal.hpp"
#include "vector/vector_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  Console console;
  int code = 0;
  try {
    vector::run_vector(vector::parse_vector_arguments(std::vector<std::string>(argv + 1, argv + argc)), console);
  } catch (const FatalError& error) {
    console.write(error.what());
    if (!error.reason().empty()) console.warn("%s", error.reason().c_str());
    code = error.code();
  }
  console.flush();
  return code;
}
