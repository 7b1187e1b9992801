#include "flow/incremental_sink_runs.hpp"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <span>

#include "flow/flow_direction_pass.hpp"
#include "flow/ordered_parts.hpp"
#include "flow/parts_helper.hpp"
#include "flow/sink_filling.hpp"
#include "flow/sink_groups.hpp"
#include "flow/union_find.hpp"

namespace orograd {

namespace {

// A cell next to a region that has a direction; its elevation never changes, because
// only cells without direction are raised.
struct RimCell {
  double elevation;
  int64_t cell;
};

// Orders a std heap so that its front is the lowest rim cell.
struct LowerFirst {
  bool operator()(const RimCell& a, const RimCell& b) const { return a.elevation > b.elevation; }
};

// A rim cell at the new level of a raised region, and that region.
using Candidate = std::pair<RimCell, int64_t>;

struct Region {
  double level = 0;  // elevation of every cell of the region
  bool touches_border = false;
  bool has_rim = false;        // the rim heap has been built
  // Heap; may hold cells that have since joined the region, never cells of another
  // region, since regions that touch are joined. A cell joins a region at the region's
  // level and levels only rise, so a rim cell above the level has not joined. Once a
  // region is raised, its rim cells outside lie at or above the new level, so until
  // its next joins one below the level has joined. Both spare reading the cell's label.
  std::vector<RimCell> rim;
};

// The regions, shared by the series of runs of all groups: each group touches only
// the entries of its own labels.
struct RegionTable {
  std::vector<int64_t> parent;  // union-find over labels
  std::vector<Region> regions;
};

// Regions in groups whose series of runs are done side by side (see sink_groups.hpp).
// A series reads and writes only what belongs to its own group; where it would touch
// another group's region, it notes a clash instead, and the runs are done again as
// one series. A clash it cannot see at the time is found by groups_kept_apart afterwards.
struct GroupView {
  const std::vector<int64_t>* group_of = nullptr;  // by label
  int64_t own = 0;
  std::atomic<bool>* clash = nullptr;
};

// Every loop of a series as one part on the calling thread: while the series of groups
// are done side by side, every thread is busy with one already.
struct OnePart {
  static bool splits(std::size_t, std::size_t) { return false; }
  template <typename Body>
  void in_ordered_parts(std::size_t count, std::size_t, Body body) {
    body(std::size_t{0}, count, std::size_t{0});
  }
  template <typename First, typename Second>
  void in_ordered_parts_twice(std::size_t count, std::size_t, First first, Second second) {
    first(std::size_t{0}, count, std::size_t{0});
    second(std::size_t{0}, count, std::size_t{0});
  }
};

// The counts of the runs that the series of groups done on one thread add up to:
// `by_run[k]` is added to run k; `from_run[k]` to run k and every later one.
struct SeriesCounts {
  std::vector<int64_t> by_run, from_run;
  int32_t runs = 0;  // the most runs a series took
  static void add(std::vector<int64_t>& counts, int64_t run, int64_t count) {
    if (counts.size() <= static_cast<std::size_t>(run)) counts.resize(static_cast<std::size_t>(run) + 1, 0);
    counts[static_cast<std::size_t>(run)] += count;
  }
};

// The regions raised by run 1 and the regions stuck after it, of one group.
struct GroupStart {
  int64_t group = 0;
  int64_t labels = 0;  // labels in the group: the larger groups are started first
  std::vector<int64_t> raised, stuck;
};

// What one part of a block of candidates joined in parts found around them.
struct Found {
  std::vector<int64_t> borders;                    // roots of regions that reach the border
  std::vector<std::pair<int64_t, int64_t>> joins;  // root, cell of a region to join
  std::vector<std::pair<int64_t, int64_t>> rims;   // root, cell for its rim
};

// `kGrouped`: the series of one group, done while other groups' series run beside it.
template <Neighbourhood N, bool kGrouped = false>
class SinkRuns {
 public:
  SinkRuns(Grid& elevation, Grid& labels, RegionTable& table, GroupView group = {})
      : elevation_(elevation),
        labels_(labels),
        shape_(elevation.shape()),
        table_(table),
        parent_(table.parent),
        regions_(table.regions),
        group_(group) {}

