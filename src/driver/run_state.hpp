#pragma once
// The process-wide state of one run, passed by reference to every section function.
#include <cstdint>
#include <optional>
#include <string>

#include "control/control_file.hpp"
#include "base/console.hpp"
#include "flow/flow_paths.hpp"
#include "grid/grid_context.hpp"
#include "grid/shared_grids.hpp"

namespace orograd {

// Settings that more than one section reads or tests.
struct RunSettings {
  int32_t river_threshold = 0;
  double strickler_coefficient = 0;
  double specific_discharge = 0;
  int32_t azimuth_count = 0;
  int32_t elevation_model_switch = 0;
  int32_t slope_switch = 0;
  int32_t aspect_switch = 0;
  int32_t flow_accumulation_switch = 0;
};

struct RunState {
  explicit RunState(Console& console_) : console(console_), grid_context(console_) {}

  Console& console;
  GridContext grid_context;
  SharedGrids grids;
  RunSettings settings;
  // Direction grids whose check had nothing to report, so that sections walking the
  // same directions again skip it.
  CleanPathChecks clean_paths;
  // The preprocessed control file, opened by the driver after preprocessing.
  std::optional<ControlFile> control;

  ControlFile& control_file() { return *control; }
};

}  // namespace orograd
