#pragma once
// Helpers of the picture tests: PNG files read back with libpng, and runs of the
// orograd-view binary.
#include <string>
#include <vector>

#include "grid/grid.hpp"
#include "support/test_support.hpp"
#include "view/image.hpp"

namespace orograd::testing {

// The PNG file as 8-bit RGBA pixels; throws when libpng cannot read it.
view::Image read_png(const std::string& path);

// Runs orograd-view with these arguments in `working_dir`.
RunResult run_view_binary(const std::string& working_dir, const std::vector<std::string>& arguments);

}  // namespace orograd::testing
