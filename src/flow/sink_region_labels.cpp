#include "flow/sink_region_labels.hpp"

#include <algorithm>

#include "flow/flow_direction_pass.hpp"
#include "flow/union_find.hpp"

namespace orograd {

namespace {

// Rows per band. Bands are swept independently, so the labels cannot depend on the
// number of threads.
constexpr int32_t kBandRows = 64;

template <Neighbourhood N>
void label_from(Grid& sink_regions, int32_t row, int32_t col, double label, std::vector<GridCell>& stack) {
  sink_regions(row, col) = label;
  stack.push_back({row, col});
  while (!stack.empty()) {
    const GridCell cell = stack.back();
    stack.pop_back();
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = cell.row + d.row_offset;
      const int32_t c = cell.col + d.col_offset;
      if (sink_regions.shape().contains(r, c) && sink_regions(r, c) == kUnlabelled) {
        sink_regions(r, c) = label;  // labelled when pushed, so no cell is pushed twice
        stack.push_back({r, c});
      }
    }
  }
}

// The neighbours a row-major sweep has passed before it reaches a cell.
template <Neighbourhood N>
constexpr std::array<Direction, neighbour_count(N) / 2> earlier_neighbours() {
  std::array<Direction, neighbour_count(N) / 2> earlier{};
  std::size_t k = 0;
  for (const Direction& d : neighbours<N>())
    if (d.row_offset < 0 || (d.row_offset == 0 && d.col_offset < 0)) earlier[k++] = d;
  return earlier;
}

// Union-find over pieces of regions. A set's root is its lowest piece, which is the
// piece a row-major sweep meets first.
class Pieces {
 public:
  explicit Pieces(std::vector<int32_t> parent = {}) : parent_(std::move(parent)) {}

  int32_t add() {
    parent_.push_back(static_cast<int32_t>(parent_.size()));
    return parent_.back();
  }
  int32_t find(int32_t piece) { return find_root(parent_, piece); }
  void join(int32_t a, int32_t b) {
    a = find(a);
    b = find(b);
    parent_[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }
  std::vector<int32_t>& parent() { return parent_; }

 private:
  std::vector<int32_t> parent_;
};

// Sweeps rows first to last, giving each unlabelled cell the piece of an earlier
// neighbour in the band, or a new piece, and joining the pieces it touches. Returns
// the pieces, numbered from 0 in the order they were met.
template <Neighbourhood N>
std::vector<int32_t> label_band(Grid& sink_regions, int32_t first, int32_t last) {
  Pieces pieces;
  const GridShape shape = sink_regions.shape();
  for (int32_t row = first; row <= last; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      if (sink_regions(row, col) != kUnlabelled) continue;
      int32_t piece = -1;
      for (const Direction& d : earlier_neighbours<N>()) {
        const int32_t r = row + d.row_offset, c = col + d.col_offset;
        if (r < first || !shape.contains(r, c) || sink_regions(r, c) < 0) continue;
        const auto met = static_cast<int32_t>(sink_regions(r, c));
        if (piece < 0) piece = met;
        else pieces.join(piece, met);
      }
      sink_regions(row, col) = piece >= 0 ? piece : pieces.add();
    }
  return std::move(pieces.parent());
}

template <Neighbourhood N>
int64_t label_in_bands(Grid& sink_regions) {
  const GridShape shape = sink_regions.shape();
  const int32_t bands = (shape.nrows + kBandRows - 1) / kBandRows;
  const auto first_row = [](int32_t band) { return band * kBandRows + 1; };
  std::vector<std::vector<int32_t>> band_pieces(static_cast<std::size_t>(bands));
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic)
#endif
  for (int32_t band = 0; band < bands; ++band)
    band_pieces[static_cast<std::size_t>(band)] =
        label_band<N>(sink_regions, first_row(band), std::min(shape.nrows, first_row(band + 1) - 1));

  // All pieces in one union-find, those of a band after those of the bands above.
  std::vector<int32_t> offsets(static_cast<std::size_t>(bands) + 1, 0);
  std::vector<int32_t> parent;
  for (int32_t band = 0; band < bands; ++band) {
    const std::vector<int32_t>& own = band_pieces[static_cast<std::size_t>(band)];
    const int32_t offset = offsets[static_cast<std::size_t>(band)];
    for (const int32_t up : own) parent.push_back(up + offset);
    offsets[static_cast<std::size_t>(band) + 1] = offset + static_cast<int32_t>(own.size());
    std::vector<int32_t>().swap(band_pieces[static_cast<std::size_t>(band)]);
  }
  Pieces pieces(std::move(parent));
  const auto piece_at = [&](int32_t row, int32_t col) {
    return offsets[static_cast<std::size_t>((row - 1) / kBandRows)] + static_cast<int32_t>(sink_regions(row, col));
  };
  // Pieces that touch across the first row of a band belong to one region.
  for (int32_t band = 1; band < bands; ++band) {
    const int32_t row = first_row(band);
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      if (sink_regions(row, col) < 0) continue;
      for (const Direction& d : earlier_neighbours<N>()) {
        const int32_t c = col + d.col_offset;
        if (d.row_offset < 0 && shape.contains(row - 1, c) && sink_regions(row - 1, c) >= 0)
          pieces.join(piece_at(row, col), piece_at(row - 1, c));
      }
    }
  }
  // A region takes its number when its first piece is met.
  std::vector<int32_t> labels(pieces.parent().size());
  int32_t region_count = 0;
  for (int32_t piece = 0; piece < static_cast<int32_t>(labels.size()); ++piece) {
    const int32_t root = pieces.find(piece);
    labels[static_cast<std::size_t>(piece)] = root == piece ? ++region_count : labels[static_cast<std::size_t>(root)];
  }
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col)
      if (sink_regions(row, col) >= 0)
        sink_regions(row, col) = labels[static_cast<std::size_t>(piece_at(row, col))];
  return region_count;
}

}  // namespace

int64_t label_region(Neighbourhood neighbourhood, Grid& sink_regions, int32_t row, int32_t col,
                     int64_t label, std::vector<GridCell>& stack) {
  if (sink_regions(row, col) != kUnlabelled) return label;
  with_neighbourhood(neighbourhood, [&](auto n) {
    label_from<n.value>(sink_regions, row, col, static_cast<double>(label), stack);
  });
  return label + 1;
}

int64_t label_sink_regions(Neighbourhood neighbourhood, Grid& sink_regions) {
  return with_neighbourhood(neighbourhood, [&](auto n) { return label_in_bands<n.value>(sink_regions); });
}

}  // namespace orograd