  // Run 1 on the marks of a direction pass: labels, scans and raises every region.
  std::vector<int64_t> first_run(double tolerance, int64_t& count) {
    const int64_t region_count = label_sink_regions(N, labels_);
    const std::vector<SinkRegion> scanned = scan_sink_regions(N, elevation_, labels_, region_count);
    table_.parent.resize(static_cast<std::size_t>(region_count) + 1);
    std::iota(table_.parent.begin(), table_.parent.end(), 0);
    table_.regions.resize(table_.parent.size());
    parent_ = table_.parent;
    regions_ = table_.regions;
    count = 0;
    std::vector<int64_t> raised;
    for (int64_t label = 1; label <= region_count; ++label) {
      const SinkRegion& found = scanned[static_cast<std::size_t>(label)];
      region(label).level = found.region_elevation;
      region(label).touches_border = found.touches_border;
      if (is_closed_depression(found, tolerance)) ++count;
      if (is_raised(found)) raised.push_back(label);
      else if (is_closed_depression(found, tolerance)) stuck_.push_back(label);
    }
    build_rims(raised);
    for (const int64_t label : raised) region(label).level = scanned[static_cast<std::size_t>(label)].spill_elevation;
    return raised;
  }

  // The next run after the regions `raised` were raised; `raised` becomes the regions
  // this run raises. The lists of a run are members, kept from run to run: a model
  // takes a hundred thousand runs and more.
  template <typename Parts>
  void next_run(std::vector<int64_t>& raised, double tolerance, int64_t& count, Parts& helper) {
    join_level_rim_cells(raised, helper);
    changed_.clear();
    for (const int64_t label : raised) changed_.push_back(find(label));
    std::sort(changed_.begin(), changed_.end());
    changed_.erase(std::unique(changed_.begin(), changed_.end()), changed_.end());
    count = count_unchanged_stuck(changed_);
    lowest_.resize(changed_.size());
    helper.in_ordered_parts(changed_.size(), kEnoughRegions, [&](std::size_t first, std::size_t last, std::size_t) {
      for (std::size_t k = first; k < last; ++k) lowest_[k] = spill_level(changed_[k]);
    });
    raised.clear();
    for (std::size_t k = 0; k < changed_.size(); ++k) {
      const int64_t root = changed_[k];
      const SinkRegion view{lowest_[k], region(root).level, region(root).touches_border};
      if (is_closed_depression(view, tolerance)) ++count;
      if (is_raised(view)) {
        raised.push_back(root);
        region(root).level = view.spill_elevation;
      } else if (is_closed_depression(view, tolerance)) {
        stuck_.push_back(root);
      }
    }
  }

  int64_t region_count() const { return static_cast<int64_t>(parent_.size()) - 1; }
  std::vector<int64_t> take_stuck() { return std::move(stuck_); }

  // The series of runs of one group after run 1, as one series for all regions would
  // do them, adding their counts to `counts`. Ends early when a series clashed.
  void run_group(GroupStart& start, double tolerance, SeriesCounts& counts) {
    group_.own = start.group;
    stuck_ = std::move(start.stuck);
    OnePart one_part;
    int64_t run = 1, count = 0;
    while (!start.raised.empty() && !group_.clash->load(std::memory_order_relaxed)) {
      next_run(start.raised, tolerance, count, one_part);
      SeriesCounts::add(counts.by_run, ++run, count);
    }
    counts.runs = std::max(counts.runs, static_cast<int32_t>(run - 1));
    // Once the group raises nothing, its stuck regions are counted by every later run.
    SeriesCounts::add(counts.from_run, run + 1, count_unchanged_stuck({}));
  }

  // Whether the series of the groups, done side by side, came out as one series for
  // all regions would have: no region touches a region of another group, and no cell
  // outside the regions has regions of two groups around it at or above its elevation.
  // Only there can a series have read a level that another was still to change: a
  // region that reached the cell's elevation would have taken it as a candidate.
  bool groups_kept_apart(const std::vector<int64_t>& group_of) {
    std::vector<double> level_of(parent_.size());
    for (std::size_t label = 1; label < level_of.size(); ++label)
      level_of[label] = region(find(static_cast<int64_t>(label))).level;
    bool apart = true;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(&& : apart)
#endif
    for (int32_t row = 1; row <= shape_.nrows; ++row)
      for (int32_t col = 1; col <= shape_.ncols; ++col)
        if (!off_model(row, col)) apart = apart && cell_kept_apart(row, col, group_of, level_of);
    return apart;
  }

