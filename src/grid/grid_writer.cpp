// Writing of grids in the run's output format. Text cells get exactly the bytes of
// printf "%lg", formatted much faster than printf does.
#include "grid/grid_writer.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/atomic_file.hpp"
#include "base/fatal.hpp"
#include "grid/gdal_raster.hpp"
#include "grid/grid_sidecars.hpp"
#include "grid/number_text.hpp"
#include "grid/value_statistics.hpp"

namespace orograd {

namespace {

void require_created(const AtomicFile& file, const std::string& file_name) {
  if (!file.opened())
    fatal(4, format("error opening %s \n", file_name.c_str()), file_failure("write", file_name, file.error()));
}

[[noreturn]] void write_error(const std::string& file_name, int error_number = errno) {
  fatal(10, format("error writing in %s\n", file_name.c_str()), file_failure("write", file_name, error_number));
}

void put(std::FILE* file, const void* data, std::size_t size, std::size_t count, const std::string& file_name) {
  if (std::fwrite(data, size, count, file) != count) write_error(file_name);
}

// Closing flushes the last buffered bytes and the rename puts the file in place: a
// failure in either is a write failure too.
void commit_grid_file(AtomicFile& file, const std::string& file_name) {
  if (const int error = file.commit()) write_error(file_name, error);
}

// One row as text: values separated by tabs, a line end after the last.
std::size_t format_row(const double* cells, std::size_t ncols, char* line) {
  char* out = line;
  for (std::size_t c = 0; c < ncols; ++c) {
    out = format_lg(cells[c], out);
    *out++ = c + 1 < ncols ? '\t' : '\n';
  }
  return static_cast<std::size_t>(out - line);
}

// Rows as text, each in a slot of its own.
struct TextBatch {
  TextBatch(int32_t rows, std::size_t line_capacity)
      : capacity(line_capacity), lines(rows * line_capacity), lengths(rows) {}
  char* line(int32_t i) { return lines.data() + i * capacity; }

