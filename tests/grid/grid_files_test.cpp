// Reading and writing grid files: formats, detection, geometry checks, nodata
// mapping, header statistics and the failure messages.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "grid/grid_reader.hpp"
#include "grid/grid_writer.hpp"
#include "grid/text_number_reader.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;
using testing::read_file;
using testing::TempDir;
using testing::text_grid;
using testing::write_file;

class GridFiles : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  GridContext context{console};
  TempDir dir;

  std::string file(const std::string& name) const { return dir.file(name); }

  std::vector<double> header_slots(const std::string& path, bool single) {
    const std::string bytes = read_file(path);
    std::vector<double> slots(12);
    for (int k = 0; k < 12; ++k) {
      if (single) {
        float value;
        std::memcpy(&value, bytes.data() + 4 * k, 4);
        slots[k] = value;
      } else {
        std::memcpy(&slots[k], bytes.data() + 8 * k, 8);
      }
    }
    return slots;
  }
};

TEST_F(GridFiles, TextRoundTripTakesGeometryAndPrintsLikePrintf) {
  write_file(file("a.asc"), text_grid(3, 2, {1, 2.5, -3, 1234.5678, 0.123456789, -9999}, 25, 500000.125, 4.5e6));
  Grid grid = read_first_grid(context, file("a.asc"));
  EXPECT_EQ(context.header.ncols, 3);
  EXPECT_EQ(context.header.nrows, 2);
  EXPECT_EQ(context.header.xllcorner, 500000.125);
  EXPECT_EQ(context.header.cellsize, 25);
  EXPECT_EQ(grid(2, 1), 1234.5678);
  write_grid(context, file("b.asc"), grid);
  EXPECT_EQ(read_file(file("b.asc")),
            "ncols\t3\nnrows\t2\nxllcorner\t500000.125\nyllcorner\t4500000\ncellsize\t25\nnodata_value\t-9999\n"
            "1\t2.5\t-3\n1234.57\t0.123457\t-9999\n");
  EXPECT_EQ(console.captured(), "reading (first) grid " + file("a.asc") + "..\nwriting " + file("b.asc") +
                                    " ..ready.\n");
}

TEST_F(GridFiles, TextCellsOfManyRowsComeOutAsPrintfWritesThem) {
  // More rows than one batch of the writer, with values of every magnitude.
  const int32_t ncols = 7, nrows = 75;
  context.header = {ncols, nrows, 0, 0, 1, kNodata};
  Grid grid = context.allocate();
  std::mt19937_64 random(3);
  std::string expected = "ncols\t7\nnrows\t75\nxllcorner\t0\nyllcorner\t0\ncellsize\t1\nnodata_value\t-9999\n";
  char buffer[64];
  for (int32_t r = 1; r <= nrows; ++r)
    for (int32_t c = 1; c <= ncols; ++c) {
      grid(r, c) = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random), int(random() % 60) - 30);
      std::snprintf(buffer, sizeof buffer, "%lg%s", grid(r, c), c < ncols ? "\t" : "\n");
      expected += buffer;
    }
  write_grid(context, file("rows.asc"), grid);
  EXPECT_EQ(read_file(file("rows.asc")), expected);
}

TEST_F(GridFiles, TextReaderAcceptsWhatScanfAccepts) {
  write_file(file("n.asc"),
             "ncols 4\nNROWS 2\nxll +1.5\nyll -2e1\ncs 10\nnodata -9999\n"
             "+1 -2.5e+2 0x10 .5\n\n  inf 1e-3\t7. -0\n");
  Grid grid = read_first_grid(context, file("n.asc"));
  EXPECT_EQ(context.header.xllcorner, 1.5);
  EXPECT_EQ(context.header.yllcorner, -20);
  const double expected[] = {1, -250, 16, 0.5, INFINITY, 0.001, 7, -0.0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(grid(1 + i / 4, 1 + i % 4), expected[i]) << i;
  EXPECT_TRUE(std::signbit(grid(2, 4)));
}

TEST_F(GridFiles, TextReaderHandlesNumbersAcrossItsBuffer) {
  // Well over the reader's 1 MiB buffer, so numbers straddle buffer refills.
  const int ncols = 500, nrows = 300;
  std::vector<double> values(ncols * nrows);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i) * 1.0000001 - 7000.25;
  write_file(file("big.asc"), text_grid(ncols, nrows, values));
  Grid grid = read_first_grid(context, file("big.asc"));
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) ASSERT_EQ(grid(r, c), values[(r - 1) * ncols + c - 1]) << r << "," << c;
}

