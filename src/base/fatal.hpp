#pragma once
// The one way a run stops on a failure: the message goes to standard output and the
// process ends with the exit code; a reason, when given, goes to standard error and
// says what failed, why and how to fix it. Files already written stay as they are.
#include <cstdarg>
#include <stdexcept>
#include <string>

namespace orograd {

// Thrown by fatal() and caught only in main(), which prints the message and returns
// the code. Never thrown inside a parallel loop.
class FatalError : public std::runtime_error {
 public:
  FatalError(int code, std::string message, std::string reason = "")
      : std::runtime_error(std::move(message)), code_(code), reason_(std::move(reason)) {}
  int code() const { return code_; }
  // The line for standard error (without the program's prefix); empty when none.
  const std::string& reason() const { return reason_; }

 private:
  int code_;
  std::string reason_;
};

[[noreturn]] void fatal(int code, std::string message, std::string reason = "");

// What failed with a file and why, from errno, with the likely fix:
// "cannot write out/a.asc: No such file or directory (does the folder out/ exist?)".
// `action` is the verb ("read", "write", "open").
std::string file_failure(const char* action, const std::string& file_name, int error_number);

// printf-style formatting into a std::string, for messages and console lines.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);

}  // namespace orograd