  // Writes the regions' levels into the elevation grid and marks the cells raised
  // with kChangedCell, by blocks of rows side by side: a cell reads only its own label.
  void write_levels() {
    in_ordered_parts(static_cast<std::size_t>(shape_.nrows), 1, [&](std::size_t first, std::size_t last, std::size_t) {
      for (auto row = static_cast<int32_t>(first) + 1; row <= static_cast<int32_t>(last); ++row)
        for (int32_t col = 1; col <= shape_.ncols; ++col) {
          if (labels_(row, col) <= 0) continue;
          const double level = region(root_of(label_at(row, col))).level;
          if (level == elevation_(row, col)) continue;
          elevation_(row, col) = level;
          labels_(row, col) = kChangedCell;
        }
    });
  }

 private:
  Region& region(int64_t label) { return regions_[static_cast<std::size_t>(label)]; }
  const Region& region(int64_t label) const { return regions_[static_cast<std::size_t>(label)]; }
  // While groups are done side by side, a cell between two of them may be marked by
  // both: their series read and write labels as atomics.
  double label(int32_t row, int32_t col) const {
    if constexpr (kGrouped) return std::atomic_ref<double>(labels_(row, col)).load(std::memory_order_relaxed);
    return labels_(row, col);
  }
  void set_label(int32_t row, int32_t col, double value) {
    if constexpr (kGrouped) std::atomic_ref<double>(labels_(row, col)).store(value, std::memory_order_relaxed);
    else labels_(row, col) = value;
  }
  int64_t label_at(int32_t row, int32_t col) const { return static_cast<int64_t>(label(row, col)); }
  bool in_region(int64_t cell) const { return label(shape_.row_of(cell), shape_.col_of(cell)) > 0; }
  // A region of another group than the series' own.
  bool foreign(int64_t label) const {
    return kGrouped && (*group_.group_of)[static_cast<std::size_t>(label)] != group_.own;
  }
  void note_clash() const { group_.clash->store(true, std::memory_order_relaxed); }
  bool off_model(int32_t row, int32_t col) const {
    return !shape_.contains(row, col) || is_nodata(elevation_(row, col));
  }

  // A cell outside the regions with a neighbour that is lower for good (one outside
  // the regions, whose elevation never changed, or a region whose last level is lower)
  // kept its direction whichever levels a series read.
  bool cell_kept_apart(int32_t row, int32_t col, const std::vector<int64_t>& group_of,
                       const std::vector<double>& level_of) const {
    const double own_label = labels_(row, col);
    const bool in_a_region = own_label > 0;
    const double z = elevation_(row, col);
    int64_t seen = in_a_region ? group_of[static_cast<std::size_t>(own_label)] : -1;
    bool clashes = false;
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (off_model(r, c)) continue;
      const double label = labels_(r, c);
      const bool neighbour_in_a_region = label > 0;
      const double last_level = neighbour_in_a_region ? level_of[static_cast<std::size_t>(label)] : elevation_(r, c);
      if (!in_a_region && last_level < z) return true;
      if (!neighbour_in_a_region) continue;
      const int64_t group = group_of[static_cast<std::size_t>(label)];
      clashes = clashes || (seen >= 0 && group != seen);
      seen = group;
    }
    return !clashes;
  }

  // Regions counted but not raised (at or above the spill ceiling) are counted again
  // by every run until a join changes them; `changed` (sorted) are evaluated anew.
  int64_t count_unchanged_stuck(const std::vector<int64_t>& changed) {
    std::size_t kept = 0;
    for (const int64_t label : stuck_)
      if (find(label) == label && !std::binary_search(changed.begin(), changed.end(), label)) stuck_[kept++] = label;
    stuck_.resize(kept);
    return static_cast<int64_t>(kept);
  }

  int64_t find(int64_t label) { return find_root(parent_, label); }

  // The root without shortening the way there, so that threads may search side by side.
  int64_t root_of(int64_t label) const {
    while (parent_[static_cast<std::size_t>(label)] != label) label = parent_[static_cast<std::size_t>(label)];
    return label;
  }