TEST_F(GridFiles, ShortOrUnreadableTextAndDoubleGridsStop) {
  write_file(file("short.asc"), "ncols 3\nnrows 2\nxll 0\nyll 0\ncs 1\nnodata -9999\n1 2 3\n4\n");
  write_file(file("bad.asc"), "ncols 3\nnrows 2\nxll 0\nyll 0\ncs 1\nnodata -9999\n1 2 3\n4 x 6\n");
  for (auto [name, row, read, reason] :
       {std::tuple{"short.asc", 2, 1, "%s ends after 1 values of row 2, but its header promises 2 rows of 3 values"},
        {"bad.asc", 2, 1, "value 2 of row 2 of %s is \"x\", which is no number"}}) {
    GridContext fresh(console);
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, file(name)); });
    EXPECT_EQ(error.code(), 5);
    EXPECT_EQ(error.what(), format("error reading from %s in row %d (%d values read)\n", file(name).c_str(), row, read));
    EXPECT_EQ(error.reason(), format(reason, file(name).c_str()));
  }
  // A double grid cut in its second row.
  context.output_format = OutputFormat::double_;
  write_file(file("a.asc"), text_grid(3, 2, {1, 2, 3, 4, 5, 6}));
  Grid grid = read_first_grid(context, file("a.asc"));
  write_grid(context, file("a.dbl"), grid);
  write_file(file("cut.dbl"), read_file(file("a.dbl")).substr(0, 96 + 8 * 4));
  const FatalError error = expect_fatal([&] { read_grid(context, file("cut.dbl")); });
  EXPECT_EQ(error.code(), 5);
  EXPECT_EQ(error.what(), format("error reading from %s in row 2 (1 values read)\n", file("cut.dbl").c_str()));
}

// The reader parses a full buffer in pieces side by side: the first text that is no
// number, in whichever piece or buffer it lies, and a file cut short, must stop the
// read with the row and the count of that row's values, as reading number by number.
TEST_F(GridFiles, LargeTextGridsStopAtTheirFirstFault) {
  const int ncols = 600, nrows = 500;
  const auto grid_text = [&](int bad_cell, int cells) {
    std::string text = "ncols 600\nnrows 500\nxll 0\nyll 0\ncs 1\nnodata -9999\n";
    for (int cell = 0; cell < cells; ++cell)
      text += (cell == bad_cell ? "7x " : cell == bad_cell + 150000 ? "y " : std::to_string(cell % 1000)) +
              (cell % ncols + 1 < ncols ? "\t" : "\n");
    return text;
  };
  for (const int bad_cell : {1000, 200000, 290000, 299998}) {
    SCOPED_TRACE(bad_cell);
    write_file(file("bad.asc"), grid_text(bad_cell, ncols * nrows));
    GridContext fresh(console);
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, file("bad.asc")); });
    const int row = bad_cell / ncols + 1, read = bad_cell % ncols + 1;
    EXPECT_EQ(error.what(), format("error reading from %s in row %d (%d values read)\n", file("bad.asc").c_str(), row,
                                   read));
    EXPECT_EQ(error.reason(),
              format("value %d of row %d of %s is \"x\", which is no number", read + 1, row, file("bad.asc").c_str()));
  }
  write_file(file("short.asc"), grid_text(-10, 123456));
  GridContext fresh(console);
  const FatalError error = expect_fatal([&] { read_first_grid(fresh, file("short.asc")); });
  EXPECT_EQ(error.reason(),
            format("%s ends after 456 values of row 206, but its header promises 500 rows of 600 values",
                   file("short.asc").c_str()));
  write_file(file("long.asc"), grid_text(ncols * nrows, ncols * nrows + 5000));
  Grid grid = read_first_grid(context, file("long.asc"));
  EXPECT_EQ(grid(nrows, ncols), (ncols * nrows - 1) % 1000);
}

