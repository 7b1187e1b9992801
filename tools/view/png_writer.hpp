#pragma once
// Writing a picture as a PNG file through libpng.
#include <string>

#include "view/image.hpp"

namespace orograd::view {

// zlib level for the pictures: the larger levels save little on maps and cost time.
inline constexpr int kPngCompression = 4;

// Writes the image as an 8-bit RGBA PNG, replacing the file.
// Pre: image width and height > 0; 0 <= compression <= 9.
// Fatal: 4 the file cannot be opened for writing, 10 libpng or the file system
// reports an error while writing.
void write_png(const std::string& file_name, const Image& image, int compression = kPngCompression);

}  // namespace orograd::view
