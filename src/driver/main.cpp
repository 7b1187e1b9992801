#include <string>
#include <vector>

#include "driver/run_sequence.hpp"

int main(int argc, char** argv) {
  orograd::Console console;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const int code = orograd::run_program(arguments, console);
  console.flush();
  return code;
}
