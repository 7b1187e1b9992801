// libFuzzer entry: see probes/probes.hpp, probe_preprocessor.
#include "probes/probes.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orograd::probes::probe_preprocessor(data, size);
  return 0;
}
