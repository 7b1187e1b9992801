#pragma once
// The command line and the fixed sequence of analyses of one run.
#include <string>
#include <vector>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The output format chosen by the optional second argument ("-f:t|s|d").
OutputFormat output_format_from_switch(const char* argument);

// Runs the program on its arguments (without the program name) and returns the exit
// code; a fatal error's message is printed to the console first.
int run_program(const std::vector<std::string>& arguments, Console& console);

}  // namespace orograd