  // The level of another group's region is not read while that group's series may
  // change it: it counts as lower. groups_kept_apart later finds every case where it was
  // not, and lower it stays, since levels only rise.
  double level_at(int32_t row, int32_t col) const {
    const double raw = label(row, col);
    if (raw <= 0) return elevation_(row, col);
    const auto owner = static_cast<int64_t>(raw);
    return foreign(owner) ? -std::numeric_limits<double>::infinity() : region(root_of(owner)).level;
  }

  // A cell outside every region holds nodata in `labels_`, or, once pushed into the
  // rim heap of region `root`, kNodata - root: below 0 as well, so it stays outside.
  static double rim_mark(int64_t root) { return kNodata - static_cast<double>(root); }

  // A cell next to several cells of a region is pushed once per region root, unless
  // `again` (it has left the heap); after joins, or where another group's series
  // marks the cell as well, a duplicate may slip in, which does no harm. A series of
  // groups marks a cell only if no other group has taken it into a region since.
  void push_rim(int64_t root, int32_t row, int32_t col, bool again = false) {
    const double mark = rim_mark(root);
    if constexpr (!kGrouped) {
      if (!again && labels_(row, col) == mark) return;
      labels_(row, col) = mark;
    } else {
      std::atomic_ref<double> cell(labels_(row, col));
      double seen = cell.load(std::memory_order_relaxed);
      do {
        if (!again && seen == mark) return;
        if (seen > 0) return note_clash();
      } while (!cell.compare_exchange_weak(seen, mark, std::memory_order_relaxed));
    }
    std::vector<RimCell>& rim = region(root).rim;
    rim.push_back({elevation_(row, col), shape_.index(row, col)});
    std::push_heap(rim.begin(), rim.end(), LowerFirst{});
  }

  // The neighbours of a region cell: border contact, rim cells, and other regions.
  // Returns the root `root` has become after joining the regions it touches.
  int64_t take_in_neighbours(int64_t root, int32_t row, int32_t col) {
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (off_model(r, c)) {
        region(root).touches_border = true;
        continue;
      }
      const double raw = label(r, c);
      if (raw <= 0) {
        push_rim(root, r, c);
      } else if (foreign(static_cast<int64_t>(raw))) {
        note_clash();
      } else if (const int64_t other = find(static_cast<int64_t>(raw)); other != root) {
        root = join(root, other, r, c);
      }
    }
    return root;
  }

  void build_rims(const std::vector<int64_t>& labels) {
    for (const int64_t label : labels) region(label).has_rim = true;
    for (int32_t row = 1; row <= shape_.nrows; ++row)
      for (int32_t col = 1; col <= shape_.ncols; ++col) {
        if (labels_(row, col) <= 0) continue;
        const int64_t owner = label_at(row, col);
        if (!region(owner).has_rim) continue;
        for (const Direction& d : neighbours<N>()) {
          const int32_t r = row + d.row_offset, c = col + d.col_offset;
          if (!off_model(r, c) && labels_(r, c) <= 0) push_rim(owner, r, c);
        }
      }
  }

  // Joins region `other` (touching cell (row, col) of it) into `root`. A region that
  // never had a rim has never changed since run 1: its cells are relabelled to the
  // root one by one and its rim is taken in on the way. Two regions with rims are
  // joined by merging the smaller rim into the larger.
  int64_t join(int64_t root, int64_t other, int32_t row, int32_t col) {
    if (!region(other).has_rim) {
      absorb_region_without_rim(root, other, row, col);
      return find(root);
    }
    if (region(root).rim.size() < region(other).rim.size()) std::swap(root, other);
    Region& kept = region(root);
    Region& gone = region(other);
    kept.rim.insert(kept.rim.end(), gone.rim.begin(), gone.rim.end());
    // Rebuilding is linear; pushing one by one costs a logarithm per cell.
    if (gone.rim.size() * 16 > kept.rim.size()) {
      std::make_heap(kept.rim.begin(), kept.rim.end(), LowerFirst{});
    } else {
      for (auto end = kept.rim.end() - static_cast<std::ptrdiff_t>(gone.rim.size()); end != kept.rim.end();)
        std::push_heap(kept.rim.begin(), ++end, LowerFirst{});
    }
    kept.touches_border = kept.touches_border || gone.touches_border;
    std::vector<RimCell>().swap(gone.rim);
    parent_[static_cast<std::size_t>(other)] = root;
    return root;
  }

