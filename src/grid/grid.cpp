#include "grid/grid.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/fatal.hpp"
#include "base/huge_pages.hpp"

namespace orograd {

namespace {

// Commits the pages of a fresh mapping, asking for huge pages first (huge_pages.hpp).
// On virtual machines the kernel's clearing of fresh pages is costly, and committing
// the whole mapping at once would leave it to one thread; the OpenMP build commits
// pieces of the mapping on all threads. Where the kernel cannot commit a range on
// request, the first write to each of its pages commits it: the pages hold zeros
// already, so writing a zero changes nothing.
void commit_pages(char* block, std::size_t bytes) {
  advise_huge_pages(block, bytes);
  constexpr std::size_t kPiece = std::size_t{1} << 21, kPage = 4096;
  const auto pieces = static_cast<int64_t>((bytes + kPiece - 1) / kPiece);
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int64_t piece = 0; piece < pieces; ++piece) {
    char* start = block + static_cast<std::size_t>(piece) * kPiece;
    const std::size_t length = std::min(kPiece, bytes - static_cast<std::size_t>(piece) * kPiece);
#ifdef MADV_POPULATE_WRITE
    if (madvise(start, length, MADV_POPULATE_WRITE) == 0) continue;
#endif
    for (std::size_t page = 0; page < length; page += kPage) start[page] = 0;
  }
}

// Zeros a reused block, in pieces on all threads.
void clear_block(char* block, std::size_t bytes) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  const auto pieces = static_cast<int64_t>((bytes + kPiece - 1) / kPiece);
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int64_t piece = 0; piece < pieces; ++piece) {
    const std::size_t start = static_cast<std::size_t>(piece) * kPiece;
    std::memset(block + start, 0, std::min(kPiece, bytes - start));
  }
}

// A row of 8*ncols bytes plus 24 bytes of allocator overhead must fit this bound.
constexpr uint64_t kLargestRow = 4294967272ULL;
constexpr uint64_t kRowOverhead = 24;

}  // namespace

// Rows per block: blocks of a power-of-two span (less the overhead) while the rest
// is large, then one last block. The constants (1/21 of the raster as the "small
// rest", the base-2 factor 1.442695041111) keep the layout of the original rule.
std::vector<int32_t> block_rows(int32_t ncols, int32_t nrows) {
  const uint64_t C = static_cast<uint64_t>(ncols);
  const uint64_t R = static_cast<uint64_t>(nrows);
  const uint64_t S = 8 * C;
  const uint64_t T = 8 * C * R;
  if (S + kRowOverhead > kLargestRow)
    fatal(99, "too many columns in the matrices\n",
          format("a row of %d columns takes more than 4 GiB; is ncols in the grid's header right?", ncols));
  const uint64_t B = static_cast<uint64_t>(static_cast<double>(T) * 0.04761904838);

  std::vector<int32_t> blocks;
  uint64_t d = 1;
  uint64_t A = T;
  while (A > 0) {
    const auto k = static_cast<int>(std::ceil(std::log(static_cast<double>(A + kRowOverhead)) * 1.442695041111));
    const uint64_t span = k >= 64 ? UINT64_MAX : (uint64_t{1} << k);
    if (B >= A && span < kLargestRow) break;
    const uint64_t half = k >= 1 ? (uint64_t{1} << (k - 1)) : 0;
    if (S + kRowOverhead > half) break;
    const uint64_t Q = half - kRowOverhead;
    uint64_t m = Q / S;
    if (m < 1) m = 1;
    if (m > R - d + 1) m = R - d + 1;
    blocks.push_back(static_cast<int32_t>(m));
    A = (R - m - d + 1) * 8 * C;
    d += m;
  }
  if (d <= R || blocks.empty()) blocks.push_back(static_cast<int32_t>(R - d + 1));
  return blocks;
}

BlockPool::~BlockPool() {
  for (const auto& [block, bytes] : kept_) munmap(block, bytes);
}

void* BlockPool::take(std::size_t bytes) {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto kept = kept_.begin(); kept != kept_.end(); ++kept)
    if (kept->second == bytes) {
      void* block = kept->first;
      kept_.erase(kept);
      return block;
    }
  return nullptr;
}

void BlockPool::keep(void* block, std::size_t bytes) {
  const std::lock_guard<std::mutex> lock(mutex_);
  kept_.emplace_back(block, bytes);
}

