#include "base/fatal.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace orograd {

void fatal(int code, std::string message, std::string reason) {
  throw FatalError(code, std::move(message), std::move(reason));
}

namespace {

// The folder a file name lies in, as the user wrote it ("./" for a bare name).
std::string folder_of(const std::string& file_name) {
  const std::string folder = std::filesystem::path(file_name).parent_path().string();
  return folder.empty() ? "./" : folder + "/";
}

std::string likely_fix(const char* action, const std::string& file_name, int error_number) {
  if (file_name.empty()) return " (the name is empty: the control file lacks a line here)";
  const bool reading = std::strcmp(action, "read") == 0 || std::strcmp(action, "open") == 0;
  switch (error_number) {
    case ENOENT:
      if (!reading) return " (does the folder " + folder_of(file_name) + " exist?)";
      return " (names are relative to the folder the program runs in; is the name right?)";
    case EACCES:
    case EPERM:
      return " (check the permissions of " + file_name + " and its folder)";
    case ENOSPC:
    case EDQUOT:
      return " (the disk is full; free space or write elsewhere)";
    case EISDIR:
      return " (that is a folder; give a file name)";
    case ENOTDIR:
      return " (a part of the path is a file, not a folder)";
    default:
      return "";
  }
}

}  // namespace

std::string file_failure(const char* action, const std::string& file_name, int error_number) {
  return format("cannot %s %s: %s%s", action, file_name.c_str(), std::strerror(error_number),
                likely_fix(action, file_name, error_number).c_str());
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = vformat(fmt, args);
  va_end(args);
  return text;
}

std::string vformat(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, fmt, args);
  return text;
}

}  // namespace orograd
