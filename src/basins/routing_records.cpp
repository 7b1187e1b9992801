#include "basins/routing_records.hpp"

#include "basins/exit_cells.hpp"
#include "basins/reach_hydraulics.hpp"
#include "basins/routing_reaches.hpp"

namespace orograd {

namespace {

void print_table_line(const SubbasinRecord& r, Console& console) {
  console.print("%5i%5i%8.1f%8.1f%8.1lf%8.1lf%8.1lf%8.1lf%8.1lf %ld\n", r.code, r.downstream, r.travel_time_sum,
                r.travel_time_sum / 3600, r.length, r.h_min, r.h_max, r.acc_outlet, r.acc_max,
                static_cast<long>(r.cell_count));
}

}  // namespace

std::vector<SubbasinRecord> build_routing_records(const RoutingInputs& in, const SubbasinRanks& ranks,
                                                  Grid& routing_reaches, Console& console) {
  std::vector<SubbasinRecord> records = find_exit_cells(in, ranks, console);
  trace_routing_reaches(in, ranks, records, routing_reaches);
  const ChannelModel model{in.cellsize, in.strickler_coefficient, in.specific_discharge, in.mode};
  console.write("TG   UL   FZTSUM  FZT_in_h Laenge  hmin    hmax    accmin  accmax  Anzahl\n");
  for (SubbasinRecord& record : records) {
    print_table_line(record, console);
    if (record.downstream > 0)
      compute_reach_hydraulics(model, in.accumulation(record.exit_row, record.exit_col), record);
  }
  return records;
}

}  // namespace orograd
