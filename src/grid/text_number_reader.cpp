#include "grid/text_number_reader.hpp"

#include "grid/number_text.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

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

}  // namespace orograd