  std::size_t capacity;
  std::vector<char> lines;
  std::vector<std::size_t> lengths;
  int32_t rows = 0;  // rows held
};

// Writes the rows of `batch` in order; returns 0 or the error number of a failure.
int put_lines(std::FILE* file, const TextBatch& batch) {
  for (int32_t i = 0; i < batch.rows; ++i)
    if (std::fwrite(batch.lines.data() + i * batch.capacity, 1, batch.lengths[i], file) != batch.lengths[i])
      return errno != 0 ? errno : EIO;
  return 0;
}

void write_text(const std::string& file_name, const Grid& grid, const GridHeader& g) {
  // A buffer of a megabyte instead of the stream's page: a few hundred writes for a
  // large grid instead of several per row. Declared first, so it outlives the stream.
  std::vector<char> buffer(std::size_t{1} << 20);
  AtomicFile file(file_name);
  require_created(file, file_name);
  std::setvbuf(file.stream(), buffer.data(), _IOFBF, buffer.size());
  const std::string header =
      format("ncols\t%d\nnrows\t%d\nxllcorner\t%.10lg\nyllcorner\t%.10lg\ncellsize\t%lg\nnodata_value\t%lg\n",
             g.ncols, g.nrows, g.xllcorner, g.yllcorner, g.cellsize, g.nodata_value);
  put(file.stream(), header.data(), 1, header.size(), file_name);

  // Rows are formatted in batches and written in order. In the OpenMP build one thread
  // writes a batch while the others format the next, and the writer joins them when it
  // is done; the bytes are the same either way.
  constexpr int32_t kRowsPerBatch = 32;
  const auto ncols = static_cast<std::size_t>(grid.ncols());
  // "%lg" never needs more than 13 characters ("-1.23457e-308") plus a separator.
  const std::size_t line_capacity = ncols * 14;
  TextBatch batches[2] = {TextBatch(kRowsPerBatch, line_capacity), TextBatch(kRowsPerBatch, line_capacity)};
  const int32_t batch_count = (grid.nrows() + kRowsPerBatch - 1) / kRowsPerBatch;
  for (int32_t b = 0; b <= batch_count; ++b) {
    const TextBatch& written = batches[(b + 1) % 2];
    TextBatch& formatted = batches[b % 2];
    const int32_t first = 1 + b * kRowsPerBatch;
    formatted.rows = std::clamp(grid.nrows() - first + 1, 0, kRowsPerBatch);
    int error = 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#pragma omp single
#endif
    {
      if (b > 0) {
#if !OROGRAD_SEQUENTIAL
#pragma omp task shared(error)
#endif
        error = put_lines(file.stream(), written);
      }
#if !OROGRAD_SEQUENTIAL
#pragma omp taskloop grainsize(1)
#endif
      for (int32_t i = 0; i < formatted.rows; ++i)
        formatted.lengths[i] = format_row(grid.row(first + i), ncols, formatted.line(i));
    }
    if (error != 0) write_error(file_name, error);
  }
  commit_grid_file(file, file_name);
}

// Slots 1 to 6 of a binary header; the statistics slots stay 0 until the rows are written.
GridFileHeader geometry_slots(const GridHeader& g) {
  GridFileHeader slots;
  slots[1] = g.ncols;
  slots[2] = g.nrows;
  slots[3] = g.xllcorner;
  slots[4] = g.yllcorner;
  slots[5] = g.cellsize;
  slots[6] = g.nodata_value;
  return slots;
}

// The 12 header slots in the file's precision.
template <typename Value>
bool put_header(std::FILE* file, const GridFileHeader& slots) {
  Value header[12];
  for (int k = 1; k <= 12; ++k) header[k - 1] = static_cast<Value>(slots[k]);
  return std::fwrite(header, sizeof(Value), 12, file) == 12;
}

// Single (float) and double grids: the header, the rows, then the header again with
// the statistics of the values written in slots 7 to 12.
template <typename Value>
void write_binary(const std::string& file_name, const Grid& grid, const GridHeader& geometry) {
  AtomicFile file(file_name);
  require_created(file, file_name);
  GridFileHeader slots = geometry_slots(geometry);
  if (!put_header<Value>(file.stream(), slots))
    fatal(4, format("error writing grid header in %s\n", file_name.c_str()), file_failure("write", file_name, errno));

  ValueStatistics statistics;
  statistics.reset(geometry.nodata_value);
  std::vector<Value> buffer(static_cast<std::size_t>(grid.ncols()));
  for (int32_t r = 1; r <= grid.nrows(); ++r) {
    const double* cells = grid.row(r);
    for (std::size_t c = 0; c < buffer.size(); ++c) {
      statistics.add(cells[c]);
      buffer[c] = static_cast<Value>(cells[c]);
    }
    put(file.stream(), buffer.data(), sizeof(Value), buffer.size(), file_name);
  }
  statistics.finish(slots);
  if (std::fseek(file.stream(), 0, SEEK_SET) != 0 || !put_header<Value>(file.stream(), slots)) write_error(file_name);
  commit_grid_file(file, file_name);
}

}  // namespace

void write_grid(GridContext& context, const std::string& file_name, const Grid& grid, const GridHeader& geometry) {
  context.console.print("writing %s ..", file_name.c_str());
  if (is_geotiff_name(file_name)) {
    write_geotiff(context.console, file_name, grid, geometry, context.output_format == OutputFormat::single,
                  context.coordinate_system);
    context.console.write("ready.\n");
    return;
  }
  switch (context.output_format) {
    case OutputFormat::text:
      write_text(file_name, grid, geometry);
      break;
    case OutputFormat::single:
      write_binary<float>(file_name, grid, geometry);
      break;
    default:
      write_binary<double>(file_name, grid, geometry);
      break;
  }
  context.console.write("ready.\n");
  write_sidecar(context, file_name, geometry);
}

void write_grid(GridContext& context, const std::string& file_name, const Grid& grid) {
  write_grid(context, file_name, grid, context.header);
}

}  // namespace orograd
