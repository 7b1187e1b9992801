#include "vector/river_lines.hpp"

#include <algorithm>
#include <unordered_map>

#include "base/fatal.hpp"

namespace orograd::vector {

namespace {

// A link and its first cell, found before it is walked.
struct LinkStart {
  int32_t link;
  GridCell first;
};

std::string cell_text(GridCell cell) { return format("row %d, column %d", cell.row, cell.col); }

[[noreturn]] void refuse(int32_t link, const std::string& what) {
  fatal(1, format("orograd-vector: link %d %s; the cells of a link must form one path down the flow directions "
                  "from a single first cell\n",
                  link, what.c_str()),
        "is the direction grid the one the links were numbered on?");
}

// Walks the link from its first cell; see trace_river_lines.
RiverLine walk_link(const FlowWalker& walker, const CodeGrid& links, const CodeGrid* orders, double cellsize,
                    const LinkStart& link) {
  GridCell cell = link.first;
  RiverLine line{link.link, orders != nullptr ? (*orders)(cell.row, cell.col) : kNoCode, 0, 0, {}};
  for (;;) {
    if (orders != nullptr) {
      const int32_t order = (*orders)(cell.row, cell.col);
      if (order == kNoCode) refuse(link.link, "has a cell without an order (" + cell_text(cell) + ")");
      if (order != line.order)
        refuse(link.link, format("has cells of orders %d and %d (%s)", line.order, order, cell_text(cell).c_str()));
    }
    line.path.push_back(cell);
    line.cells += 1;
    const Step step = walker.step(cell.row, cell.col);
    if (step.kind != StepKind::moved && step.kind != StepKind::off_grid) break;
    line.length += cellsize * walker.direction(cell.row, cell.col)->drop_divisor;
    if (step.kind == StepKind::off_grid) break;
    cell = {step.row, step.col};
    if (links(cell.row, cell.col) != link.link) {
      line.path.push_back(cell);
      break;
    }
  }
  return line;
}

}  // namespace

std::vector<RiverLine> trace_river_lines(const FlowWalker& walker, const CodeGrid& links, const CodeGrid* orders,
                                         double cellsize) {
  const GridShape shape = links.shape();
  // Whether a cell of the same link flows into the cell.
  std::vector<uint8_t> fed(static_cast<std::size_t>(shape.nrows) * static_cast<std::size_t>(shape.ncols), 0);
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int32_t link = links(row, col);
      if (link == kNoCode) continue;
      const Step step = walker.step(row, col);
      if (step.kind != StepKind::moved || links(step.row, step.col) != link) continue;
      fed[static_cast<std::size_t>(shape.index(step.row, step.col))] = 1;
    }
  std::vector<LinkStart> found;
  std::unordered_map<int32_t, std::size_t> index;  // place in `found` by link
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int32_t link = links(row, col);
      if (link == kNoCode || fed[static_cast<std::size_t>(shape.index(row, col))] != 0) continue;
      const auto [at, inserted] = index.try_emplace(link, found.size());
      if (!inserted)
        refuse(link, format("has two first cells (%s and %s)", cell_text(found[at->second].first).c_str(),
                            cell_text({row, col}).c_str()));
      found.push_back({link, {row, col}});
    }
  std::sort(found.begin(), found.end(), [](const LinkStart& a, const LinkStart& b) { return a.link < b.link; });
  std::vector<RiverLine> lines;
  lines.reserve(found.size());
  // The walker cuts every cycle, so each link has a first cell, and the cells of a link
  // with only one lie on the path down from it: any other would have a first cell
  // upstream of it.
  for (const LinkStart& link : found) lines.push_back(walk_link(walker, links, orders, cellsize, link));
  return lines;
}

}  // namespace orograd::vector
