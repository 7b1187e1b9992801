#pragma once
// Buffered reading of white-space separated numbers from a text grid, accepting what
// "%lf" accepts, without holding more than a small buffer of the file.
#include <cstdint>
#include <cstdio>
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
  // Reads up to `count` numbers into `values`; returns how many were read before the
  // end of the file or a text that is no number.
  int32_t read_numbers(double* values, int32_t count);

 private:
  // Makes sure the buffer holds at least `wanted` bytes past the read position, or
  // everything up to the end of the file.
  void ensure(std::size_t wanted);
  bool skip_space();

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace orograd