  void absorb_region_without_rim(int64_t root, int64_t other, int32_t row, int32_t col) {
    const double raw_other = static_cast<double>(other);
    region(root).touches_border = region(root).touches_border || region(other).touches_border;
    parent_[static_cast<std::size_t>(other)] = root;
    std::vector<GridCell>& stack = flood_;
    stack.assign(1, {row, col});
    set_label(row, col, static_cast<double>(root));
    while (!stack.empty()) {
      const GridCell cell = stack.back();
      stack.pop_back();
      for (const Direction& d : neighbours<N>()) {
        const int32_t r = cell.row + d.row_offset, c = cell.col + d.col_offset;
        if (off_model(r, c)) continue;
        const double raw = label(r, c);
        if (raw == raw_other) {
          set_label(r, c, static_cast<double>(root));
          stack.push_back({r, c});
        } else if (raw <= 0) {
          push_rim(root, r, c);
        }
      }
    }
  }

  // Drops the lowest rim cell. The next lowest is one of the front's two children,
  // and whether it has joined a region is asked next: their labels are fetched now.
  void pop_rim(std::vector<RimCell>& rim) const {
    for (std::size_t child = 1; child <= 2 && child < rim.size(); ++child)
      __builtin_prefetch(&labels_(shape_.row_of(rim[child].cell), shape_.col_of(rim[child].cell)));
    std::pop_heap(rim.begin(), rim.end(), LowerFirst{});
    rim.pop_back();
  }

  // Lowest rim cell that still has a direction, capped at kNoSpill like the rim scan.
  double spill_level(int64_t root) {
    const double level = region(root).level;
    std::vector<RimCell>& rim = region(root).rim;
    while (!rim.empty() && rim.front().elevation <= level && in_region(rim.front().cell)) pop_rim(rim);
    return rim.empty() ? kNoSpill : std::min(kNoSpill, rim.front().elevation);
  }

  // The candidates of a run lie scattered over the grid in the order of their rims, so
  // the labels and elevations around each are fetched a few candidates ahead.
  static constexpr std::size_t kPrefetchAhead = 8;
  // Regions and candidates a run needs before its parts are worth two threads, and the
  // candidates decided at a time, so that their neighbourhoods are still in the cache
  // when the joins that follow read them again.
  static constexpr std::size_t kEnoughRegions = 16;
  static constexpr std::size_t kEnoughCandidates = 64;
  static constexpr std::size_t kCandidateBlock = 512;
  void prefetch_around(int64_t cell) const {
    const int32_t row = shape_.row_of(cell), col = shape_.col_of(cell);
    for (int32_t r = std::max(1, row - 1); r <= std::min(shape_.nrows, row + 1); ++r) {
      __builtin_prefetch(&labels_(r, col));
      __builtin_prefetch(&elevation_(r, col));
    }
  }

