// The seeds and the inputs kept from fuzzing, each through the probe of its fuzz
// target: the sanitizer build turns a return of a fixed fault into a failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "probes/probes.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using Probe = void (*)(const uint8_t*, std::size_t);

void probe_kept_inputs(const std::string& target, Probe probe) {
  for (const char* kind : {"corpus", "regressions"}) {
    const std::filesystem::path folder = std::filesystem::path(OROGRAD_SOURCE_DIR) / "fuzz" / kind / target;
    if (!std::filesystem::exists(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testing::read_file(entry.path().string());
      probe(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  }
}

TEST(FuzzInputs, Preprocessor) { probe_kept_inputs("preprocessor", probes::probe_preprocessor); }
TEST(FuzzInputs, ControlValues) { probe_kept_inputs("control_values", probes::probe_control_values); }
TEST(FuzzInputs, GridReader) { probe_kept_inputs("grid_reader", probes::probe_grid_reader); }
TEST(FuzzInputs, WholeRun) { probe_kept_inputs("whole_run", probes::probe_whole_run); }

}  // namespace
}  // namespace orograd
