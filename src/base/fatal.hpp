#pragma once
// The one way a run stops on a failure: the message goes to standard output and the
// process ends with the exit code. Files already written stay as they are.
#include <cstdarg>
#include <stdexcept>
#include <string>

namespace orograd {

// Thrown by fatal() and caught only in main(), which prints the message and returns
// the code. Never thrown inside a parallel loop.
class FatalError : public std::runtime_error {
 public:
  FatalError(int code, std::string message) : std::runtime_error(std::move(message)), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

[[noreturn]] void fatal(int code, std::string message);

// printf-style formatting into a std::string, for messages and console lines.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);

}  // namespace orograd
