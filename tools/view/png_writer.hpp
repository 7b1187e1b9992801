#pragma once
// Writing a picture as a PNG file through libpng.
#include <string>

#include "view/image.hpp"

namespace orograd::view {

// Writes the image as an 8-bit RGBA PNG, replacing the file. Pictures of up to a
// million pixels get zlib level 4 with libpng's choice of row filters. Larger ones
// are filtered against the row above (UP) and compressed by zlib's run-length
// strategy: on a shaded 1366x1366 map that takes a fifth of the time, for a file about
// 15% larger; on small enlarged maps, whose cells repeat along rows, files would grow
// three- to fourfold.
// Pre: image width and height > 0.
// Fatal: 4 the file cannot be opened for writing, 10 libpng or the file system
// reports an error while writing.
void write_png(const std::string& file_name, const Image& image);

}  // namespace orograd::view
