// libFuzzer entry: see probes/probes.hpp, probe_whole_run.
#include "probes/probes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orograd::probes::probe_whole_run(data, size);
  return 0;
}
