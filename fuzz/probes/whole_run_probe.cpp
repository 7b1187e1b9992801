// Probe of a whole run on tiny grids.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/console.hpp"
#include "base/fatal.hpp"
#include "control/Steuer.hpp"
#include "driver/run_sequence.hpp"
#include "probes/probes.hpp"
#include "probes/scratch_folder.hpp"

namespace orograd::probes {

namespace {

// A valley draining south, with one pour point on its outlet and one upstream.
constexpr char kDem[] =
    "ncols 5\nnrows 5\nxllcorner 0\nyllcorner 0\ncellsize 25\nnodata_value -9999\n"
    "9 8 7 8 9\n8 7 6 7 8\n7 6 5 6 7\n6 5 4 5 6\n5 4 3 4 5\n";
constexpr char kPourPoints[] =
    "ncols 5\nnrows 5\nxllcorner 0\nyllcorner 0\ncellsize 25\nnodata_value -9999\n"
    "-9999 -9999 -9999 -9999 -9999\n-9999 -9999 2 -9999 -9999\n-9999 -9999 -9999 -9999 -9999\n"
    "-9999 -9999 -9999 -9999 -9999\n-9999 -9999 1 -9999 -9999\n";

std::string read_text(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether the preprocessed control file names nothing outside the working folder.
bool names_only_local_files(const std::string& preprocessed) {
  return preprocessed.find_first_of("/\\") == std::string::npos;
}

// Runs the program on run.ctl inside `folder` and returns to the folder it ran in.
void run_in(const std::filesystem::path& folder) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  Console console = Console::capturing();
  run_program({"run.ctl"}, console);
  std::filesystem::current_path(previous);
}

}  // namespace

void probe_whole_run(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = empty_scratch_folder();
  write_scratch_file("dem.asc", kDem);
  write_scratch_file("pour.asc", kPourPoints);
  const std::string control = write_scratch_file("run.ctl", {reinterpret_cast<const char*>(data), size});
  Console console = Console::capturing();
  try {
    if (!names_only_local_files(read_text(preprocess_control_file(control, console)))) return;
  } catch (const FatalError&) {
    return;  // the run would stop at the same place; the preprocessor probe covers it
  }
  run_in(folder);
}

}  // namespace orograd::probes
