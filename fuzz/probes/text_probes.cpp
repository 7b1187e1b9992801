// Probes of the control-file preprocessor and of the value readers.
#include <string>

#include "base/console.hpp"
#include "base/fatal.hpp"
#include "control/Steuer.hpp"
#include "control/control_file.hpp"
#include "control/section_names.hpp"
#include "probes/probes.hpp"
#include "probes/scratch_folder.hpp"

namespace orograd::probes {

namespace {

// Reads a section's lines with every reader in turn, as the sections do, until the
// text runs out; a few rounds cover every reader after every other.
void read_every_kind(ControlFile& control) {
  for (int round = 0; round < 4 && !control.at_end(); ++round) {
    int32_t small = 0;
    int64_t large = 0;
    double number = 0;
    std::string word;
    control.read(small);
    control.read_leaving_rest_of_line(small);
    control.read_word(word);
    control.read(number);
    control.read(large);
  }
}

}  // namespace

void probe_preprocessor(const uint8_t* data, std::size_t size) {
  empty_scratch_folder();
  const std::string name = write_scratch_file("input.ctl", {reinterpret_cast<const char*>(data), size});
  Console console = Console::capturing();
  try {
    preprocess_control_file(name, console);
  } catch (const FatalError&) {
  }
}

void probe_control_values(const uint8_t* data, std::size_t size) {
  Console console = Console::capturing();
  ControlFile control("input.$$$", std::string(reinterpret_cast<const char*>(data), size), console);
  for (const SectionInfo& section : known_sections()) {
    read_section_switch(control, section.name);
    if (control.find_section(section.name)) read_every_kind(control);
  }
}

}  // namespace orograd::probes
