#pragma once
// The command lines of the companion tools (orograd-view, orograd-pour): file names
// and "--name value" options in any order.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/console.hpp"

namespace orograd {

struct ToolArguments {
  std::vector<std::string> files;                            // in the order given
  std::vector<std::pair<std::string, std::string>> options;  // name (with "--") and value, in the order given
};

// Stops a tool on a bad command line.
// Fatal: 1 with "<program>: <reason>" and the usage text.
[[noreturn]] void refuse_arguments(const char* program, const std::string& reason, const char* usage);

// Splits the arguments after the program name: each argument starting with "--" takes
// the next one as its value; every other argument is a file name.
// Pre: none. Post: the options' names are not checked; the caller refuses unknown ones.
// Fatal: as refuse_arguments when the last argument is an option without its value.
ToolArguments split_tool_arguments(const std::vector<std::string>& arguments, const char* program, const char* usage);

// The whole of a companion tool's main: calls `run` with the arguments after the
// program name; a fatal error prints its message on the console and its reason, if
// any, on standard error.
// Post: the console is flushed. Returns the exit code: 0, or the fatal error's code.
int run_tool(int argc, char** argv, const std::function<void(const std::vector<std::string>&, Console&)>& run);

}  // namespace orograd
