// orograd-view: draws any grid the program reads as a PNG picture.
// usage: orograd-view <grid> <out.png> [--kind ...] [--overlay [rivers:|basins:]<grid>]... [--size N]
#include <string>
#include <vector>

#include "base/fatal.hpp"
#include "view/view_run.hpp"

int main(int argc, char** argv) {
  using namespace orograd;
  Console console;
  int code = 0;
  try {
    view::run_view(view::parse_view_arguments(std::vector<std::string>(argv + 1, argv + argc)), console);
  } catch (const FatalError& error) {
    console.write(error.what());
    code = error.code();
  }
  console.flush();
  return code;
}