// While a full buffer is parsed, the next part of the file is read ahead. Reads that
// end inside a piece of a buffer must go on from the number after their last one, in
// that buffer and in the one read ahead: 3 million numbers of five bytes each (a
// megabyte buffer holds 209715) read in stretches of different lengths, the first
// ending a kilobyte before the end of the first buffer, come out in order.
TEST_F(GridFiles, ReadsEndingInsideABufferGoOnWhereTheyStopped) {
  std::string text;
  for (int k = 0; k < 3000000; ++k) text += std::to_string(1000 + k % 9000) + (k % 7 == 0 ? "\n" : " ");
  write_file(file("numbers.txt"), text);
  std::FILE* stream = std::fopen(file("numbers.txt").c_str(), "rb");
  ASSERT_NE(stream, nullptr);
  TextNumberReader reader(stream);
  // Runs may be handed on side by side: each is checked against its place in the file,
  // and the values handed on are counted.
  int64_t before = 0;  // numbers of the stretches before
  std::atomic<int64_t> handed_on = 0, wrong = 0;
  const auto check = [&](const double* values, std::size_t n, int64_t first) {
    for (std::size_t k = 0; k < n; ++k)
      if (values[k] != static_cast<double>(1000 + (before + first + static_cast<int64_t>(k)) % 9000)) ++wrong;
    handed_on += static_cast<int64_t>(n);
  };
  for (const int64_t stretch : {209515, 1, 150001, 7, 400003, 1000000, 2, 1240471}) {
    ASSERT_EQ(reader.read_numbers(stretch, check), stretch) << before;
    before += stretch;
    ASSERT_EQ(handed_on, before);
    ASSERT_EQ(wrong, 0) << before;
  }
  EXPECT_EQ(before, 3000000);
  EXPECT_EQ(reader.read_numbers(1, check), 0);
  EXPECT_EQ(handed_on, 3000000);
  std::fclose(stream);
}

// A header of 46000 x 46000 cells (17 GB) in a file of three values stops with the short
// read before the grid's memory is taken; without the length checks a machine with less
// memory would end in an allocation error instead.
TEST_F(GridFiles, FilesTooShortForTheirHeaderStopBeforeAllocating) {
  const double slots[12] = {46000, 46000, 0, 0, 1, -9999, 0, 0, 0, 0, 0, 0};
  const double cells[3] = {1, 2, 3};
  write_file(file("huge.dbl"), std::string(reinterpret_cast<const char*>(slots), sizeof slots) +
                                   std::string(reinterpret_cast<const char*>(cells), sizeof cells));
  write_file(file("huge.asc"), "ncols 46000\nnrows 46000\nxll 0\nyll 0\ncs 1\n1 2 3 x\n");
  for (auto [name, follows] : {std::pair{"huge.dbl", ""}, {"huge.asc", "value 4 of row 1 of %s is \"x\""}}) {
    GridContext fresh(console);
    const FatalError error = expect_fatal([&] { read_first_grid(fresh, file(name)); });
    EXPECT_EQ(error.code(), 5);
    EXPECT_EQ(error.what(), format("error reading from %s in row 1 (3 values read)\n", file(name).c_str()));
    EXPECT_EQ(error.reason().find(format(*follows ? follows : "%s ends after 3 values of row 1", file(name).c_str())),
              0u)
        << error.reason();
  }
}

TEST_F(GridFiles, BinaryFormatsRoundTripWithStatistics) {
  write_file(file("a.asc"), text_grid(3, 2, {1, 2, 3, -9999, -9998.5, 1.1}, 30, 100, 200));
  Grid grid = read_first_grid(context, file("a.asc"));
  for (OutputFormat output : {OutputFormat::double_, OutputFormat::single}) {
    const bool single = output == OutputFormat::single;
    const std::string name = file(single ? "a.flt" : "a.dbl");
    context.output_format = output;
    write_grid(context, name, grid);
    EXPECT_EQ(read_file(name).size(), single ? 48u + 4 * 6 : 96u + 8 * 6);
    const std::vector<double> slots = header_slots(name, single);
    EXPECT_EQ(slots[0], 3);
    EXPECT_EQ(slots[4], 30);
    EXPECT_EQ(slots[5], -9999);
    EXPECT_EQ(slots[6], 4);  // -9999 and -9998.5 are not counted
    EXPECT_EQ(slots[7], 1);
    EXPECT_EQ(slots[8], 3);
    EXPECT_NEAR(slots[9], 7.1, 1e-6);
    EXPECT_NEAR(slots[10], 7.1 / 4, 1e-6);
    Grid back = read_grid(context, name);
    for (int r = 1; r <= 2; ++r)
      for (int c = 1; c <= 3; ++c) EXPECT_EQ(back(r, c), single ? double(float(grid(r, c))) : grid(r, c));
  }
}

// A grid read from a file may get a released block uncleared: every cell must come
// from the file.
TEST_F(GridFiles, ReadsFillEveryCellOfAReusedBlock) {
  const int32_t n = 1000;  // blocks large enough for the pool
  context.header = {n, n, 0, 0, 1, kNodata};
  Grid grid = context.allocate();
  for (int32_t r = 1; r <= n; ++r)
    for (int32_t c = 1; c <= n; ++c) grid(r, c) = (3 * r + c) % 5;
  write_grid(context, file("a.asc"), grid);
  context.output_format = OutputFormat::double_;
  write_grid(context, file("a.dbl"), grid);
  for (const char* name : {"a.asc", "a.dbl"}) {
    Grid dirty = context.allocate();
    dirty.fill(7);
    dirty = Grid{};
    const Grid back = read_grid(context, file(name));
    for (int32_t r = 1; r <= n; ++r)
      for (int32_t c = 1; c <= n; ++c) ASSERT_EQ(back(r, c), grid(r, c)) << name << " " << r << ", " << c;
  }
}