  // A cell with a direction that no longer has a strictly lower neighbour while an
  // equally high one is in a region, as the direction pass would find it.
  bool loses_direction(int32_t row, int32_t col) const {
    const double z = elevation_(row, col);
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (!off_model(r, c) && level_at(r, c) < z) return false;
    }
    return true;
  }

  // What is decided for a candidate, and, when its block is joined in parts, what
  // became of one that loses its direction.
  enum Claim : char { kKeeps, kLoses, kLabelledHere, kPassedOver };

  // The direction-pass part of a run: rim cells at the new level of a raised region
  // join it when they have no lower neighbour left. Their elevation does not change,
  // so no other cell's direction changes with them. Nor does any level a candidate
  // compares with: a candidate joins only regions at its own elevation (a lower one
  // would keep its direction, and a region never lies above a neighbour outside it).
  // So whether a candidate loses its direction can be decided before the joins of the
  // candidates ahead of it, and the deciding is done side by side.
  template <typename Parts>
  void join_level_rim_cells(const std::vector<int64_t>& raised, Parts& helper) {
    const std::vector<Candidate>& candidates = level_rim_cells(raised, helper);
    std::vector<char>& loses = loses_;
    for (std::size_t block = 0; block < candidates.size(); block += kCandidateBlock) {
      const std::size_t end = std::min(candidates.size(), block + kCandidateBlock);
      loses.resize(end - block);
      helper.in_ordered_parts(end - block, kEnoughCandidates, [&](std::size_t first, std::size_t last, std::size_t) {
        for (std::size_t k = first; k < last; ++k) {
          if (k + kPrefetchAhead < last) prefetch_around(candidates[block + k + kPrefetchAhead].first.cell);
          const int64_t cell = candidates[block + k].first.cell;
          loses[k] = loses_direction(shape_.row_of(cell), shape_.col_of(cell)) ? kLoses : kKeeps;
        }
      });
      if (helper.splits(end - block, kEnoughCandidates)) {
        join_in_parts(&candidates[block], loses, helper);
      } else {
        for (std::size_t k = block; k < end; ++k)
          join_or_keep(candidates[k].first.cell, candidates[k].second, loses[k - block] == kLoses);
      }
    }
  }

  // The joins of a block of candidates decided in parts, on the same parts. First each
  // part labels its losing candidates with their owner's root; once all are labelled,
  // each part notes what lies around them. No region is joined before that is done,
  // so the roots read side by side are those of the block's start. The regions to join
  // and the rim cells are then taken in on one thread. The regions and the cells in
  // their rims come out as from the candidates joined one by one; only which label
  // becomes a root, and what a rim holds besides, may differ.
  // A cell on the rims of two regions may be labelled by two parts, one label staying:
  // the cell touches both regions, so both parts note the join.
  template <typename Parts>
  void join_in_parts(const Candidate* candidates, std::vector<char>& claims, Parts& helper) {
    helper.in_ordered_parts_twice(
        claims.size(), kEnoughCandidates,
        [&](std::size_t first, std::size_t last, std::size_t) {
          for (std::size_t k = first; k < last; ++k)
            if (claims[k] == kLoses) claims[k] = claim(candidates[k]) ? kLabelledHere : kPassedOver;
        },
        [&](std::size_t first, std::size_t last, std::size_t part) {
          for (std::size_t k = first; k < last; ++k)
            if (claims[k] == kLabelledHere) note_surroundings(candidates[k].first.cell, found_[part]);
        });
    for (const Found& found : found_) {
      for (const int64_t root : found.borders) region(find(root)).touches_border = true;
      for (const auto& [root, cell] : found.joins) {
        const int32_t row = shape_.row_of(cell), col = shape_.col_of(cell);
        const int64_t kept = find(root), other = find(label_at(row, col));
        if (kept != other) join(kept, other, row, col);
      }
    }
    for (std::size_t k = 0; k < claims.size(); ++k)
      if (claims[k] == kKeeps) join_or_keep(candidates[k].first.cell, candidates[k].second, false);
    // No rim cell noted has joined a region since: only cells of regions are relabelled.
    for (Found& found : found_) {
      for (const auto& [root, cell] : found.rims) push_rim(find(root), shape_.row_of(cell), shape_.col_of(cell));
      found.borders.clear();
      found.joins.clear();
      found.rims.clear();
    }
  }

  // Labels a candidate cell outside every region with its owner's root, unless another
  // part has labelled it or it has joined a region before; returns whether it labelled.
  bool claim(const Candidate& candidate) {
    const int64_t cell = candidate.first.cell;
    std::atomic_ref<double> label(labels_(shape_.row_of(cell), shape_.col_of(cell)));
    if (label.load(std::memory_order_relaxed) > 0) return false;
    label.store(static_cast<double>(root_of(candidate.second)), std::memory_order_relaxed);
    return true;
  }

  // What take_in_neighbours does around a newly labelled cell, noted instead of done.
  void note_surroundings(int64_t cell, Found& found) const {
    const int32_t row = shape_.row_of(cell), col = shape_.col_of(cell);
    const int64_t root = root_of(label_at(row, col));
    bool touches_border = false;
    for (const Direction& d : neighbours<N>()) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (off_model(r, c)) {
        touches_border = true;
      } else if (labels_(r, c) > 0) {
        if (root_of(label_at(r, c)) != root) found.joins.push_back({root, shape_.index(r, c)});
      } else if (labels_(r, c) != rim_mark(root)) {
        found.rims.push_back({root, shape_.index(r, c)});
      }
    }
    if (touches_border) found.borders.push_back(root);
  }

  // The rim cells at the level of each raised region, taken from its rim heap, region
  // by region; the regions' heaps are searched side by side.
  template <typename Parts>
  const std::vector<Candidate>& level_rim_cells(const std::vector<int64_t>& raised, Parts& helper) {
    std::vector<std::vector<Candidate>>& parts = candidate_parts_;
    for (std::vector<Candidate>& part : parts) part.clear();
    helper.in_ordered_parts(raised.size(), kEnoughRegions, [&](std::size_t first, std::size_t last, std::size_t part) {
      for (std::size_t k = first; k < last; ++k) {
        const double level = region(raised[k]).level;
        std::vector<RimCell>& rim = region(raised[k]).rim;
        while (!rim.empty() && rim.front().elevation <= level) {
          if (rim.front().elevation == level && !in_region(rim.front().cell)) {
            parts[part].push_back({rim.front(), raised[k]});
            prefetch_around(rim.front().cell);
          }
          pop_rim(rim);
        }
      }
    });
    for (std::size_t part = 1; part < parts.size(); ++part)
      parts[0].insert(parts[0].end(), parts[part].begin(), parts[part].end());
    return parts[0];
  }

  // A candidate that loses its direction joins the region of `owner`; one that keeps
  // it goes back into that region's rim heap. A candidate met again after it joined
  // is passed over.
  void join_or_keep(int64_t cell, int64_t owner, bool loses) {
    const int32_t row = shape_.row_of(cell), col = shape_.col_of(cell);
    if (label(row, col) > 0) return;
    const int64_t root = find(owner);
    if (loses) {
      set_label(row, col, static_cast<double>(root));
      take_in_neighbours(root, row, col);
    } else {
      push_rim(root, row, col, true);  // it left the rim heap when it became a candidate
    }
  }

  Grid& elevation_;
  Grid& labels_;  // region label of every cell without direction; below 0 elsewhere, see rim_mark
  GridShape shape_;
  // The table is shared; its entries are reached through spans, one load fewer than
  // through the vectors themselves.
  RegionTable& table_;
  std::span<int64_t> parent_;
  std::span<Region> regions_;
  GroupView group_;
  std::vector<int64_t> stuck_;  // roots counted but not raised at their last evaluation
  // The lists of a run, kept from run to run.
  std::vector<std::vector<Candidate>> candidate_parts_ = std::vector<std::vector<Candidate>>(most_parts());
  std::vector<char> loses_;
  std::vector<int64_t> changed_;
  std::vector<double> lowest_;
  std::vector<GridCell> flood_;
  std::vector<Found> found_ = std::vector<Found>(most_parts());
};

