#pragma once
// The control-file preprocessor: resolves `$set` symbols, "//" joins and "#" comments
// into the preprocessed control file that the rest of the run reads.
#include <string>

#include "base/console.hpp"

namespace orograd {

// The preprocessed file's name: the extension (the last "." after the last
// backslash or slash, or after the first character) replaced by ".$$$".
std::string preprocessed_file_name(const std::string& control_file_name);

// Writes the preprocessed control file, replacing it only when complete (AtomicFile),
// and returns its name. Fatal on failure (28 open/rewind, 11 write, close or rename,
// 17 undefined symbol, 18 a preprocessor limit exceeded).
std::string preprocess_control_file(const std::string& control_file_name, Console& console);

}  // namespace orograd