TEST_F(GridFiles, StatisticsOfFewValues) {
  context.header = {3, 1, 0, 0, 1, kNodata};
  context.output_format = OutputFormat::double_;
  Grid grid = context.allocate();
  grid(1, 1) = 1, grid(1, 2) = 2, grid(1, 3) = 3;
  write_grid(context, file("three.dbl"), grid);
  EXPECT_EQ(header_slots(file("three.dbl"), false),
            (std::vector<double>{3, 1, 0, 0, 1, -9999, 3, 1, 3, 6, 2, 1}));
  grid(1, 3) = kNodata;
  write_grid(context, file("two.dbl"), grid);
  const std::vector<double> two = header_slots(file("two.dbl"), false);
  EXPECT_EQ(two[10], 1.5);
  EXPECT_EQ(two[11], -9999);
  // No valid value: extremes, mean and deviation are all -9999, not the previous
  // grid's extremes.
  grid.fill(kNodata);
  write_grid(context, file("none.dbl"), grid);
  const std::vector<double> none = header_slots(file("none.dbl"), false);
  EXPECT_EQ(none[6], 0);
  for (int k : {7, 8, 10, 11}) EXPECT_EQ(none[k], -9999) << "slot " << k + 1;
}

TEST_F(GridFiles, GivenGeometryIsWrittenRatherThanTheRuns) {
  // The header and the nodata value the statistics skip come from the geometry passed.
  context.header = {2, 1, 100, 200, 30, kNodata};
  Grid grid = context.allocate();
  grid(1, 1) = -0.5, grid(1, 2) = 4;
  const GridHeader geometry{2, 1, 7.5, -2.25, 12.5, -1};
  write_grid(context, file("g.asc"), grid, geometry);
  EXPECT_EQ(read_file(file("g.asc")),
            "ncols\t2\nnrows\t1\nxllcorner\t7.5\nyllcorner\t-2.25\ncellsize\t12.5\nnodata_value\t-1\n-0.5\t4\n");
  for (OutputFormat output : {OutputFormat::single, OutputFormat::double_}) {
    context.output_format = output;
    write_grid(context, file("g.bin"), grid, geometry);
    // -0.5 is not above nodata + 1 and is not counted.
    EXPECT_EQ(header_slots(file("g.bin"), output == OutputFormat::single),
              (std::vector<double>{2, 1, 7.5, -2.25, 12.5, -1, 1, 4, 4, 4, 4, -9999}));
  }
}

TEST_F(GridFiles, DetectionFailuresAndBinaryHeaders) {
  for (const char* text : {"\xEF\xBB\xBFncols 1\n", " ncols 1\n", "", "ab"}) {
    write_file(file("x"), text);
    const FatalError error = expect_fatal([&] { read_first_grid(context, file("x")); });
    EXPECT_EQ(error.code(), 98) << text;
    EXPECT_EQ(error.what(), "could not recognise file format (ascii, single or double) for " + file("x") + "\n");
  }
  // A binary header whose nodata slot is -9999.5 is no grid of ours.
  double slots[12] = {1, 1, 0, 0, 1, -9999.5, 0, 0, 0, 0, 0, 0};
  write_file(file("y"), std::string(reinterpret_cast<char*>(slots), sizeof slots) + std::string(8, '\0'));
  EXPECT_EQ(expect_fatal([&] { read_first_grid(context, file("y")); }).code(), 98);
  // A single header of 40 bytes: the signature is there, the header is not.
  float single[10] = {1, 1, 0, 0, 1, -9999, 0, 0, 0, 0};
  write_file(file("z"), std::string(reinterpret_cast<char*>(single), sizeof single));
  const FatalError error = expect_fatal([&] { read_first_grid(context, file("z")); });
  EXPECT_EQ(error.code(), 1);
  EXPECT_EQ(error.what(), "error reading fiel header from " + file("z") + "\n");
  EXPECT_EQ(expect_fatal([&] { read_first_grid(context, file("missing")); }).what(),
            "error opening grid " + file("missing") + "\n");
}

