#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "grid/text_number_reader.hpp"

namespace orograd {
namespace {

// `count` numbers in the forms text grids hold, separated by varied white space.
std::string number_words(int count, unsigned seed) {
  std::mt19937 random(seed);
  const char* forms[] = {"%.0f", "%.3f", "%g", "%.6e", "-%.2f"};
  const char* spaces[] = {" ", "  ", "\t", "\n", "\r\n", " \n "};
  std::string text;
  char word[64];
  for (int k = 0; k < count; ++k) {
    std::snprintf(word, sizeof word, forms[random() % 5], (random() % 2000000) / 7.0);
    text += word;
    text += spaces[random() % 6];
  }
  return text;
}

struct Reading {
  int64_t read = 0;
  std::vector<double> cells;
  std::string next_word;
};

// Reads a grid from `text` with read_cells, or, as the plain reference, row by row
// with read_numbers; then the word that follows, as the reader's error message takes it.
Reading read_grid(const std::string& text, int ncols, int nrows, bool by_cells) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  TextNumberReader reader(file);
  Grid grid = Grid::allocate(ncols, nrows);
  Reading reading;
  if (by_cells) {
    reading.read = reader.read_cells(grid);
  } else {
    for (int r = 1; r <= nrows; ++r) {
      const int32_t read = reader.read_numbers(grid.row(r), ncols);
      reading.read += read;
      if (read < ncols) break;
    }
  }
  reader.read_word(reading.next_word);
  std::fclose(file);
  for (int64_t k = 0; k < reading.read; ++k)
    reading.cells.push_back(grid(static_cast<int32_t>(k / ncols + 1), static_cast<int32_t>(k % ncols + 1)));
  return reading;
}

// Over a megabyte of text, so words straddle the buffer's ends and the cores' parts.
TEST(ReadCells, ReadsWhatRowByRowReadingReads) {
  constexpr int kCols = 700, kRows = 400, kCells = kCols * kRows;
  struct Case {
    const char* what;
    int numbers;           // words before the inserted text
    std::string inserted;  // then the rest of the kCells words
  };
  const Case cases[] = {
      {"every cell", kCells, ""},
      {"text after the last cell is left alone", kCells, "junk 12abc"},
      {"the file ends early", kCells - 1234, "\n"},
      {"a number with more in its word, in a later part", 200000, "12abc "},
      {"a word that reads as two numbers", 150000, "1-2 "},
      {"no number at all, early", 100, "abc "},
      {"nan and signs", 90000, "nan -inf +5 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = number_words(c.numbers, 3) + c.inserted;
    if (c.numbers < kCells && c.inserted != "\n") text += number_words(kCells - c.numbers, 4);
    const Reading plain = read_grid(text, kCols, kRows, false);
    const Reading fast = read_grid(text, kCols, kRows, true);
    EXPECT_EQ(fast.read, plain.read);
    EXPECT_EQ(fast.next_word, plain.next_word);
    ASSERT_EQ(fast.cells.size(), plain.cells.size());
    EXPECT_EQ(0, std::memcmp(fast.cells.data(), plain.cells.data(), fast.cells.size() * sizeof(double)));
  }
}

}  // namespace
}  // namespace orograd
