// orograd-view: draws any grid the program reads as a PNG picture.
// usage: orograd-view <grid> <out.png> [--kind ...] [--overlay [rivers:|basins:]<grid>]... [--size N]
#include "base/tool_arguments.hpp"
#include "view/view_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  return run_tool(argc, argv, [](const std::vector<std::string>& arguments, Console& console) {
    view::run_view(view::parse_view_arguments(arguments), console);
  });
}
