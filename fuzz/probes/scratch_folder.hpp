#pragma once
// The folder where a probe writes its input as files: one per process, emptied before
// each input so that files of earlier inputs never change the outcome.
#include <filesystem>
#include <string>
#include <string_view>

namespace orograd::probes {

// The process's scratch folder, emptied. Created on first use, removed at exit.
const std::filesystem::path& empty_scratch_folder();

// Writes `contents` to `name` in the scratch folder and returns the file's path.
std::string write_scratch_file(const std::string& name, std::string_view contents);

}  // namespace orograd::probes
