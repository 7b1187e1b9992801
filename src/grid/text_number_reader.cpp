#include "grid/text_number_reader.hpp"

#include "grid/number_text.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
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

// Reads `file` into `buffer` from `end` on until `enough` bytes are there, the buffer
// is full or the file ends (setting `eof`); returns the new end.
std::size_t read_into(std::FILE* file, std::vector<char>& buffer, std::size_t end, std::size_t enough, bool& eof) {
  while (end < enough && end < buffer.size() && !eof) {
    const std::size_t n = std::fread(buffer.data() + end, 1, buffer.size() - end, file);
    end += n;
    if (n == 0) eof = true;
  }
  return end;
}

}  // namespace

TextNumberReader::TextNumberReader(std::FILE* file) : file_(file), buffer_(buffer_size_for(file)) {}

void TextNumberReader::ensure(std::size_t wanted) {
  if (end_ - pos_ >= wanted || eof_) return;
  std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  end_ = read_into(file_, buffer_, end_, wanted, eof_);
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

std::size_t TextNumberReader::end_of_whole_tokens() const {
  if (eof_) return end_;
  std::size_t cut = end_;
  while (cut > pos_ && !is_space(buffer_[cut - 1])) --cut;
  return cut;
}

namespace {

// Parses up to `most` numbers of [first, last), handing each to `use`; returns where
// parsing stopped: behind the last number parsed, at a text that is no number, or at
// `last`.
template <typename Use>
const char* parse_numbers(const char* first, const char* last, std::size_t most, const Use& use) {
  const char* p = first;
  for (std::size_t k = 0; k < most; ++k) {
    while (p < last && is_space(*p)) ++p;
    if (p == last) return last;
    double value;
    const char* end = parse_number(p, last, value);
    if (end == p) return p;
    use(value);
    p = end;
  }
  return p;
}

// Parses the numbers of [first, last) into `values`; returns where a text that is no
// number starts, or `last`.
const char* parse_piece(const char* first, const char* last, std::vector<double>& values) {
  values.clear();
  return parse_numbers(first, last, SIZE_MAX, [&](double value) { values.push_back(value); });
}

}  // namespace

void TextNumberReader::parse_pieces(std::size_t cut, std::vector<Piece>& pieces) {
  const std::size_t count = pieces.size(), span = cut - pos_;
  // Each piece starts at the first white space from its share of the text on, so no
  // token is cut in two.
  const auto start_of = [&](std::size_t piece) {
    std::size_t at = piece == count ? cut : pos_ + span * piece / count;
    while (piece != 0 && at < cut && !is_space(buffer_[at])) ++at;
    return at;
  };
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#pragma omp single
#endif
  {
#if !OROGRAD_SEQUENTIAL
#pragma omp task
#endif
    read_ahead(cut);
#if !OROGRAD_SEQUENTIAL
#pragma omp taskloop grainsize(1)
#endif
    for (std::size_t piece = 0; piece < count; ++piece) {
      Piece& p = pieces[piece];
      p.begin = start_of(piece);
      p.end = start_of(piece + 1);
      p.stop = static_cast<std::size_t>(parse_piece(buffer_.data() + p.begin, buffer_.data() + p.end, p.values) -
                                        buffer_.data());
    }
  }
}

void TextNumberReader::read_ahead(std::size_t cut) {
  ahead_.resize(buffer_.size());
  ahead_tail_ = end_ - cut;
  std::memcpy(ahead_.data(), buffer_.data() + cut, ahead_tail_);
  ahead_eof_ = eof_;
  ahead_end_ = read_into(file_, ahead_, ahead_tail_, ahead_.size(), ahead_eof_);
}

void TextNumberReader::continue_after(std::size_t cut) {
  if (pos_ == cut) {
    buffer_.swap(ahead_);
    pos_ = 0;
    end_ = ahead_end_;
  } else {
    const std::size_t fresh = ahead_end_ - ahead_tail_;
    buffer_.resize(std::max(buffer_.size(), end_ + fresh));
    std::memcpy(buffer_.data() + end_, ahead_.data() + ahead_tail_, fresh);
    end_ += fresh;
  }
  eof_ = ahead_eof_;
}

int64_t TextNumberReader::take_pieces(std::vector<Piece>& pieces, int64_t wanted, int64_t first, const Take& take) {
  int64_t done = 0;
  std::size_t used = 0;
  for (Piece& p : pieces) {
    p.first = first + done;
    p.taken = static_cast<std::size_t>(std::min<int64_t>(wanted - done, static_cast<int64_t>(p.values.size())));
    done += static_cast<int64_t>(p.taken);
    ++used;
    if (p.taken < p.values.size()) {
      // The wanted numbers end inside this piece: parse up to the end of the last one
      // again, within the piece, as parse_piece did; the file has been read ahead.
      const char* at = parse_numbers(buffer_.data() + p.begin, buffer_.data() + p.end, p.taken, [](double) {});
      pos_ = static_cast<std::size_t>(at - buffer_.data());
      break;
    }
    pos_ = p.stop;
    if (p.stop != p.end) break;
  }
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (std::size_t k = 0; k < used; ++k)
    if (pieces[k].taken > 0) take(pieces[k].values.data(), pieces[k].taken, pieces[k].first);
  return done;
}

int64_t TextNumberReader::read_numbers(int64_t count, const Take& take) {
  // Buffers with less text than this, and a last one of a single token, are read
  // number by number, a batch at a time.
  constexpr std::size_t kPiecesFrom = 1 << 16;
  constexpr int64_t kBatch = 4096;
#if OROGRAD_SEQUENTIAL
  std::vector<Piece> pieces(1);
#else
  // More pieces than threads: one thread reads ahead for part of the time.
  std::vector<Piece> pieces(4 * static_cast<std::size_t>(std::max(1, omp_get_max_threads())));
#endif
  int64_t done = 0;
  while (done < count) {
    ensure(buffer_.size());
    const std::size_t cut = end_of_whole_tokens();
    if (cut - pos_ >= kPiecesFrom) {
      parse_pieces(cut, pieces);
      done += take_pieces(pieces, count - done, done, take);
      const bool stopped = pos_ != cut;
      continue_after(cut);
      if (stopped) return done;
      continue;
    }
    std::vector<double>& batch = pieces.front().values;
    batch.clear();
    double value;
    while (static_cast<int64_t>(batch.size()) < std::min<int64_t>(count - done, kBatch) && read_number(value))
      batch.push_back(value);
    if (!batch.empty()) take(batch.data(), batch.size(), done);
    done += static_cast<int64_t>(batch.size());
    if (batch.size() < static_cast<std::size_t>(kBatch) && done < count) return done;
  }
  return done;
}

}  // namespace orograd
