#pragma once
// The structure file: how the subbasins route into each other, one block for every
// subbasin that receives inflow, with the channel of each inflow's reach.
#include <cstdint>
#include <string>
#include <vector>

#include "basins/subbasin_record.hpp"

namespace orograd {

// The text of the structure file for records in rank order. From every outlet
// (downstream not above 0), in rank order, the tree of tributaries (records whose
// downstream is a code) is walked upward and blocks are written on the way back, so a
// subbasin's block follows the blocks of all its tributaries, themselves in rank
// order. A subbasin without tributaries has no block; a block reads
//   "TG %d (AE=%.7lf, AErel=1.0)\n from %s\n"
// with the code, cellsize² × acc_max / 1000000 of the last inflow listed, and the
// inflows in rank order joined by "\n  and ", each "OL %2d" with its code and
//   " (kh=0.1, kv=0.4, Bh=%4.1f, Bv=%5.1f, Th=%5.2f, Mh=%4.1f, Mv=%4.1f, I=%6.4f, L=%.1f, AE=%.7f)"
// from width, 4 × width, depth, roughness, 0.4 × roughness, sqrt_slope², length and
// cellsize² × acc_outlet / 1000000.
//
// In mode 2 the later inflows entering at the same exit cell as an inflow are merged
// into it: named "SUMTRIB a&b&c" and given the sum of the records' areas (the other
// parameters are the first one's). Each merged inflow is replaced by the last one of
// the list, which is examined in its place, as the model always listed them.
//
// Every code's tributaries are taken at most once, so a record draining into its own
// code or a cycle of records ends. Blocks may be of any length; nesting of any depth
// uses no recursion. Cost n log n in the number of records.
std::string routing_structure_text(const std::vector<SubbasinRecord>& records, double cellsize, int32_t mode);

// Writes `text` to the file `file_name`, replacing it only when complete (AtomicFile).
// Fatal 3 with "Strukturdatei %s kann nicht geoeffnet werden\n" when it (its
// temporary) cannot be created, fatal 10 with "error writing in %s\n" when writing,
// closing or the rename fails; the previous file then stays as it was.
void write_structure_file(const std::string& file_name, const std::string& text);

}  // namespace orograd
