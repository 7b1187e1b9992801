#include "base/tool_arguments.hpp"

#include "base/fatal.hpp"

namespace orograd {

void refuse_arguments(const char* program, const std::string& reason, const char* usage) {
  fatal(1, std::string(program) + ": " + reason + "\n" + usage);
}

ToolArguments split_tool_arguments(const std::vector<std::string>& arguments, const char* program, const char* usage) {
  ToolArguments split;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!argument.starts_with("--")) {
      split.files.push_back(argument);
      continue;
    }
    if (i + 1 == arguments.size()) refuse_arguments(program, argument + " needs a value", usage);
    split.options.emplace_back(argument, arguments[++i]);
  }
  return split;
}

int run_tool(int argc, char** argv, const std::function<void(const std::vector<std::string>&, Console&)>& run) {
  Console console;
  int code = 0;
  try {
    run(std::vector<std::string>(argv + 1, argv + argc), console);
  } catch (const FatalError& error) {
    console.write(error.what());
    if (!error.reason().empty()) console.warn("%s", error.reason().c_str());
    code = error.code();
  }
  console.flush();
  return code;
}

}  // namespace orograd
