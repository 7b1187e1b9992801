// libFuzzer entry: see probes/probes.hpp, probe_control_values.
#include "probes/probes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orograd::probes::probe_control_values(data, size);
  return 0;
}
