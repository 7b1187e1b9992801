#include "grid/text_number_reader.hpp"

#include "grid/number_text.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

namespace orograd {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
// Longest number text handed to the parser in one piece; longer digit runs are rare
// enough to take the slow path through strtod on a copy.
constexpr std::size_t kLookahead = 4096;

// A small file gets a buffer of its own size: the buffer is cleared when it is made,
// and a megabyte cleared per tiny grid dominates reading it.
std::size_t buffer_size_for(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return kBufferSize;
  return std::clamp<std::size_t>(static_cast<std::size_t>(status.st_size) + 1, 2 * kLookahead, kBufferSize);
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Below this many bytes of words the other cores are not woken.
constexpr std::ptrdiff_t kSharedFrom = 1 << 16;

// Words of the buffer a core parses: [first, last) starts at white space or at the
// first word and ends before one.
struct WordRange {
  const char* first = nullptr;
  const char* last = nullptr;
  int64_t words = 0;
  int64_t parsed = 0;          // words parsed into cells
  const char* end = nullptr;   // end of the last word parsed
};

void store(Grid& grid, int64_t cell, double value) {
  grid(static_cast<int32_t>(cell / grid.ncols() + 1), static_cast<int32_t>(cell % grid.ncols() + 1)) = value;
}

// Splits [first, last), which ends at white space or at the end of the file, into
// `parts` ranges of whole words.
std::vector<WordRange> split_words(const char* first, const char* last, int parts) {
  std::vector<WordRange> ranges(static_cast<std::size_t>(parts));
  const char* start = first;
  for (int k = 0; k < parts; ++k) {
    const char* split = k + 1 == parts ? last : std::max(start, first + (last - first) * (k + 1) / parts);
    while (split < last && !is_space(*split)) ++split;
    ranges[static_cast<std::size_t>(k)].first = start;
    ranges[static_cast<std::size_t>(k)].last = split;
    start = split;
  }
  return ranges;
}

int64_t count_words(const char* p, const char* last) {
  int64_t words = 0;
  bool in_word = false;
  for (; p < last; ++p) {
    const bool space = is_space(*p);
    words += !space && !in_word;
    in_word = !space;
  }
  return words;
}

// Parses up to `wanted` words of the range into the cells from `cell` on, and stops
// before a word that is not a number as a whole.
void parse_words(WordRange& range, int64_t wanted, Grid& grid, int64_t cell) {
  const char* p = range.first;
  for (; range.parsed < wanted; ++range.parsed) {
    while (is_space(*p)) ++p;  // a word follows, since fewer than `words` were parsed
    double value;
    const char* end = parse_number(p, range.last, value);
    if (end == p || (end < range.last && !is_space(*end))) return;
    store(grid, cell + range.parsed, value);
    range.end = p = end;
  }
}

}  // namespace

TextNumberReader::TextNumberReader(std::FILE* file) : file_(file), buffer_(buffer_size_for(file)) {}

void TextNumberReader::ensure(std::size_t wanted) {
  if (end_ - pos_ >= wanted || eof_) return;
  std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  while (end_ < buffer_.size() && !eof_) {
    const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += n;
    if (n == 0) eof_ = true;
    if (end_ - pos_ >= wanted) break;
  }
}

bool TextNumberReader::skip_space() {
  for (;;) {
    while (pos_ < end_ && is_space(buffer_[pos_])) ++pos_;
    if (pos_ < end_) return true;
    ensure(kLookahead);
    if (pos_ >= end_) return false;
  }
}

bool TextNumberReader::read_word(std::string& word) {
  word.clear();
  if (!skip_space()) return false;
  for (;;) {
    while (pos_ < end_ && !is_space(buffer_[pos_])) word.push_back(buffer_[pos_++]);
    if (pos_ < end_) return true;
    ensure(kLookahead);
    if (pos_ >= end_) return true;
  }
}

bool TextNumberReader::read_number(double& value) {
  if (!skip_space()) return false;
  ensure(kLookahead);
  const char* first = buffer_.data() + pos_;
  const char* last = buffer_.data() + end_;
  const char* end = parse_number(first, last, value);
  if (end == first) return false;
  pos_ += static_cast<std::size_t>(end - first);
  return true;
}

bool TextNumberReader::at_number() {
  if (!skip_space()) return false;
  ensure(kLookahead);
  double value;
  const char* first = buffer_.data() + pos_;
  return parse_number(first, buffer_.data() + end_, value) != first;
}

// In the same file as read_number, so the per-cell loop is compiled as one piece.
int32_t TextNumberReader::read_numbers(double* values, int32_t count) {
  for (int32_t i = 0; i < count; ++i)
    if (!read_number(values[i])) return i;
  return count;
}

int64_t TextNumberReader::read_cells(Grid& grid) {
  const int64_t cells = static_cast<int64_t>(grid.ncols()) * grid.nrows();
  int64_t done = 0;
  double value;
  while (done < cells) {
    ensure(buffer_.size());
    const char* first = buffer_.data() + pos_;
    const char* last = buffer_.data() + end_;
    if (!eof_)
      while (last > first && !is_space(last[-1])) --last;  // whole words only
    if (last == first) {  // the end of the file, or a word longer than the buffer
      if (!read_number(value)) return done;
      store(grid, done++, value);
      continue;
    }
    int parts = 1;
#if !OROGRAD_SEQUENTIAL
    if (last - first >= kSharedFrom) parts = omp_get_max_threads();
#endif
    std::vector<WordRange> ranges = split_words(first, last, parts);
    std::vector<int64_t> starts(ranges.size(), done);  // the cell of each range's first word
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static, 1) if (parts > 1)
#endif
    for (int k = 0; k < parts; ++k) ranges[static_cast<std::size_t>(k)].words = count_words(ranges[k].first, ranges[k].last);
    for (std::size_t k = 1; k < ranges.size(); ++k) starts[k] = starts[k - 1] + ranges[k - 1].words;
    const auto wanted = [&](std::size_t k) { return std::clamp<int64_t>(cells - starts[k], 0, ranges[k].words); };
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static, 1) if (parts > 1)
#endif
    for (int k = 0; k < parts; ++k) parse_words(ranges[static_cast<std::size_t>(k)], wanted(static_cast<std::size_t>(k)), grid, starts[static_cast<std::size_t>(k)]);
    for (std::size_t k = 0; k < ranges.size(); ++k) {
      const WordRange& range = ranges[k];
      done += range.parsed;
      pos_ = static_cast<std::size_t>((range.parsed > 0 ? range.end : range.first) - buffer_.data());
      if (range.parsed < wanted(k)) {
        // A word that is not a number as a whole: from it on, one by one as ever.
        while (done < cells && read_number(value)) store(grid, done++, value);
        return done;
      }
      if (done == cells) break;
    }
    if (done < cells) pos_ = static_cast<std::size_t>(last - buffer_.data());
  }
  return done;
}

}  // namespace orograd
