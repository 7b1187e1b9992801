// ENVI headers beside binary grids and .prj files beside text grids. All numbers are
// written with 17 significant digits, so that readers get the doubles back exactly.
#include "grid/grid_sidecars.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/atomic_file.hpp"
#include "base/fatal.hpp"
#include "grid/gdal_raster.hpp"
#include "grid/geotransform.hpp"
#include "grid/grid_file.hpp"

namespace orograd {

namespace {

// The ESRI convention: the grid's name with the extension replaced by ".prj".
std::string prj_name(const std::string& grid_name) {
  return std::filesystem::path(grid_name).replace_extension(".prj").string();
}

// The errno of a failed stream call; EIO where the C library set none.
int last_error() { return errno != 0 ? errno : EIO; }

// Writes `contents` as the whole file, replacing it only when complete; 0, or the
// errno of the step that failed.
int write_whole_file(const std::string& name, const std::string& contents) {
  AtomicFile file(name);
  if (!file.opened()) return file.error();
  errno = 0;
  if (std::fwrite(contents.data(), 1, contents.size(), file.stream()) != contents.size()) return last_error();
  return file.commit();
}

// Reads the whole file into `text`; 0, or the errno of the step that failed.
int read_whole_file(const std::string& name, std::string& text) {
  errno = 0;
  GridFile file(std::fopen(name.c_str(), "rb"));
  if (!file) return last_error();
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
  return std::ferror(file.get()) ? last_error() : 0;
}

void write_beside(const GridContext& context, const std::string& name, const std::string& contents) {
  if (const int error = write_whole_file(name, contents))
    context.console.warn("cannot write %s: %s", name.c_str(), std::strerror(error));
}

// The text on one line, without surrounding white space: ENVI readers expect a header
// value on one line, and GDAL interprets a reference system only from text that starts
// with its keyword.
std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// ENVI's "Arbitrary" names a map without a named projection; GDAL takes the
// geotransform from map info whatever the name and the reference system from the
// coordinate system string, which it reads as ESRI WKT (not WKT2). Single grids hold
// floats, so their nodata marker is given as the float the cells carry.
std::string envi_header(const GridContext& context, const GridHeader& g, bool single) {
  const std::array<double, 6> t = geotransform(g);
  const double nodata = single ? static_cast<float>(g.nodata_value) : g.nodata_value;
  std::string text = format(
      "ENVI\nsamples = %d\nlines = %d\nbands = 1\nheader offset = %d\nfile type = ENVI Standard\n"
      "data type = %d\ninterleave = bsq\nbyte order = 0\nmap info = {Arbitrary, 1, 1, %.17g, %.17g, %.17g, %.17g}\n"
      "data ignore value = %.17g\n",
      g.ncols, g.nrows, single ? 48 : 96, single ? 4 : 5, t[0], t[3], t[1], -t[5], nodata);
  const std::string system = one_line(context.coordinate_system);
  if (!system.empty()) text += "coordinate system string = {" + esri_wkt(system) + "}\n";
  return text;
}

void write_prj(const GridContext& context, const std::string& file_name) {
  const std::string name = prj_name(file_name);
  if (name == file_name) {
    context.console.warn("cannot write %s: it is the name of the grid itself", name.c_str());
    return;
  }
  write_beside(context, name,
               context.coordinate_system_is_prj ? context.coordinate_system : esri_wkt(context.coordinate_system));
}

}  // namespace

void take_prj_beside(GridContext& context, const std::string& grid_name) {
  const std::string name = prj_name(grid_name);
  if (name == grid_name) return;
  std::string text;
  const int error = read_whole_file(name, text);
  if (error == ENOENT) return;  // a text grid without a .prj
  if (error != 0) {
    context.console.warn("cannot read %s: %s", name.c_str(), std::strerror(error));
    return;
  }
  context.coordinate_system = std::move(text);
  context.coordinate_system_is_prj = true;
}

void write_sidecar(const GridContext& context, const std::string& file_name, const GridHeader& geometry) {
  const bool single = context.output_format == OutputFormat::single;
  if (context.output_format != OutputFormat::text)
    write_beside(context, file_name + ".hdr", envi_header(context, geometry, single));
  else if (!context.coordinate_system.empty())
    write_prj(context, file_name);
}

}  // namespace orograd
