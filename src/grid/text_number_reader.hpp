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
  // Takes a run of the numbers read: values[0, count) are the numbers first, first + 1,
  // ... of the read. Runs of one buffer may be taken side by side, on several threads,
  // so a take must not throw; no number is taken twice.
  using Take = std::function<void(const double* values, std::size_t count, int64_t first)>;
  // Reads up to `count` numbers as read_number would, one after another, and hands
  // them all on to `take`. Returns how many were read before the end of the file or
  // a text that is no number; the reader is left where that many read_number calls
  // would leave it. In the OpenMP build the text of a full buffer is cut at white
  // space and its pieces parsed side by side, while one thread reads the next part of
  // the file into a second buffer; then the pieces' numbers are handed on side by
  // side, so that their copying into fresh memory is shared too.
  int64_t read_numbers(int64_t count, const Take& take);

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
    std::size_t taken = 0;  // values handed on
    int64_t first = 0;      // the number of the read that the first value is
  };
  // Cuts [pos_, cut) at white space into `pieces` and parses them side by side, while
  // the text after `cut` and the next stretch of the file go into the second buffer.
  void parse_pieces(std::size_t cut, std::vector<Piece>& pieces);
  // Fills the second buffer: the text from `cut` to end_, then the file.
  void read_ahead(std::size_t cut);
  // Goes on in the second buffer after the whole of the first was taken; else appends
  // what was read ahead to the first, so that reading goes on where the take stopped.
  void continue_after(std::size_t cut);
  // Hands on the numbers of `pieces`, up to `wanted` of them, the first as number
  // `first` of the read, and moves the read position behind the last one taken, or to
  // the first text that is no number. Returns how many were taken.
  int64_t take_pieces(std::vector<Piece>& pieces, int64_t wanted, int64_t first, const Take& take);

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  // The second buffer, filled by read_ahead while a full buffer is parsed.
  std::vector<char> ahead_;
  std::size_t ahead_end_ = 0;
  std::size_t ahead_tail_ = 0;  // bytes of ahead_ copied from behind the cut
  bool ahead_eof_ = false;
};

}  // namespace orograd
