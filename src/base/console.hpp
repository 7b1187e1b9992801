#pragma once
// The console sink: every progress line, table and message of a run goes through one
// Console, so tests can capture the exact text a run prints. The program's fixed lines
// go to standard output; hints and warnings added beyond them go to standard error,
// so that standard output keeps exactly the lines scripts rely on.
#include <cstdio>
#include <string>
#include <string_view>

namespace orograd {

class Console {
 public:
  // Writes to standard output.
  Console() = default;
  // Collects the text instead; captured() and captured_warnings() return it.
  static Console capturing();

  void write(std::string_view text);
  void print(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // A line for standard error, prefixed with "orograd: ".
  void warn(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void flush();

  const std::string& captured() const { return captured_; }
  const std::string& captured_warnings() const { return captured_warnings_; }

 private:
  bool capture_ = false;
  std::string captured_;
  std::string captured_warnings_;
};

}  // namespace orograd
