#pragma once
// Probes: each feeds arbitrary bytes to one reader of the program the way a run would,
// catching the fatal errors that bad input is meant to end in. The fuzz targets call
// them, and the regression test calls them on every input kept from fuzzing, so a
// crash, leak or undefined behaviour surfaces under the sanitizers either way.
#include <cstddef>
#include <cstdint>

namespace orograd::probes {

// The control-file preprocessor on the bytes as a control file.
void probe_preprocessor(const uint8_t* data, std::size_t size);
// Every known section looked up in the bytes as a preprocessed control file, and its
// lines read as integers, numbers and words.
void probe_control_values(const uint8_t* data, std::size_t size);
// The bytes as a grid file, read as the run's first grid and then as a later one.
void probe_grid_reader(const uint8_t* data, std::size_t size);
// A whole run of the program with the bytes as its control file, beside a 5x5 DEM
// (dem.asc) and pour points (pour.asc). Inputs whose preprocessed text names a folder
// are skipped, so that a run writes nowhere but in the scratch folder.
void probe_whole_run(const uint8_t* data, std::size_t size);

}  // namespace orograd::probes
