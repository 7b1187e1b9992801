#include "probes/scratch_folder.hpp"

#include <unistd.h>

#include <fstream>

namespace orograd::probes {

namespace {

struct ScratchFolder {
  ScratchFolder() : path(std::filesystem::temp_directory_path() / ("orograd-probe-" + std::to_string(getpid()))) {}
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

const std::filesystem::path& scratch_folder() {
  static const ScratchFolder folder;
  return folder.path;
}

}  // namespace

const std::filesystem::path& empty_scratch_folder() {
  const std::filesystem::path& folder = scratch_folder();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string write_scratch_file(const std::string& name, std::string_view contents) {
  const std::string path = (scratch_folder() / name).string();
  std::ofstream(path, std::ios::binary).write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return path;
}

}  // namespace orograd::probes
