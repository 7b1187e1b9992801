#pragma once
// The console sink: every progress line, table and message of a run goes through one
// Console, so tests can capture the exact text a run prints.
#include <cstdio>
#include <string>
#include <string_view>

namespace orograd {

class Console {
 public:
  // Writes to standard output.
  Console() = default;
  // Collects the text instead; captured() returns it.
  static Console capturing();

  void write(std::string_view text);
  void print(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void flush();

  const std::string& captured() const { return captured_; }

 private:
  bool capture_ = false;
  std::string captured_;
};

}  // namespace orograd
