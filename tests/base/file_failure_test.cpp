// The reasons given on standard error for failed file operations name the file, the
// system's reason and the likely fix.
#include <gtest/gtest.h>

#include <cerrno>

#include "base/fatal.hpp"

namespace orograd {
namespace {

TEST(FileFailure, ReasonAndLikelyFix) {
  const struct {
    const char* action;
    const char* file;
    int error_number;
    const char* expected;
  } cases[] = {
      {"write", "out/slope.asc", ENOENT,
       "cannot write out/slope.asc: No such file or directory (does the folder out/ exist?)"},
      {"write", "slope.asc", ENOENT, "cannot write slope.asc: No such file or directory (does the folder ./ exist?)"},
      {"read", "dem.asc", ENOENT,
       "cannot read dem.asc: No such file or directory (names are relative to the folder the program runs in; is "
       "the name right?)"},
      {"write", "a/b.asc", EACCES, "cannot write a/b.asc: Permission denied (check the permissions of a/b.asc and its folder)"},
      {"write", "b.asc", ENOSPC, "cannot write b.asc: No space left on device (the disk is full; free space or write elsewhere)"},
      {"read", "out", EISDIR, "cannot read out: Is a directory (that is a folder; give a file name)"},
      {"write", "b.asc", EIO, "cannot write b.asc: Input/output error"},
      {"write", "", ENOENT, "cannot write : No such file or directory (the name is empty: the control file lacks a line here)"},
  };
  for (const auto& c : cases) EXPECT_EQ(file_failure(c.action, c.file, c.error_number), c.expected);
}

}  // namespace
}  // namespace orograd