// Large blocks are mapped with their pages committed up front: every cell of a grid is
// used, and committing a block in one call costs far less than a page fault per page.
// Mapped memory is zero-filled like calloc's; a block from the pool is cleared unless
// its contents do not matter.
Grid::Block::Block(std::size_t cells, const std::shared_ptr<BlockPool>& pool, GridContents contents)
    : pool_(pool) {
  constexpr std::size_t kMappedFrom = std::size_t{1} << 20;
  bytes_ = (cells > 0 ? cells : 1) * sizeof(double);
  if (bytes_ >= kMappedFrom && pool_ != nullptr) {
    if (void* kept = pool_->take(bytes_)) {
      data_ = static_cast<double*>(kept);
      mapped_ = true;
      if (contents == GridContents::zeros) clear_block(static_cast<char*>(kept), bytes_);
      return;
    }
  }
  if (bytes_ >= kMappedFrom) {
    void* mapped = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped != MAP_FAILED) {
      data_ = static_cast<double*>(mapped);
      mapped_ = true;
      commit_pages(static_cast<char*>(mapped), bytes_);
      return;
    }
  }
  data_ = static_cast<double*>(std::calloc(bytes_ / sizeof(double), sizeof(double)));
}

Grid::Block::Block(Block&& other) noexcept
    : data_(other.data_), bytes_(other.bytes_), mapped_(other.mapped_), pool_(std::move(other.pool_)) {
  other.data_ = nullptr;
}

Grid::Block::~Block() {
  if (data_ == nullptr) return;
  if (!mapped_)
    std::free(data_);
  else if (pool_ != nullptr)
    pool_->keep(data_, bytes_);
  else
    munmap(data_, bytes_);
}

Grid::Grid(Grid&& other) noexcept
    : held_(other.held_),
      ncols_(other.ncols_),
      nrows_(other.nrows_),
      blocks_(std::move(other.blocks_)),
      rows_(std::move(other.rows_)) {
  other.held_ = false;
  other.ncols_ = other.nrows_ = 0;
}

Grid& Grid::operator=(Grid&& other) noexcept {
  if (this != &other) {
    held_ = other.held_;
    ncols_ = other.ncols_;
    nrows_ = other.nrows_;
    blocks_ = std::move(other.blocks_);
    rows_ = std::move(other.rows_);
    other.held_ = false;
    other.ncols_ = other.nrows_ = 0;
    other.blocks_.clear();
    other.rows_.clear();
  }
  return *this;
}

void Grid::check_size(int32_t ncols, int32_t nrows) {
  if (ncols < 0 || nrows < 0)
    fatal(99, "too many columns in the matrices\n", format("a grid cannot have %d columns and %d rows", ncols, nrows));
  // Cell counts stay below 2^31 so that no cell index or count wraps around.
  if (static_cast<int64_t>(ncols) * nrows > INT32_MAX)
    fatal(99, format("grid of %d columns and %d rows exceeds the limit of 2147483647 cells\n", ncols, nrows),
          "cut the DEM into parts below 2^31 cells, or check ncols and nrows in the grid's header");
  block_rows(ncols, nrows);  // refuses rows longer than the block rule can place
}

Grid Grid::allocate(int32_t ncols, int32_t nrows, const std::shared_ptr<BlockPool>& pool, GridContents contents) {
  check_size(ncols, nrows);
  const std::vector<int32_t> blocks = block_rows(ncols, nrows);

  Grid grid;
  try {
    grid.rows_.assign(static_cast<std::size_t>(nrows), nullptr);
    grid.blocks_.reserve(blocks.size());
  } catch (const std::bad_alloc&) {
    fatal(800, "memory allocation error 1 in matrix()\n",
          format("not even the row table of a grid of %d rows fits in memory; close other programs", nrows));
  }
  int32_t first_row = 0;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const std::size_t cells = static_cast<std::size_t>(blocks[b]) * static_cast<std::size_t>(ncols);
    Block block(cells, pool, contents);
    if (block.data() == nullptr)
      fatal(b + 1 == blocks.size() ? 801 : 802, "memory allocation error 2 in matrix()\n",
            format("a grid of %d columns and %d rows needs %.2f GiB, more than the memory left; close other "
                   "programs or cut the DEM into parts",
                   ncols, nrows, 8.0 * ncols * nrows / (1 << 30)));
    grid.blocks_.push_back(std::move(block));
    double* const first = grid.blocks_.back().data();
    for (int32_t r = 0; r < blocks[b]; ++r)
      grid.rows_[static_cast<std::size_t>(first_row + r)] = first + static_cast<std::size_t>(r) * ncols;
    first_row += blocks[b];
  }
  grid.held_ = true;
  grid.ncols_ = ncols;
  grid.nrows_ = nrows;
  return grid;
}

void Grid::fill(double value) {
  for (int32_t r = 1; r <= nrows_; ++r) {
    double* cells = row(r);
    for (int32_t c = 0; c < ncols_; ++c) cells[c] = value;
  }
}

Grid allocate_grid(const GridHeader& header, const std::shared_ptr<BlockPool>& pool, GridContents contents) {
  return Grid::allocate(header.ncols, header.nrows, pool, contents);
}

}  // namespace orograd
