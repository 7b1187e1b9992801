#include "basins/subbasin_flow_times.hpp"

#include <atomic>
#include <limits>
#include <vector>

namespace orograd {

namespace {

constexpr int64_t kNoCell = -1;
constexpr int64_t kNoStopper = std::numeric_limits<int64_t>::max();

class FlowTimes {
 public:
  FlowTimes(const FlowWalker& walker, const Grid& subbasins, const Grid& travel_times, Grid& flow_times)
      : walker_(walker),
        subbasins_(subbasins),
        travel_times_(travel_times),
        flow_times_(flow_times),
        shape_(subbasins.shape()),
        computed_(cells(), 0),
        // Only direction-0 cells make messages; without them nothing needs tracking.
        tracked_(walker.zero_cells() > 0) {
    if (!tracked_) return;
    zero_end_.assign(cells(), kNoCell);
    first_stopper_.assign(cells(), kNoStopper);
  }

  // Without messages to track, the rows are shared out among the threads. Walks of two
  // threads that meet on one path may both compute its cells: they compute the same
  // values, each from the finished value of the cell below.
  void compute() {
    start_walks_from_every_cell(shape_, !tracked_, [&](int32_t row, int32_t col, std::vector<GridCell>& path) {
      if (subbasins_(row, col) == kNodata)
        flow_times_(row, col) = kNodata;
      else if (!computed(index(row, col)))
        compute_path_from(row, col, path);
    });
  }

  // A walk down from each cell in row-major order prints the message when it reaches
  // a cell with direction 0, unless it stops before at a cell of positive flow time
  // that an earlier walk computed.
  void print_zero_direction_messages(Console& console) const {
    if (!tracked_) return;
    for (int32_t row = 1; row <= shape_.nrows; ++row)
      for (int32_t col = 1; col <= shape_.ncols; ++col) {
        const std::size_t i = index(row, col);
        if (subbasins_(row, col) == kNodata || zero_end_[i] == kNoCell) continue;
        if (first_stopper_[i] > static_cast<int64_t>(i))
          console.print("Fliessrichtung ist 0 in Zeile %d, %d\n", shape_.row_of(zero_end_[i]),
                        shape_.col_of(zero_end_[i]));
      }
  }

 private:
  std::size_t cells() const { return static_cast<std::size_t>(shape_.index(shape_.nrows, shape_.ncols) + 1); }
  std::size_t index(int32_t row, int32_t col) const { return static_cast<std::size_t>(shape_.index(row, col)); }

  // Whether the flow time of a cell is finished; it is then safe to read.
  bool computed(std::size_t i) { return std::atomic_ref<char>(computed_[i]).load(std::memory_order_acquire); }
  double flow_time(int32_t row, int32_t col) const {
    return std::atomic_ref<double>(flow_times_(row, col)).load(std::memory_order_relaxed);
  }

  // The step to the next cell of the same subbasin, or a step of another kind.
  Step next(int32_t row, int32_t col) const {
    const Step step = walker_.step(row, col);
    if (step.kind == StepKind::moved && subbasins_(step.row, step.col) != subbasins_(row, col))
      return {StepKind::off_grid, row, col};
    return step;
  }

  // Goes down to the first cell computed before or the end of the path, then computes
  // the cells on the way back up.
  void compute_path_from(int32_t row, int32_t col, std::vector<GridCell>& path) {
    path.clear();
    for (;;) {
      path.push_back({row, col});
      const Step step = next(row, col);
      if (step.kind != StepKind::moved || computed(index(step.row, step.col))) break;
      row = step.row;
      col = step.col;
    }
    for (auto cell = path.rbegin(); cell != path.rend(); ++cell) finish(cell->row, cell->col);
  }

  void finish(int32_t row, int32_t col) {
    const std::size_t i = index(row, col);
    const Step step = next(row, col);
    const bool continues = step.kind == StepKind::moved;
    std::atomic_ref<double>(flow_times_(row, col))
        .store(travel_times_(row, col) + (continues ? flow_time(step.row, step.col) : 0.0), std::memory_order_relaxed);
    std::atomic_ref<char>(computed_[i]).store(1, std::memory_order_release);
    if (!tracked_) return;
    if (!continues) {
      zero_end_[i] = step.kind == StepKind::no_direction ? static_cast<int64_t>(i) : kNoCell;
      return;
    }
    const std::size_t below = index(step.row, step.col);
    zero_end_[i] = zero_end_[below];
    first_stopper_[i] = first_stopper_[below];
    if (flow_time(step.row, step.col) > 0 && static_cast<int64_t>(below) < first_stopper_[i])
      first_stopper_[i] = static_cast<int64_t>(below);
  }

  const FlowWalker& walker_;
  const Grid& subbasins_;
  const Grid& travel_times_;
  Grid& flow_times_;
  GridShape shape_;
  std::vector<char> computed_;  // read and set atomically: see compute
  bool tracked_;
  std::vector<int64_t> zero_end_;       // the direction-0 cell a path ends at
  std::vector<int64_t> first_stopper_;  // the first cell in row-major order below with positive flow time
};

}  // namespace

void compute_subbasin_flow_times(const FlowWalker& walker, const Grid& subbasins, const Grid& travel_times,
                                 Grid& flow_times, Console& console) {
  FlowTimes flow(walker, subbasins, travel_times, flow_times);
  flow.compute();
  flow.print_zero_direction_messages(console);
}

}  // namespace orograd
