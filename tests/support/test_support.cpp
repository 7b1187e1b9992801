#include "support/test_support.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace orograd::testing {

TempDir::TempDir() {
  std::random_device device;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("orograd-test-" + std::to_string(device()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string text_grid(int ncols, int nrows, const std::vector<double>& values, double cellsize, double xll,
                      double yll, double nodata) {
  if (values.size() != static_cast<std::size_t>(ncols) * nrows) throw std::invalid_argument("text_grid size");
  std::string text;
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "ncols\t%d\nnrows\t%d\nxllcorner\t%.10g\nyllcorner\t%.10g\n", ncols, nrows, xll,
                yll);
  text += buffer;
  std::snprintf(buffer, sizeof buffer, "cellsize\t%g\nnodata_value\t%g\n", cellsize, nodata);
  text += buffer;
  for (int r = 0; r < nrows; ++r) {
    for (int c = 0; c < ncols; ++c) {
      std::snprintf(buffer, sizeof buffer, "%.17g%s", values[static_cast<std::size_t>(r) * ncols + c],
                    c + 1 < ncols ? "\t" : "\n");
      text += buffer;
    }
  }
  return text;
}

std::vector<double> grid_values(const std::string& path) {
  std::istringstream in(read_file(path));
  std::string line;
  for (int i = 0; i < 6; ++i) std::getline(in, line);
  std::vector<double> values;
  double value;
  while (in >> value) values.push_back(value);
  return values;
}

RunResult run_binary(const std::string& working_dir, const std::vector<std::string>& arguments,
                     long file_size_limit) {
  return run_program(OROGRAD_BINARY, working_dir, arguments, file_size_limit);
}

RunResult run_program(const std::string& program, const std::string& working_dir,
                      const std::vector<std::string>& arguments, long file_size_limit) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe");
  // Standard error goes to a file, so a full pipe can never block the child.
  std::FILE* errors = std::tmpfile();
  if (errors == nullptr) throw std::runtime_error("tmpfile");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    dup2(fileno(errors), STDERR_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    if (chdir(working_dir.c_str()) != 0) _exit(127);
    if (file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(file_size_limit), static_cast<rlim_t>(file_size_limit)};
      if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    std::vector<char*> argv;
    std::string binary = program;
    argv.push_back(binary.data());
    std::vector<std::string> copies(arguments);
    for (auto& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  RunResult result;
  std::array<char, 65536> buffer;
  ssize_t n;
  while ((n = read(pipe_ends[0], buffer.data(), buffer.size())) > 0) result.output.append(buffer.data(), n);
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::rewind(errors);
  while ((n = static_cast<ssize_t>(std::fread(buffer.data(), 1, buffer.size(), errors))) > 0)
    result.errors.append(buffer.data(), static_cast<std::size_t>(n));
  std::fclose(errors);
  return result;
}

}  // namespace orograd::testing
