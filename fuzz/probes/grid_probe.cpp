// Probe of the grid reader.
#include "base/console.hpp"
#include "base/fatal.hpp"
#include "grid/grid_reader.hpp"
#include "probes/probes.hpp"
#include "probes/scratch_folder.hpp"

namespace orograd::probes {

void probe_grid_reader(const uint8_t* data, std::size_t size) {
  empty_scratch_folder();
  const std::string name = write_scratch_file("input.grid", {reinterpret_cast<const char*>(data), size});
  Console console = Console::capturing();
  GridContext context(console);
  try {
    read_first_grid(context, name);
    read_grid(context, name);
  } catch (const FatalError&) {
  }
}

}  // namespace orograd::probes