TEST_F(GridFiles, LaterGridsMustMatchTheFirst) {
  write_file(file("a.asc"), text_grid(2, 2, {1, 2, 3, 4}, 10, 100, 200));
  read_first_grid(context, file("a.asc"));
  struct Case {
    std::string header;
    std::string message;
  };
  const std::string cells = "1 2\n3 4\n";
  for (const Case& c : std::vector<Case>{
           {"ncols 3\nnrows 2\nx 100\ny 200\nc 10\nn -9999\n", "ncols (3) in %s does not match the first grid (2)\n"},
           {"ncols 2\nnrows 1\nx 100\ny 200\nc 10\nn -9999\n", "nrows (1) in %s does not match the first grid (2)\n"},
           {"ncols 2\nnrows 2\nx 100.5\ny 200\nc 10\nn -9999\n", "xll (100.5) in %s does not match the first grid (100)\n"},
           {"ncols 2\nnrows 2\nx 100\ny 201\nc 10\nn -9999\n", "yll (201) in %s does not match the first grid (200)\n"},
           {"ncols 2\nnrows 2\nx 100\ny 200\nc 10.001\nn -9999\n", "cs (10.001) in %s does not match the first grid (10)\n"},
       }) {
    write_file(file("b.asc"), c.header + cells);
    const FatalError error = expect_fatal([&] { read_grid(context, file("b.asc")); });
    EXPECT_EQ(error.code(), 1);
    EXPECT_EQ(error.what(), format(c.message.c_str(), file("b.asc").c_str()));
  }
  // The reason shows both geometries in full, the later grid's first.
  EXPECT_EQ(expect_fatal([&] { read_grid(context, file("b.asc")); }).reason(),
            "the geometry of " + file("b.asc") + " (ncols 2, nrows 2, xll 100, yll 200, cellsize 10.000999999999999) "
            "differs from that of the first grid " + file("a.asc") + " (ncols 2, nrows 2, xll 100, yll 200, cellsize 10)");
  // 2.7 columns truncate to 2 and match.
  write_file(file("c.asc"), "ncols 2.7\nnrows 2\nx 100\ny 200\nc 10\nn -9999\n" + cells);
  EXPECT_EQ(read_grid(context, file("c.asc"))(2, 2), 4);
}

TEST_F(GridFiles, OtherNodataMarkersBecomeMinus9999) {
  write_file(file("a.asc"), text_grid(2, 1, {-32768, 5}, 1, 0, 0, -32768));
  Grid grid = read_first_grid(context, file("a.asc"));
  EXPECT_EQ(grid(1, 1), -9999);
  EXPECT_EQ(context.header.nodata_value, -9999);
  EXPECT_NE(console.captured().find("nodata in grid " + file("a.asc") + ": -32768.000000 --> will be set to -9999.0!\n"),
            std::string::npos);
  write_file(file("b.asc"), text_grid(2, 1, {7, -32768}, 1, 0, 0, -32768));
  EXPECT_EQ(read_grid(context, file("b.asc"))(1, 2), -9999);
}

TEST_F(GridFiles, DevicesAreWrittenInPlace) {
  context.header = {2, 1, 0, 0, 1, kNodata};
  write_grid(context, "/dev/null", context.allocate());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_EQ(console.captured(), "writing /dev/null ..ready.\n");
}

TEST_F(GridFiles, WriteFailuresAreReported) {
  context.header = {2, 1, 0, 0, 1, kNodata};
  Grid grid = context.allocate();
  const FatalError open_error = expect_fatal([&] { write_grid(context, file("no/such/dir.asc"), grid); });
  EXPECT_EQ(open_error.code(), 4);
  EXPECT_EQ(open_error.what(), "error opening " + file("no/such/dir.asc") + " \n");
  EXPECT_EQ(open_error.reason(), "cannot write " + file("no/such/dir.asc") +
                                     ": No such file or directory (does the folder " + file("no/such/") + " exist?)");
  // /dev/full accepts the open and fails every write: of a small grid when the file is
  // closed, of a large one (more than the megabyte of the text writer's buffer) while
  // its rows are written.
  if (std::FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    for (const auto& [ncols, nrows] : {std::pair{2, 1}, std::pair{1000, 600}}) {
      for (OutputFormat output : {OutputFormat::text, OutputFormat::single, OutputFormat::double_}) {
        context.header = {ncols, nrows, 0, 0, 1, kNodata};
        context.output_format = output;
        const FatalError error = expect_fatal([&] { write_grid(context, "/dev/full", context.allocate()); });
        EXPECT_EQ(error.code(), 10);
        EXPECT_STREQ(error.what(), "error writing in /dev/full\n");
        EXPECT_EQ(error.reason(), "cannot write /dev/full: No space left on device (the disk is full; free space or "
                                  "write elsewhere)");
      }
    }
  }
}

}  // namespace
}  // namespace orograd
