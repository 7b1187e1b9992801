#pragma once
// Buffered reading of white-space separated numbers from a text grid, accepting what
// "%lf" accepts, without holding more than a small buffer of the file.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace orograd {

class TextNumberReader {
 public:
  explicit TextNumberReader(std::FILE* file);

  // Reads one white-space delimited word (header keyword); false at end of file.
  bool read_word(std::string& word);
  // Reads one number as "%lf" would; false at end of file or when no number starts here.
  bool read_number(double& value);
  // Whether a number starts at the next token, as read_number would read it; skips
  // white space but consumes nothing else. False at end of file.
  bool at_number();
  // Reads up to `count` numbers as read_number would, one after another, and hands
  // them on in file order, a run at a time, to take(values, n). Returns how many were
  // read before the end of the file or a text that is no number; the reader is left
  // where that many read_number calls would leave it. In the OpenMP build the text of
  // a full buffer is cut at white space and its pieces parsed side by side.
  int64_t read_numbers(int64_t count, const std::function<void(const double*, std::size_t)>& take);

 private:
  // Makes sure the buffer holds at least `wanted` bytes past the read position, or
  // everything up to the end of the file.
  void ensure(std::size_t wanted);
  bool skip_space();
  // The end of the last whole token in the buffer: its end at the end of the file,
  // else its last white space; pos_ when the buffer holds no white space.
  std::size_t end_of_whole_tokens() const;
  // The numbers of a stretch of the buffer that starts and ends at white space.
  struct Piece {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t stop = 0;  // where a text that is no number starts, or `end`
    std::vector<double> values;
  };
  // Cuts [pos_, cut) at white space into `pieces` and parses them side by side.
  void parse_pieces(std::size_t cut, std::vector<Piece>& pieces) const;
  // Hands on the numbers of `pieces` in order, up to `wanted` of them, and moves the
  // read position behind the last one taken, or to the first text that is no number.
  // Returns how many were taken.
  int64_t take_pieces(const std::vector<Piece>& pieces, int64_t wanted,
                      const std::function<void(const double*, std::size_t)>& take);

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace orograd
