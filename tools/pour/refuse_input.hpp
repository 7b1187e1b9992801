#pragma once
// How orograd-pour stops on input it cannot use.
#include <string>

#include "base/fatal.hpp"

namespace orograd::pour {

// Fatal: `code` (1 unless given) with "orograd-pour: <message>".
[[noreturn]] inline void refuse_input(const std::string& message, int code = 1) {
  fatal(code, "orograd-pour: " + message + "\n");
}

}  // namespace orograd::pour
