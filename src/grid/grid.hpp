#pragma once
// The in-memory raster of a run, its common geometry and the 12-value header record.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "grid/grid_shape.hpp"

namespace orograd {

// The fixed nodata value of the program: every reader maps nodata to it.
inline constexpr double kNodata = -9999.0;

// A cell value as a whole number, truncated toward zero as a conversion to int does.
// Cells read from files may hold anything: values beyond the int range give the
// nearest int, and NaN gives the nodata value.
inline constexpr int32_t truncate_to_int(double value) {
  if (value != value) return static_cast<int32_t>(kNodata);
  if (value <= -2147483648.0) return INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// The common geometry of the run, set once by the first grid read.
struct GridHeader {
  int32_t ncols = 0;
  int32_t nrows = 0;
  double xllcorner = 0;
  double yllcorner = 0;
  double cellsize = 0;
  double nodata_value = 0;
};

// The 12-slot header record of the binary formats, indexed 1 to 12:
// ncols, nrows, xllcorner, yllcorner, cellsize, nodata_value, then count, minimum,
// maximum, sum, mean and standard deviation of the valid values of the grid in the
// file.
class GridFileHeader {
 public:
  double& operator[](int slot) { return slots_[slot - 1]; }
  double operator[](int slot) const { return slots_[slot - 1]; }
  double* data() { return slots_.data(); }
  const double* data() const { return slots_.data(); }

 private:
  std::array<double, 12> slots_{};
};

enum class OutputFormat { text = 0, single = 1, double_ = 2 };

// Rows of one block of a grid, in order; the block rule cuts a large raster into
// blocks so that it is never asked of the allocator in one piece.
std::vector<int32_t> block_rows(int32_t ncols, int32_t nrows);

// Mapped blocks of released grids, kept for the grids made after them. Every grid of
// a run has the same geometry, so a released block fits the next grid; clearing it
// costs far less than committing fresh pages, which virtual machines make costly. The
// blocks are unmapped with the pool. Safe to share among threads.
class BlockPool {
 public:
  BlockPool() = default;
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;
  ~BlockPool();

  // A kept block of exactly `bytes` bytes, no longer kept; nullptr when there is none.
  void* take(std::size_t bytes);
  // Keeps a mapped block of `bytes` bytes that no grid uses any more.
  void keep(void* block, std::size_t bytes);

 private:
  std::mutex mutex_;
  std::vector<std::pair<void*, std::size_t>> kept_;
};

// What the cells of a new grid hold: zeros, or, for a caller that writes every cell
// before it reads any, whatever the pool's block held last (fresh memory is zeros all
// the same), which saves clearing a block that is about to be overwritten.
enum class GridContents { zeros, unspecified };

// A raster of doubles with 1-based (row, column) access; row 1 is the northern row,
// column 1 the western. Zero-filled when made, unless asked otherwise. A
// default-constructed Grid holds nothing ("empty"); moving leaves the source empty.
class Grid {
 public:
  Grid() = default;
  Grid(Grid&& other) noexcept;
  Grid& operator=(Grid&& other) noexcept;
  Grid(const Grid&) = delete;
  Grid& operator=(const Grid&) = delete;

  // Allocates a zero-filled grid by the block rule; fatal (99, 800, 801, 802) on failure.
  // With a pool, its large blocks are taken from the pool where it keeps blocks of
  // their size, and go back to it when the grid is released; with `contents`
  // unspecified, a block taken from the pool is not cleared.
  static Grid allocate(int32_t ncols, int32_t nrows, const std::shared_ptr<BlockPool>& pool = nullptr,
                       GridContents contents = GridContents::zeros);
  // The size limits of allocate, checked without allocating: fatal 99 for negative
  // counts, 2^31 cells or more, or a row beyond the block rule's largest.
  static void check_size(int32_t ncols, int32_t nrows);

  bool held() const { return held_; }
  int32_t ncols() const { return ncols_; }
  int32_t nrows() const { return nrows_; }
  GridShape shape() const { return {nrows_, ncols_}; }

  double& operator()(int32_t row, int32_t col) { return rows_[row - 1][col - 1]; }
  double operator()(int32_t row, int32_t col) const { return rows_[row - 1][col - 1]; }
  // Pointer to column 1 of a row; the row's ncols values follow it.
  double* row(int32_t row) { return rows_[row - 1]; }
  const double* row(int32_t row) const { return rows_[row - 1]; }

  // Sets every cell to a value.
  void fill(double value);
  // Number of blocks the rows lie in (for tests of the block rule).
  std::size_t block_count() const { return blocks_.size(); }

 private:
  // One block of rows, zero-filled unless asked otherwise, released with the grid (to
  // the pool, if any).
  class Block {
   public:
    Block(std::size_t cells, const std::shared_ptr<BlockPool>& pool, GridContents contents);
    Block(Block&& other) noexcept;
    Block& operator=(Block&&) = delete;
    ~Block();
    double* data() const { return data_; }

   private:
    double* data_ = nullptr;
    std::size_t bytes_ = 0;
    bool mapped_ = false;
    std::shared_ptr<BlockPool> pool_;
  };
  bool held_ = false;
  int32_t ncols_ = 0;
  int32_t nrows_ = 0;
  std::vector<Block> blocks_;
  std::vector<double*> rows_;
};

// A new grid of the run's geometry, with blocks from `pool` if given; zero-filled
// unless `contents` is unspecified.
Grid allocate_grid(const GridHeader& header, const std::shared_ptr<BlockPool>& pool = nullptr,
                   GridContents contents = GridContents::zeros);

}  // namespace orograd
