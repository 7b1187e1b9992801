// River lines: on the bundled example each line has the length orograd's link tracing
// gives its link and runs from the link's first cell to the cell where it ends; link
// grids whose links are no paths are refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "flow/flow_test_grids.hpp"
#include "grid/grid_reader.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "support/test_support.hpp"
#include "vector/river_lines.hpp"

namespace orograd::vector {
namespace {

namespace fs = std::filesystem;
using orograd::testing::grid_of;
using orograd::testing::N;

// What orograd's own tracing gives a link: where it starts, whether that is a
// confluence, and its length.
struct TracedLink {
  GridCell start;
  bool confluence;
  double length;
};

TEST(RiverLines, MatchTheLinksOfTheBundledExample) {
  testing::TempDir dir;
  const fs::path examples = fs::path(OROGRAD_SOURCE_DIR) / "examples";
  for (const char* name : {"example.ctl", "olinda_dem_90m.asc", "olinda_pour_points.asc"})
    fs::copy_file(examples / name, dir.path() / name);
  fs::create_directory(dir.path() / "output");
  ASSERT_EQ(testing::run_binary(dir.path().string(), {"example.ctl"}).exit_code, 0);

  Console console = Console::capturing();
  GridContext context(console);
  const auto output = [&](const char* name) { return read_input_grid(context, dir.file(std::string("output/") + name)); };
  const Grid link_grid = output("river_links.asc"), order_grid = output("stream_order.asc");
  const Grid directions = output("flowdirection.asc");
  Grid network = output("rivers.asc");
  const double cellsize = context.header.cellsize;
  const FlowWalker walker = FlowWalker::checked(directions, console);

  // The links traced anew as number_river_links traces them.
  Grid orders = context.allocate(), links = context.allocate();
  normalise_river_grids(network, orders, links);
  std::vector<TracedLink> traced;
  for_each_link_start(walker, network, links, [&](int32_t row, int32_t col, RingPositions inflows) {
    const double link = static_cast<double>(traced.size() + 1);
    traced.push_back({{row, col}, inflows != 0, trace_link(walker, network, links, row, col, link, cellsize).length});
  });
  ASSERT_EQ(testing::values_of(links), testing::values_of(link_grid));  // the program's numbering
  ASSERT_GT(std::count_if(traced.begin(), traced.end(), [](const TracedLink& t) { return t.confluence; }), 10);

  const CodeGrid link_codes = read_codes(link_grid, "links"), order_codes = read_codes(order_grid, "orders");
  const std::vector<RiverLine> lines = trace_river_lines(walker, link_codes, &order_codes, cellsize);
  ASSERT_EQ(lines.size(), traced.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const RiverLine& line = lines[k];
    const TracedLink& link = traced[k];
    SCOPED_TRACE("link " + std::to_string(k + 1));
    EXPECT_EQ(line.link, static_cast<int32_t>(k + 1));
    EXPECT_EQ(line.length, link.length);
    EXPECT_EQ(line.order, order_codes(link.start.row, link.start.col));
    ASSERT_FALSE(line.path.empty());
    EXPECT_EQ(line.path.front().row, link.start.row);
    EXPECT_EQ(line.path.front().col, link.start.col);
    int64_t cells = 0;
    for (const GridCell& cell : line.path) cells += link_codes(cell.row, cell.col) == line.link;
    EXPECT_EQ(line.cells, cells);
    // The last point is a confluence that starts another link, or a cell of the link
    // from which the flow leaves the grid or ends.
    const GridCell last = line.path.back();
    if (link_codes(last.row, last.col) != line.link) {
      const TracedLink& below = traced[static_cast<std::size_t>(link_codes(last.row, last.col) - 1)];
      EXPECT_TRUE(below.confluence && below.start.row == last.row && below.start.col == last.col);
    } else {
      EXPECT_NE(walker.step(last.row, last.col).kind, StepKind::moved);
    }
  }
}

// Directions of the small cases: south-east and east from (1, 1) into (2, 3), south
// from (1, 3) into it, east from it into (2, 4), which holds 0; south off the grid
// from (3, 1).
Grid small_directions() {
  return grid_of(4, 3, {4, 0, 8, 0,  //
                        0, 2, 2, 0,  //
                        8, 0, 0, 0});
}
constexpr double kDiagonal = 10 * 1.4142135;

TEST(RiverLines, EndAtTheConfluenceTheEdgeOrWhereTheFlowEnds) {
  const Grid links = grid_of(4, 3, {1, N, 2, N,  //
                                    N, 1, 3, 3,  //
                                    4, N, N, N});
  Console console = Console::capturing();
  const Grid directions = small_directions();
  const FlowWalker walker = FlowWalker::checked(directions, console);
  const std::vector<RiverLine> lines = trace_river_lines(walker, read_codes(links, "links"), nullptr, 10);
  struct Expected {
    double length;
    int64_t cells;
    std::vector<std::pair<int32_t, int32_t>> path;
  };
  const Expected expected[] = {{kDiagonal + 10, 2, {{1, 1}, {2, 2}, {2, 3}}},  // into the confluence (2, 3)
                               {10, 1, {{1, 3}, {2, 3}}},
                               {10, 2, {{2, 3}, {2, 4}}},  // (2, 4) holds 0: no further step
                               {10, 1, {{3, 1}}}};         // off the southern edge
  ASSERT_EQ(lines.size(), std::size(expected));
  for (std::size_t k = 0; k < lines.size(); ++k) {
    SCOPED_TRACE("link " + std::to_string(k + 1));
    EXPECT_EQ(lines[k].order, kNoCode);
    EXPECT_EQ(lines[k].length, expected[k].length);
    EXPECT_EQ(lines[k].cells, expected[k].cells);
    std::vector<std::pair<int32_t, int32_t>> path;
    for (const GridCell& cell : lines[k].path) path.emplace_back(cell.row, cell.col);
    EXPECT_EQ(path, expected[k].path);
  }
}

TEST(RiverLines, RefuseLinksThatAreNoPathAndOrdersThatDiffer) {
  struct Case {
    std::vector<double> links, orders;
    const char* message;
  };
  const Case cases[] = {
      // (1, 1) and (1, 3) both flow into link 1 without a cell of it above them.
      {{1, N, 1, N, N, 1, 1, 1, N, N, N, N}, {}, "link 1 has two first cells (row 1, column 1 and row 1, column 3)"},
      // Link 2 lies in two separate pieces.
      {{1, N, 2, N, N, 1, 1, 1, 2, N, N, N}, {}, "link 2 has two first cells"},
      {{1, N, 2, N, N, 1, 3, 3, N, N, N, N}, {1, N, 1, N, N, 2, 2, 2, N, N, N, N},
       "link 1 has cells of orders 1 and 2 (row 2, column 2)"},
      {{1, N, 2, N, N, 1, 3, 3, N, N, N, N}, {1, N, 1, N, N, 1, N, 2, N, N, N, N},
       "link 3 has a cell without an order (row 2, column 3)"},
  };
  Console console = Console::capturing();
  const Grid directions = small_directions();
  const FlowWalker walker = FlowWalker::checked(directions, console);
  for (const Case& c : cases) {
    const Grid link_grid = grid_of(4, 3, c.links), order_grid = grid_of(4, 3, c.orders.empty() ? c.links : c.orders);
    const CodeGrid links = read_codes(link_grid, "links");
    const std::optional<CodeGrid> orders =
        c.orders.empty() ? std::nullopt : std::optional<CodeGrid>(read_codes(order_grid, "orders"));
    const FatalError error =
        testing::expect_fatal([&] { trace_river_lines(walker, links, orders ? &*orders : nullptr, 10); });
    EXPECT_EQ(error.code(), 1);
    EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace orograd::vector
