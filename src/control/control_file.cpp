#include "control/control_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/fatal.hpp"
#include "control/section_names.hpp"

namespace orograd {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

ControlFile::ControlFile(std::string name, std::string text, Console& console)
    : name_(std::move(name)), text_(std::move(text)), console_(&console) {}

ControlFile ControlFile::open(const std::string& name, Console& console) {
  std::ifstream in(name, std::ios::binary);
  if (!in) fatal(28, "error opening " + name + "\n", file_failure("read", name, errno));
  std::ostringstream text;
  text << in.rdbuf();
  return ControlFile(name, text.str(), console);
}

bool ControlFile::at_end() const {
  for (std::size_t i = pos_; i < text_.size(); ++i)
    if (!is_blank(text_[i])) return false;
  return true;
}

void ControlFile::skip_blanks() {
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
}

void ControlFile::skip_rest_of_line() {
  const std::size_t line_end = text_.find('\n', pos_);
  pos_ = line_end == std::string::npos ? text_.size() : line_end + 1;
}

bool ControlFile::find_section(std::string_view section) {
  pos_ = 0;
  section_ = section;
  for (;;) {
    skip_blanks();
    if (pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
    const std::string_view word(text_.data() + start, pos_ - start);
    // The header counts only when a line end follows it.
    skip_rest_of_line();
    const bool line_ended = pos_ > 0 && text_[pos_ - 1] == '\n';
    if (word == section) return line_ended;
    if (!line_ended) return false;
  }
}

void ControlFile::warn_unreadable(const char* expected, std::size_t start) {
  const std::size_t line_end = text_.find('\n', start);
  std::string found = text_.substr(start, line_end == std::string::npos ? std::string::npos : line_end - start);
  if (!found.empty() && found.back() == '\r') found.pop_back();
  if (found.empty())
    console_->print("warning: %s: %s expected, but the control file ends here; the setting is left unchanged\n",
                    section_.c_str(), expected);
  else
    console_->print("warning: %s: %s expected, found \"%s\"; the setting is left unchanged\n", section_.c_str(),
                    expected, found.c_str());
}

void ControlFile::warn_if_section_header(std::size_t start) {
  std::size_t end = start;
  while (end < text_.size() && !is_blank(text_[end])) ++end;
  const std::string header = text_.substr(start, end - start);
  if (!is_section_header(header)) return;
  const auto line = 1 + std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(start), '\n');
  console_->warn("section %s reads the section header %s in line %td of %s as a value; %s has too few lines",
                 section_.c_str(), header.c_str(), line, name_.c_str(), section_.c_str());
}

template <typename Integer>
bool ControlFile::read_integer(Integer& value, bool skip_line) {
  skip_blanks();
  const std::size_t start = pos_;
  warn_if_section_header(start);
  std::size_t digits = pos_;
  if (digits < text_.size() && (text_[digits] == '+' || text_[digits] == '-')) ++digits;
  std::size_t end = digits;
  while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') ++end;
  bool ok = end > digits;
  if (ok) {
    errno = 0;
    const std::string number = text_.substr(start, end - start);
    const long long parsed = std::strtoll(number.c_str(), nullptr, 10);
    ok = errno == 0 && parsed >= std::numeric_limits<Integer>::min() && parsed <= std::numeric_limits<Integer>::max();
    if (ok) value = static_cast<Integer>(parsed);
  }
  if (!ok) warn_unreadable("an integer", start);
  pos_ = ok ? end : start;
  if (skip_line) skip_rest_of_line();
  return ok;
}

bool ControlFile::read(int32_t& value) { return read_integer(value); }
bool ControlFile::read_leaving_rest_of_line(int32_t& value) { return read_integer(value, false); }
bool ControlFile::read(int64_t& value) { return read_integer(value); }

bool ControlFile::read(double& value) {
  skip_blanks();
  const std::size_t start = pos_;
  warn_if_section_header(start);
  const std::size_t line_end = text_.find('\n', start);
  const std::string line = text_.substr(start, line_end == std::string::npos ? std::string::npos : line_end - start);
  char* end = nullptr;
  const double parsed = std::strtod(line.c_str(), &end);
  const bool ok = end != line.c_str();
  if (ok)
    value = parsed;
  else
    warn_unreadable("a number", start);
  skip_rest_of_line();
  return ok;
}

bool ControlFile::read_word(std::string& value) {
  skip_blanks();
  const std::size_t start = pos_;
  warn_if_section_header(start);
  while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
  const bool ok = pos_ > start;
  if (ok)
    value = text_.substr(start, pos_ - start);
  else
    warn_unreadable("a word", start);
  skip_rest_of_line();
  return ok;
}

int32_t read_section_switch(ControlFile& control, std::string_view section) {
  int32_t switch_value = 0;
  if (control.find_section(section)) control.read(switch_value);
  return switch_value;
}

OutputRequest read_output_request(ControlFile& control, std::string_view section) {
  if (!control.find_section(section))
    fatal(1,
          format("key word \"%s\" not found in control file %s\n", std::string(section).c_str(),
                 control.name().c_str()),
          format("this run needs the section %s: add it with its switch line (0 switches it off)",
                 std::string(section).c_str()));
  OutputRequest request;
  control.read(request.switch_value);
  if (request.switch_value != 0) control.read_word(request.file_name);
  return request;
}

}  // namespace orograd
