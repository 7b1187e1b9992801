#include "picture_support.hpp"

#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

namespace orograd::testing {

view::Image read_png(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) throw std::runtime_error("cannot read " + path);
  png.format = PNG_FORMAT_RGBA;
  view::Image image(static_cast<int32_t>(png.width), static_cast<int32_t>(png.height));
  if (!png_image_finish_read(&png, nullptr, &image.at(0, 0), 0, nullptr)) throw std::runtime_error(png.message);
  return image;
}

// The shell runs the binary, so arguments are quoted; test paths hold no quotes.
RunResult run_view_binary(const std::string& working_dir, const std::vector<std::string>& arguments) {
  TempDir streams;
  std::string command = "cd '" + working_dir + "' && '" OROGRAD_VIEW_BINARY "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  command += " >'" + streams.file("out") + "' 2>'" + streams.file("err") + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(streams.file("out")), read_file(streams.file("err"))};
}

}  // namespace orograd::testing
