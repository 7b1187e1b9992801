// Reading of grid files in the three native formats, and of other rasters through
// GDAL, with format detection, the geometry check against the run's first grid and the
// mapping of nodata markers to -9999.
#include "grid/grid_reader.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "base/fatal.hpp"
#include "grid/gdal_raster.hpp"
#include "grid/grid_file.hpp"
#include "grid/grid_sidecars.hpp"
#include "grid/text_grid_header.hpp"
#include "grid/text_number_reader.hpp"

namespace orograd {

namespace {

enum class FileFormat { text, single, double_, other };

GridFile open_grid_file(const std::string& file_name) {
  GridFile file(std::fopen(file_name.c_str(), "rb"));
  if (!file) fatal(2, format("error opening grid %s\n", file_name.c_str()), file_failure("read", file_name, errno));
  return file;
}

bool begins_with_ncol(const unsigned char* bytes) {
  for (int i = 0; i < 4; ++i)
    if (std::tolower(bytes[i]) != "ncol"[i]) return false;
  return true;
}

// Text files begin with "ncol" in any letter case; binary files carry -9999 exactly in
// header slot 6; anything else may still be a raster GDAL reads. Signatures are judged
// only on bytes the file really holds.
FileFormat detect_format(std::FILE* file) {
  unsigned char bytes[96];
  const std::size_t n = std::fread(bytes, 1, sizeof bytes, file);
  if (n >= 4 && begins_with_ncol(bytes)) return FileFormat::text;
  if (n >= 48) {
    double slot6;
    std::memcpy(&slot6, bytes + 40, sizeof slot6);
    if (slot6 == kNodata) return FileFormat::double_;
  }
  if (n >= 24) {
    float slot6;
    std::memcpy(&slot6, bytes + 20, sizeof slot6);
    if (slot6 == static_cast<float>(kNodata)) return FileFormat::single;
  }
  return FileFormat::other;
}

template <typename Value>
void read_binary_header(std::FILE* file, GridFileHeader& slots, const std::string& file_name) {
  Value values[12];
  if (std::fread(values, sizeof(Value), 12, file) != 12)
    grid_header_error(file_name, format("%s ends inside the header of 12 values that begins a single or double grid",
                                        file_name.c_str()));
  for (int k = 1; k <= 12; ++k) slots[k] = values[k - 1];
}

// A header count truncated to an integer; counts beyond the int range are
// represented by -1, which never matches and is rejected as a first grid.
int32_t truncated_count(double value) {
  if (!(value > -2147483648.0 && value < 2147483648.0)) return -1;
  return static_cast<int32_t>(value);
}

// Both geometries side by side, exactly, for the reason of a mismatch.
std::string geometry_mismatch(const GridHeader& h, const GridFileHeader& slots, const std::string& file_name,
                              const std::string& first_grid) {
  return format("the geometry of %s (ncols %.17g, nrows %.17g, xll %.17g, yll %.17g, cellsize %.17g) differs from "
                "that of the first grid %s (ncols %d, nrows %d, xll %.17g, yll %.17g, cellsize %.17g)",
                file_name.c_str(), slots[1], slots[2], slots[3], slots[4], slots[5], first_grid.c_str(), h.ncols,
                h.nrows, h.xllcorner, h.yllcorner, h.cellsize);
}

void check_geometry(const GridContext& context, const GridFileHeader& slots, const std::string& file_name) {
  const GridHeader& h = context.header;
  const char* name = file_name.c_str();
  const int32_t ncols = truncated_count(slots[1]);
  const int32_t nrows = truncated_count(slots[2]);
  std::string message;
  if (ncols != h.ncols)
    message = format("ncols (%d) in %s does not match the first grid (%d)\n", ncols, name, h.ncols);
  else if (nrows != h.nrows)
    message = format("nrows (%d) in %s does not match the first grid (%d)\n", nrows, name, h.nrows);
  else if (slots[3] != h.xllcorner)
    message = format("xll (%g) in %s does not match the first grid (%g)\n", slots[3], name, h.xllcorner);
  else if (slots[4] != h.yllcorner)
    message = format("yll (%g) in %s does not match the first grid (%g)\n", slots[4], name, h.yllcorner);
  else if (slots[5] != h.cellsize)
    message = format("cs (%g) in %s does not match the first grid (%g)\n", slots[5], name, h.cellsize);
  if (!message.empty()) fatal(1, message, geometry_mismatch(h, slots, file_name, context.first_grid));
}

void take_geometry(GridHeader& h, const GridFileHeader& slots, const std::string& file_name) {
  h.ncols = truncated_count(slots[1]);
  h.nrows = truncated_count(slots[2]);
  h.xllcorner = slots[3];
  h.yllcorner = slots[4];
  h.cellsize = slots[5];
  h.nodata_value = slots[6];
  if (h.ncols <= 0 || h.nrows <= 0)
    fatal(1, format("invalid grid size in %s: %g columns, %g rows\n", file_name.c_str(), slots[1], slots[2]),
          "ncols and nrows in a grid header must be whole numbers from 1 to 2147483647");
}

// `what_follows` is the text found instead of the next value; empty at the end of the file.
[[noreturn]] void short_read(const std::string& file_name, GridShape shape, int32_t row, int32_t values_read,
                             const std::string& what_follows = "") {
  const char* name = file_name.c_str();
  const std::string reason =
      what_follows.empty()
          ? format("%s ends after %d values of row %d, but its header promises %d rows of %d values", name,
                   values_read, row, shape.nrows, shape.ncols)
          : format("value %d of row %d of %s is \"%s\", which is no number", values_read + 1, row, name,
                   what_follows.c_str());
  fatal(5, format("error reading from %s in row %d (%d values read)\n", name, row, values_read), reason);
}

// The bytes of the file from `offset` to its end, or the largest count when the size
// is unknown (not a regular file).
uint64_t bytes_after(std::FILE* file, uint64_t offset) {
  struct stat status;
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return UINT64_MAX;
  const auto size = static_cast<uint64_t>(status.st_size);
  return size > offset ? size - offset : 0;
}

uint64_t cell_count(GridShape shape) { return static_cast<uint64_t>(shape.ncols) * static_cast<uint64_t>(shape.nrows); }

// The length checks run before the grid's memory is taken: a damaged header must not
// claim gigabytes that its file cannot fill. A binary file too short for its cells
// stops with the very short read that reading it would reach.
template <typename Value>
void check_binary_length(std::FILE* file, GridShape shape, const std::string& file_name) {
  const uint64_t values = bytes_after(file, 12 * sizeof(Value)) / sizeof(Value);
  if (values >= cell_count(shape)) return;
  const auto ncols = static_cast<uint64_t>(shape.ncols);
  short_read(file_name, shape, static_cast<int32_t>(values / ncols + 1), static_cast<int32_t>(values % ncols));
}

// Reads the cells of a text grid in row order, handing them on to `take`; fatal at a
// short read, with the row and the values of it read.
void read_text_numbers(TextNumberReader& reader, GridShape shape, const std::string& file_name,
                       const TextNumberReader::Take& take) {
  const int64_t cells = cell_count(shape);
  const int64_t read = reader.read_numbers(cells, take);
  if (read == cells) return;
  std::string what_follows;
  reader.read_word(what_follows);
  short_read(file_name, shape, static_cast<int32_t>(read / shape.ncols + 1), static_cast<int32_t>(read % shape.ncols),
             what_follows.substr(0, 40));
}

// Each number of a text grid takes a character and all but the last a separator, so a
// file of fewer than 2 * cells - 1 bytes is short. It is read up to its short read
// before a grid is made, for the message reading it would give.
void check_text_length(TextNumberReader& reader, std::FILE* file, GridShape shape, const std::string& file_name) {
  if (bytes_after(file, 0) / 2 + 1 >= cell_count(shape)) return;
  read_text_numbers(reader, shape, file_name, [](const double*, std::size_t, int64_t) {});
}

void read_text_cells(TextNumberReader& reader, Grid& grid, const std::string& file_name) {
  const auto ncols = static_cast<int64_t>(grid.ncols());
  read_text_numbers(reader, grid.shape(), file_name, [&](const double* values, std::size_t count, int64_t cell) {
    for (auto left = static_cast<int64_t>(count); left > 0;) {
      const int64_t col = cell % ncols, run = std::min(left, ncols - col);
      std::copy(values, values + run, grid.row(static_cast<int32_t>(cell / ncols + 1)) + col);
      values += run;
      left -= run;
      cell += run;
    }
  });
}

// Rows go through a small buffer: copying from it is cheaper than having the file
// read straight into the grid's new pages, and the single format needs widening anyway.
template <typename Value>
void read_binary_rows(std::FILE* file, Grid& grid, const std::string& file_name) {
  const auto ncols = static_cast<std::size_t>(grid.ncols());
  std::vector<Value> buffer(ncols);
  for (int32_t r = 1; r <= grid.nrows(); ++r) {
    const std::size_t n = std::fread(buffer.data(), sizeof(Value), ncols, file);
    if (n != ncols) short_read(file_name, grid.shape(), r, static_cast<int32_t>(n));
    std::copy(buffer.begin(), buffer.end(), grid.row(r));
  }
}

// A NaN marker stands for the NaN cells, which compare unequal to everything.
void map_nodata(GridContext& context, Grid& grid, double marker, const std::string& file_name) {
  if (marker == kNodata) return;
  context.console.print("nodata in grid %s: %lf --> will be set to -9999.0!\n", file_name.c_str(), marker);
  const bool nan_marker = std::isnan(marker);
  for (int32_t r = 1; r <= grid.nrows(); ++r) {
    double* cells = grid.row(r);
    for (int32_t c = 0; c < grid.ncols(); ++c)
      if (cells[c] == marker || (nan_marker && std::isnan(cells[c]))) cells[c] = kNodata;
  }
  context.header.nodata_value = kNodata;
}

// Takes the run's geometry from the first grid's header slots or checks a later grid's
// against it; returns the file's nodata marker.
double settle_geometry(GridContext& context, const GridFileHeader& slots, const std::string& file_name, bool first) {
  if (!first) {
    check_geometry(context, slots, file_name);
    return slots[6];
  }
  take_geometry(context.header, slots, file_name);
  context.first_grid = file_name;
  return context.header.nodata_value;
}

// A file in none of the native formats, read through GDAL where the build has it.
Grid read_gdal_grid(GridContext& context, const std::string& file_name, bool first) {
  const GdalRaster raster(file_name);
  if (!raster.opened()) {
    context.console.warn("%s is not a text, single or double grid, and %s: %s", file_name.c_str(),
                         gdal_support() ? "GDAL cannot open it either" : "cannot be read otherwise",
                         raster.failure().c_str());
    fatal(98, format("could not recognise file format (ascii, single or double) for %s\n", file_name.c_str()));
  }
  const double marker = settle_geometry(context, raster.geometry(context.console), file_name, first);
  Grid grid = context.allocate();
  raster.read(context.console, grid);
  map_nodata(context, grid, marker, file_name);
  if (first) context.coordinate_system = raster.coordinate_system();
  return grid;
}

Grid read_grid_file(GridContext& context, const std::string& file_name, bool first) {
  context.console.print("reading (first) grid %s..\n", file_name.c_str());
  GridFile file = open_grid_file(file_name);
  const FileFormat file_format = detect_format(file.get());
  if (file_format == FileFormat::other) {
    file.reset();
    return read_gdal_grid(context, file_name, first);
  }
  GridFileHeader slots;

  std::rewind(file.get());
  std::unique_ptr<TextNumberReader> text;
  if (file_format == FileFormat::text) {
    text = std::make_unique<TextNumberReader>(file.get());
    read_text_grid_header(*text, slots, file_name, context.console);
  } else if (file_format == FileFormat::double_) {
    read_binary_header<double>(file.get(), slots, file_name);
  } else {
    read_binary_header<float>(file.get(), slots, file_name);
  }
  const double marker = settle_geometry(context, slots, file_name, first);
  const GridShape shape{context.header.nrows, context.header.ncols};
  // A grid beyond the size limits is refused as such before its file's length is judged.
  Grid::check_size(shape.ncols, shape.nrows);
  if (text)
    check_text_length(*text, file.get(), shape, file_name);
  else if (file_format == FileFormat::double_)
    check_binary_length<double>(file.get(), shape, file_name);
  else
    check_binary_length<float>(file.get(), shape, file_name);

  Grid grid = context.allocate_to_overwrite();  // a read fills every cell or is fatal
  if (text) {
    read_text_cells(*text, grid, file_name);
    if (first) take_prj_beside(context, file_name);
  } else if (file_format == FileFormat::double_) {
    read_binary_rows<double>(file.get(), grid, file_name);
  } else {
    read_binary_rows<float>(file.get(), grid, file_name);
  }
  file.reset();
  map_nodata(context, grid, marker, file_name);
  return grid;
}

}  // namespace

Grid read_first_grid(GridContext& context, const std::string& file_name) {
  return read_grid_file(context, file_name, true);
}

Grid read_grid(GridContext& context, const std::string& file_name) { return read_grid_file(context, file_name, false); }

Grid read_input_grid(GridContext& context, const std::string& file_name) {
  return context.has_geometry() ? read_grid(context, file_name) : read_first_grid(context, file_name);
}

std::optional<OutputFormat> native_grid_format(const std::string& file_name) {
  const GridFile file(std::fopen(file_name.c_str(), "rb"));
  if (!file) return std::nullopt;
  switch (detect_format(file.get())) {
    case FileFormat::text: return OutputFormat::text;
    case FileFormat::single: return OutputFormat::single;
    case FileFormat::double_: return OutputFormat::double_;
    case FileFormat::other: break;
  }
  return std::nullopt;
}

}  // namespace orograd
