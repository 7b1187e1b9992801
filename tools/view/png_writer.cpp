#include "view/png_writer.hpp"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>

#include "base/fatal.hpp"

namespace orograd::view {

namespace {

// Pictures of more pixels than this are compressed for speed rather than size.
constexpr int64_t kLargePicture = 1000000;

// libpng reports errors by a long jump back here, so nothing with a destructor may
// live in this function.
bool write_to(std::FILE* file, const Image& image) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  if (static_cast<int64_t>(image.width()) * image.height() > kLargePicture) {
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
  } else {
    png_set_compression_level(png, 4);
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < image.height(); ++y) png_write_row(png, image.row_bytes(y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void write_png(const std::string& file_name, const Image& image) {
  std::FILE* file = std::fopen(file_name.c_str(), "wb");
  if (file == nullptr) fatal(4, format("error opening picture %s for writing\n", file_name.c_str()));
  const bool written = write_to(file, image);
  if (std::fclose(file) != 0 || !written) fatal(10, format("error writing picture %s\n", file_name.c_str()));
}

}  // namespace orograd::view
