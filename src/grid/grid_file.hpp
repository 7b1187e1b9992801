#pragma once
// An open grid file, closed when it goes out of scope.
#include <cstdio>
#include <memory>

namespace orograd {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using GridFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace orograd
