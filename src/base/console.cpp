#include "base/console.hpp"

#include <cstdarg>

#include "base/fatal.hpp"

namespace orograd {

Console Console::capturing() {
  Console console;
  console.capture_ = true;
  return console;
}

void Console::write(std::string_view text) {
  if (capture_)
    captured_.append(text);
  else
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void Console::print(const char* fmt, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, fmt, copy);
  va_end(copy);
  if (length < 0) {
    va_end(args);
    return;
  }
  if (static_cast<std::size_t>(length) < sizeof buffer) {
    write(std::string_view(buffer, static_cast<std::size_t>(length)));
  } else {
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, fmt, args);
    write(text);
  }
  va_end(args);
}

void Console::warn(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const std::string line = "orograd: " + vformat(fmt, args) + "\n";
  va_end(args);
  if (capture_) {
    captured_warnings_ += line;
  } else {
    std::fflush(stdout);  // keeps the warning after the lines printed before it
    std::fputs(line.c_str(), stderr);
  }
}

void Console::flush() {
  if (!capture_) std::fflush(stdout);
}

}  // namespace orograd
