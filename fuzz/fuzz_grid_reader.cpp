// libFuzzer entry: see probes/probes.hpp, probe_grid_reader.
#include "probes/probes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orograd::probes::probe_grid_reader(data, size);
  return 0;
}