void print_run(Console& console, int32_t run_number, int64_t count) {
  console.print("calculating flow directions: run %d \n.", run_number);
  console.write("\n");
  console.print("%ld Sinks; filling sinks: run %d\n", static_cast<long>(count), run_number);
}

// The direction pass over the whole grid and run 1.
template <Neighbourhood N>
struct FirstRun {
  FirstRun(double tolerance, Grid& elevation, Grid& directions, Grid& sink_regions)
      : runs(elevation, sink_regions, table) {
    compute_flow_directions(N, elevation, directions, sink_regions);
    raised = runs.first_run(tolerance, count);
  }
  RegionTable table;
  SinkRuns<N> runs;
  int64_t count = 0;
  std::vector<int64_t> raised;
};

// The raised and stuck regions of run 1 by group, the largest groups first.
std::vector<GroupStart> starts_by_group(const std::vector<int64_t>& group_of, const std::vector<int64_t>& raised,
                                        const std::vector<int64_t>& stuck) {
  std::vector<int64_t> slot(group_of.size(), -1);
  std::vector<GroupStart> starts;
  const auto start_of = [&](int64_t label) -> GroupStart& {
    int64_t& k = slot[static_cast<std::size_t>(group_of[static_cast<std::size_t>(label)])];
    if (k < 0) {
      k = static_cast<int64_t>(starts.size());
      starts.push_back({group_of[static_cast<std::size_t>(label)], 0, {}, {}});
    }
    return starts[static_cast<std::size_t>(k)];
  };
  for (const int64_t label : raised) start_of(label).raised.push_back(label);
  for (const int64_t label : stuck) start_of(label).stuck.push_back(label);
  for (std::size_t label = 1; label < group_of.size(); ++label) {
    const int64_t k = slot[static_cast<std::size_t>(group_of[label])];
    if (k >= 0) ++starts[static_cast<std::size_t>(k)].labels;
  }
  std::sort(starts.begin(), starts.end(), [](const GroupStart& a, const GroupStart& b) {
    return a.labels != b.labels ? a.labels > b.labels : a.group < b.group;
  });
  return starts;
}

