#pragma once
// Helpers shared by the tests: temporary folders, files, small text grids and runs of
// the real binary.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/fatal.hpp"
#include "grid/grid.hpp"

namespace orograd::testing {

// A fresh, empty folder under the system's temporary folder, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void write_file(const std::string& path, const std::string& contents);
std::string read_file(const std::string& path);

// A text grid in the program's layout; values row by row, row 1 first.
std::string text_grid(int ncols, int nrows, const std::vector<double>& values, double cellsize = 1.0,
                      double xll = 0.0, double yll = 0.0, double nodata = -9999.0);

// A grid with these rows, row 1 (north) first. Pre: every row has the same length.
Grid grid_of(const std::vector<std::vector<double>>& rows);

// The five sections every control file must hold, each switched off.
inline const std::string kMandatorySections =
    "[Aspect]\n0\n[Gefaelle]\n0\n[Profilcurvature]\n0\n[Plancurvature]\n0\n[Curvature]\n0\n";

// The values of a text grid file, row by row.
std::vector<double> grid_values(const std::string& path);

struct RunResult {
  int exit_code = -1;
  std::string output;  // standard output of the run
  std::string errors;  // standard error of the run
};

// Runs the orograd binary with these arguments inside `working_dir`. A
// `file_size_limit` of 0 or more caps every file the run writes at that many bytes
// (RLIMIT_FSIZE with SIGXFSZ ignored): a write past it fails with EFBIG, as on a full
// disk, without privileges or a small filesystem.
RunResult run_binary(const std::string& working_dir, const std::vector<std::string>& arguments,
                     long file_size_limit = -1);

// run_binary for another program of the build (a companion tool), by its path.
RunResult run_program(const std::string& program, const std::string& working_dir,
                      const std::vector<std::string>& arguments, long file_size_limit = -1);

// Runs `action`, which must stop with a fatal error, and returns that error.
template <typename Action>
FatalError expect_fatal(Action&& action) {
  try {
    action();
  } catch (const FatalError& error) {
    return error;
  }
  ADD_FAILURE() << "expected a fatal error";
  return FatalError(-1, "");
}

}  // namespace orograd::testing
