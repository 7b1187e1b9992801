#include "basins/travel_times.hpp"

#include <bit>
#include <cmath>
#include <cstddef>
#include <new>

#include <unistd.h>

#include "base/angles.hpp"
#include "base/fatal.hpp"
#include "basins/rectangular_channel.hpp"
#include "flow/directions.hpp"
#include "rivers/river_links.hpp"

namespace orograd {

namespace {

// Travel times round the diagonal of a cell their own way, apart from link lengths.
constexpr double kTravelDiagonal = 1.4142136;
constexpr double kOverlandVelocityFloor = 0.1;

// Link numbers below this have a table whose size in bytes fits a ptrdiff_t. A power
// of two, so comparing a double with it is exact.
constexpr double kLinkNumberLimit =
    static_cast<double>(std::bit_floor(static_cast<std::size_t>(PTRDIFF_MAX) / sizeof(LinkRecord)));

[[noreturn]] void fail_link_table() {
  fatal(2, "error allocatin memory for flow time table\n",
        "the table of the link grid's highest code does not fit in memory; is the link grid the one "
        "[Flussordnungen] wrote?");
}

// The machine's memory in bytes: a table larger than that could only be allocated
// lazily and would fail while it is filled.
double physical_memory() {
  const long pages = sysconf(_SC_PHYS_PAGES), page_size = sysconf(_SC_PAGE_SIZE);
  return pages > 0 && page_size > 0 ? static_cast<double>(pages) * static_cast<double>(page_size) : 0;
}

}  // namespace

double mask_rivers_from_links(Grid& links, Grid& network) {
  double largest = 0;
  // Rows are independent, and the largest value is the same in any order.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(max : largest)
#endif
  for (int32_t row = 1; row <= links.nrows(); ++row)
    for (int32_t col = 1; col <= links.ncols(); ++col) {
      const double value = links(row, col);
      const bool river = value >= 0;  // false for NaN
      if (river && value > largest) largest = value;
      links(row, col) = river ? 0.0 : kNodata;
      network(row, col) = river ? 1.0 : kNodata;
    }
  return largest;
}

std::vector<LinkRecord> make_link_table(double largest_link_value) {
  // Also rejects infinity, before any conversion to an integer.
  if (!(largest_link_value < kLinkNumberLimit)) fail_link_table();
  const auto records = static_cast<std::size_t>(largest_link_value) + 1;
  const double memory = physical_memory();
  if (memory > 0 && static_cast<double>(records) * sizeof(LinkRecord) > memory) fail_link_table();
  try {
    return std::vector<LinkRecord>(records);
  } catch (const std::bad_alloc&) {
    fail_link_table();
  }
}

int64_t trace_river_links(const FlowWalker& walker, const Grid& network, Grid& links, const Grid& elevation,
                          const Grid& accumulation, double cellsize, std::vector<LinkRecord>& table) {
  std::size_t link = 0;
  for_each_link_start(walker, network, links, [&](int32_t row, int32_t col, RingPositions) {
    if (++link >= table.size())
      fatal(1,
            "Error! the input grid containing the river network should be the river link grid\n"
            "(or another grid containing at least as much zones as there are river channels)\n",
            format("the grid given as river links holds %zu codes at most, fewer than the river's links; give "
                   "[Fliesszeiten] the link grid [Flussordnungen] wrote", table.size() - 1));
    LinkRecord& record = table[link];
    record.h_top = elevation(row, col);
    record.acc_top = accumulation(row, col);
    const LinkTrace trace =
        trace_link(walker, network, links, row, col, static_cast<double>(link), cellsize, &elevation, &accumulation);
    record.h_bottom = trace.elevation;
    record.acc_bottom = trace.accumulation;
    record.length = trace.length;
  });
  return static_cast<int64_t>(link);
}

double overland_velocity(double slope_degrees) {
  const double velocity =
      slope_degrees > 0 ? 5.0 * std::pow(0.01, 0.66667) * std::sqrt(std::tan(slope_degrees * kPi / 180)) : 0.01;
  return velocity >= kOverlandVelocityFloor ? velocity : kOverlandVelocityFloor;
}

double travel_step_length(double direction_code, double cellsize) {
  return step_length(direction_code, cellsize, kTravelDiagonal);
}

void assign_travel_times(const TravelTimeInputs& in, const std::vector<LinkRecord>& table, double cellsize,
                         TravelTimeOutputs& out) {
  // Each cell's values depend on its own inputs and the link table alone.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= in.elevation.nrows(); ++row)
    for (int32_t col = 1; col <= in.elevation.ncols(); ++col) {
      double& travel_time = out.travel_time(row, col);
      double& depth = out.water_depth(row, col);
      double& width = out.channel_width(row, col);
      depth = kNodata;
      width = kNodata;
      // Outside the elevation model there is nothing to cross, river or not.
      if (in.elevation(row, col) == kNodata) {
        travel_time = kNodata;
        continue;
      }
      const double step = travel_step_length(in.directions(row, col), cellsize);
      const double link = out.links(row, col);
      if (link > 0) {
        const LinkRecord& record = table[static_cast<std::size_t>(link)];
        travel_time = step / record.velocity;
        depth = channel_depth(record);
        width = width_to_depth_ratio(record.sqrt_slope) * depth;
      } else {
        travel_time = step / overland_velocity(in.slope(row, col));
      }
    }
}

void compute_travel_times(const TravelTimeInputs& in, TravelTimeOutputs& out, const ChannelParameters& channel,
                          Console& console, CleanPathChecks* clean) {
  std::vector<LinkRecord> table = make_link_table(mask_rivers_from_links(out.links, out.network));
  const FlowWalker walker = FlowWalker::checked(in.directions, console, clean);
  trace_river_links(walker, out.network, out.links, in.elevation, in.accumulation, channel.cellsize, table);
  for (std::size_t n = 1; n < table.size(); ++n) solve_link_hydraulics(table[n], channel);
  print_link_table(table, console);
  assign_travel_times(in, table, channel.cellsize, out);
}

}  // namespace orograd
