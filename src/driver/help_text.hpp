#pragma once
// The texts of the command line's own requests: the usage printed without a control
// file, the help (--help, -h) and the version (--version).
#include <string>

namespace orograd {

// The usage lines printed after the banner when no control file is named.
// Post: ends with a line end.
std::string usage_text();

// Usage, the output-format switch, every known section in run order with its
// presence and a one-line description, and where the full reference is.
// Post: ends with a line end.
std::string help_text();

// The version, the build (parallel or sequential, with or without GDAL) and the
// compiler. Post: ends with a line end.
std::string version_text();

}  // namespace orograd
