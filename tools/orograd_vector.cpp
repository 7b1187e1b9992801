// orograd-vector: subbasins as polygons and river links as lines, in a GeoPackage, a
// Shapefile or a GeoJSON file.
// usage: orograd-vector basins <subbasin grid> <out>
//        orograd-vector rivers <link grid> <direction grid> [--orders <order grid>] <out>
#include "base/tool_arguments.hpp"
#include "vector/vector_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  return run_tool(argc, argv, [](const std::vector<std::string>& arguments, Console& console) {
    vector::run_vector(vector::parse_vector_arguments(arguments), console);
  });
}
