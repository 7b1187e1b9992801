#include "driver/run_sequence.hpp"

#include <cstring>
#include <new>

#include "base/fatal.hpp"
#include "basins/subbasin_section.hpp"
#include "basins/travel_time_section.hpp"
#include "control/Steuer.hpp"
#include "control/section_check.hpp"
#include "driver/help_text.hpp"
#include "driver/release_steps.hpp"
#include "driver/run_state.hpp"
#include "flow/flow_accumulation_section.hpp"
#include "flow/flow_correction_section.hpp"
#include "flow/flow_direction_section.hpp"
#include "rivers/river_network_section.hpp"
#include "rivers/river_separation_section.hpp"
#include "rivers/stream_order_section.hpp"
#include "snow/snow_redistribution_section.hpp"
#include "topo/local_topography_section.hpp"

namespace orograd {

namespace {

// Answers --help, -h and --version alone, without the banner, so that their output
// is just the text asked for. Returns whether the argument was such a request.
bool answer_request(const std::string& argument, Console& console) {
  if (argument == "--help" || argument == "-h")
    console.write(help_text());
  else if (argument == "--version")
    console.write(version_text());
  else
    return false;
  return true;
}

// The fixed order of the analyses; each one decides from its own section whether it
// does anything.
void run_analyses(RunState& run) {
  run_local_topography(run);
  run_flow_directions(run);
  run_snow_redistribution(run);
  run_flow_accumulation(run);
  release_after_accumulation(run);
  run_river_network(run);
  run_stream_orders(run);
  run_flow_correction(run);
  release_after_correction(run);
  run_river_separation(run);
  run_travel_times(run);
  release_after_travel_times(run);
  run_subbasins(run);
  release_at_end(run);
}

}  // namespace

OutputFormat output_format_from_switch(const char* argument) {
  if (argument == nullptr || std::strlen(argument) < 3 || std::strstr(argument, "-f:") == nullptr)
    return OutputFormat::text;
  const char* after_colon = std::strchr(argument, ':') + 1;
  if (*after_colon == 's') return OutputFormat::single;
  if (*after_colon == 'd') return OutputFormat::double_;
  return OutputFormat::text;
}

int run_program(const std::vector<std::string>& arguments, Console& console) {
  if (!arguments.empty() && answer_request(arguments[0], console)) return 0;
  console.write("Topographic Analysis of digital elevation Data\n");
  if (arguments.empty()) {
    console.write(usage_text());
    return 1;
  }
  try {
    RunState run(console);
    run.grid_context.output_format =
        output_format_from_switch(arguments.size() > 1 ? arguments[1].c_str() : nullptr);
    const std::string preprocessed = preprocess_control_file(arguments[0], console);
    run.control.emplace(ControlFile::open(preprocessed, console));
    check_sections(*run.control, console);
    run_analyses(run);
    return 0;
  } catch (const FatalError& error) {
    console.write(error.what());
    if (!error.reason().empty()) console.warn("%s", error.reason().c_str());
    return error.code();
  } catch (const std::bad_alloc&) {
    // Work memory other than grids (stacks, lists, buffers) ran out.
    console.write("memory allocation error ! (1)\n");
    return 1;
  }
}

}  // namespace orograd
