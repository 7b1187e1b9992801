#pragma once
// The preprocessed control file as the sections read it: find a section by its
// bracketed name, then read its values one per line with scanf-like rules.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/console.hpp"

namespace orograd {

class ControlFile {
 public:
  // `name` is the preprocessed file's name, kept for messages; `text` its contents.
  ControlFile(std::string name, std::string text, Console& console);
  // Reads the preprocessed control file; fatal 28 ("error opening ...") on failure.
  static ControlFile open(const std::string& name, Console& console);

  const std::string& name() const { return name_; }
  const std::string& text() const { return text_; }
  // Whether nothing but blanks is left to read.
  bool at_end() const;

  // Moves to just after the header line of the first section named `section`
  // (compared byte for byte with the first word of a line). False when there is no
  // such header, or when it is the last line and no line end follows it.
  bool find_section(std::string_view section);

  // Value readers: skip blanks and blank lines, read one value as "%d", "%ld", "%lf"
  // or "%s" would, then discard the rest of the line. A value that does not parse
  // leaves `value` unchanged and prints a warning naming the section and the text
  // found; its line is still consumed. A value that is a section header (a bracketed
  // word) means the section ran out of lines; that is warned on standard error,
  // naming both sections, and the header is read like any other value. Return
  // whether a value was read.
  bool read(int32_t& value);
  bool read(int64_t& value);
  bool read(double& value);
  bool read_word(std::string& value);
  // Reads an integer as read(int32_t&) does but leaves the rest of its line, so the
  // next value read is the next word, on the same line or a later one.
  bool read_leaving_rest_of_line(int32_t& value);

 private:
  void skip_blanks();
  void skip_rest_of_line();
  void warn_unreadable(const char* expected, std::size_t start);
  void warn_if_section_header(std::size_t start);
  template <typename Integer>
  bool read_integer(Integer& value, bool skip_line = true);

  std::string name_;
  std::string text_;
  std::size_t pos_ = 0;
  std::string section_;
  Console* console_;
};

// A section that opens with a switch line and, when the switch is non-zero, an
// output file-name line.
struct OutputRequest {
  int32_t switch_value = 0;
  std::string file_name;
};

// Finds an optional section and reads the switch on its first line; 0 when the
// section is missing. After a non-zero switch the section's next line is read next.
int32_t read_section_switch(ControlFile& control, std::string_view section);

// Reads a mandatory section of that shape; fatal 1 when the section is missing.
// With the switch 0 the file name stays empty.
OutputRequest read_output_request(ControlFile& control, std::string_view section);

}  // namespace orograd
