#include "basins/structure_file.hpp"

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <span>
#include <unordered_set>

#include "base/atomic_file.hpp"
#include "base/fatal.hpp"

namespace orograd {

namespace {

// The records sorted by downstream code once, rank order kept: the tributaries of a
// code are one run of the list.
class TributaryIndex {
 public:
  explicit TributaryIndex(const std::vector<SubbasinRecord>& records) : records_(records), order_(records.size()) {
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(),
                     [&](std::size_t a, std::size_t b) { return records[a].downstream < records[b].downstream; });
  }

  std::span<const std::size_t> of(int32_t code) const {
    const auto [first, last] = std::equal_range(order_.begin(), order_.end(), code, Downstream{records_});
    return {first, last};
  }

 private:
  // Compares a record position with a code by the record's downstream code.
  struct Downstream {
    const std::vector<SubbasinRecord>& records;
    bool operator()(std::size_t k, int32_t code) const { return records[k].downstream < code; }
    bool operator()(int32_t code, std::size_t k) const { return code < records[k].downstream; }
  };
  const std::vector<SubbasinRecord>& records_;
  std::vector<std::size_t> order_;
};

double area_of(double cellsize, double accumulation) { return cellsize * cellsize * accumulation / 1000000.0; }

std::string reach_parameters(const SubbasinRecord& r, double area) {
  return format(" (kh=0.1, kv=0.4, Bh=%4.1f, Bv=%5.1f, Th=%5.2f, Mh=%4.1f, Mv=%4.1f, I=%6.4f, L=%.1f, AE=%.7f)",
                r.width, 4 * r.width, r.depth, r.roughness, 0.4 * r.roughness, r.sqrt_slope * r.sqrt_slope,
                r.length, area);
}

// The inflow at position p: in mode 2 the later ones entering at its exit cell are
// merged into it and leave the list; a single inflow takes its area from acc_outlet.
std::string inflow_text(std::vector<const SubbasinRecord*>& inflows, std::size_t p, double cellsize, int32_t mode) {
  const SubbasinRecord& first = *inflows[p];
  std::string name;
  double area = first.area;
  for (std::size_t q = p + 1; mode == 2 && q < inflows.size();) {
    const SubbasinRecord& other = *inflows[q];
    if (other.exit_row != first.exit_row || other.exit_col != first.exit_col) {
      ++q;
      continue;
    }
    name += name.empty() ? format("SUMTRIB %d&%d", first.code, other.code) : format("&%d", other.code);
    area += other.area;
    inflows[q] = inflows.back();
    inflows.pop_back();
  }
  if (name.empty()) return format("OL %2d", first.code) + reach_parameters(first, area_of(cellsize, first.acc_outlet));
  return name + reach_parameters(first, area);
}

std::string routing_block(const std::vector<SubbasinRecord>& records, int32_t code,
                          std::span<const std::size_t> tributaries, double cellsize, int32_t mode) {
  std::vector<const SubbasinRecord*> inflows;
  for (const std::size_t k : tributaries) inflows.push_back(&records[k]);
  std::string from;
  for (std::size_t p = 0; p < inflows.size(); ++p) {
    if (p > 0) from += "\n  and ";
    from += inflow_text(inflows, p, cellsize, mode);
  }
  return format("TG %d (AE=%.7lf, AErel=1.0)\n from ", code, area_of(cellsize, inflows.back()->acc_max)) + from +
         "\n";
}

}  // namespace

std::string routing_structure_text(const std::vector<SubbasinRecord>& records, double cellsize, int32_t mode) {
  const TributaryIndex index(records);
  // A code on the stack with its tributaries and the next one to go up into.
  struct Frame {
    int32_t code;
    std::span<const std::size_t> tributaries;
    std::size_t next = 0;
  };
  std::vector<Frame> stack;
  std::unordered_set<int32_t> taken;
  std::string text;
  for (const SubbasinRecord& outlet : records) {
    if (outlet.downstream > 0 || !taken.insert(outlet.code).second) continue;
    stack.push_back({outlet.code, index.of(outlet.code)});
    while (!stack.empty()) {
      Frame& top = stack.back();
      if (top.next < top.tributaries.size()) {
        const int32_t code = records[top.tributaries[top.next++]].code;
        if (taken.insert(code).second) stack.push_back({code, index.of(code)});
        continue;
      }
      if (!top.tributaries.empty()) text += routing_block(records, top.code, top.tributaries, cellsize, mode);
      stack.pop_back();
    }
  }
  return text;
}

void write_structure_file(const std::string& file_name, const std::string& text) {
  AtomicFile file(file_name);
  if (!file.opened())
    fatal(3, format("Strukturdatei %s kann nicht geoeffnet werden\n", file_name.c_str()),
          file_failure("write", file_name, file.error()));
  if (std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size())
    fatal(10, format("error writing in %s\n", file_name.c_str()), file_failure("write", file_name, errno));
  // Closing flushes the buffered text and the rename puts the file in place: a failure
  // in either is a write failure too.
  if (const int error = file.commit())
    fatal(10, format("error writing in %s\n", file_name.c_str()), file_failure("write", file_name, error));
}

}  // namespace orograd