// The runs after run 1 as series of groups side by side. Returns the count of every
// run (index = run number) up to the last that raises a region, or nothing when the
// series of two groups clashed.
template <Neighbourhood N>
std::optional<std::vector<int64_t>> run_in_groups(FirstRun<N>& first, const std::vector<int64_t>& group_of,
                                                  double tolerance, Grid& elevation, Grid& sink_regions) {
  std::vector<GroupStart> starts = starts_by_group(group_of, first.raised, first.runs.take_stuck());
  std::vector<SeriesCounts> counts(most_parts());
  std::atomic<bool> clash{false};
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#endif
  {
    SinkRuns<N, true> series(elevation, sink_regions, first.table, GroupView{&group_of, 0, &clash});
    SeriesCounts& mine = counts[thread_number()];
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(dynamic, 1)
#endif
    for (std::size_t k = 0; k < starts.size(); ++k) series.run_group(starts[k], tolerance, mine);
  }
  if (clash.load() || !first.runs.groups_kept_apart(group_of)) return std::nullopt;
  int32_t runs = 0;
  for (const SeriesCounts& part : counts) runs = std::max(runs, part.runs);
  std::vector<int64_t> by_run(static_cast<std::size_t>(runs) + 1, 0);
  if (runs > 0) by_run[1] = first.count;
  int64_t from_earlier = 0;  // the stuck regions of the groups that raise nothing any more
  for (std::size_t run = 2; run < by_run.size(); ++run) {
    for (const SeriesCounts& part : counts) {
      if (run < part.from_run.size()) from_earlier += part.from_run[run];
      if (run < part.by_run.size()) by_run[run] += part.by_run[run];
    }
    by_run[run] += from_earlier;
  }
  return by_run;
}

template <Neighbourhood N>
int32_t run_all(double tolerance, Grid& elevation, Grid& directions, Grid& sink_regions, Console& console,
                const SinkGrouping& grouping) {
  auto first = std::make_unique<FirstRun<N>>(tolerance, elevation, directions, sink_regions);
  std::optional<std::vector<int64_t>> counts;
  // Groups can save time only when run 1 raises more than one region.
  if (grouping && first->raised.size() > 1) {
    counts = run_in_groups(*first, grouping(elevation, directions, sink_regions, first->runs.region_count()),
                           tolerance, elevation, sink_regions);
    if (!counts) {
      // The groups met after all: every run again, as one series.
      first.reset();
      first = std::make_unique<FirstRun<N>>(tolerance, elevation, directions, sink_regions);
    }
  }
  int32_t run_number = 0;
  if (counts) {
    run_number = static_cast<int32_t>(counts->size()) - 1;
    for (int32_t run = 1; run <= run_number; ++run) print_run(console, run, (*counts)[static_cast<std::size_t>(run)]);
  } else {
    // The runs' loops are small: they share spinning threads instead of OpenMP teams.
    PartsHelper helper;
    while (!first->raised.empty()) {
      print_run(console, ++run_number, first->count);
      first->runs.next_run(first->raised, tolerance, first->count, helper);
    }
  }
  first->runs.write_levels();
  update_flow_directions(N, elevation, directions, sink_regions);
  return run_number;
}

}  // namespace

int32_t fill_sinks_incrementally(Neighbourhood neighbourhood, double tolerance, Grid& elevation, Grid& directions,
                                 Grid& sink_regions, Console& console, const SinkGrouping& grouping) {
  return with_neighbourhood(neighbourhood, [&](auto n) {
    return run_all<n.value>(tolerance, elevation, directions, sink_regions, console, grouping);
  });
}

SinkGrouping grouping_by_basins(Neighbourhood neighbourhood) {
  return [neighbourhood](const Grid& elevation, const Grid& directions, const Grid& labels, int64_t region_count) {
    return group_sink_regions(neighbourhood, elevation, directions, labels, region_count);
  };
}

}  // namespace orograd
