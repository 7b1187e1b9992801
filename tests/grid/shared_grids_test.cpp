// The rule by which a section takes an input grid from memory or from its file.
#include <gtest/gtest.h>

#include "grid/shared_grids.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::TempDir;
using testing::text_grid;
using testing::write_file;

class SharedGridReuse : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  GridContext context{console};
  TempDir dir;
  SharedGrid shared;

  void SetUp() override {
    write_file(dir.file("a.asc"), text_grid(2, 1, {1, 1}));
    write_file(dir.file("b.asc"), text_grid(2, 1, {2, 2}));
  }
  std::size_t reads() const {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = console.captured().find("reading", at)) != std::string::npos; ++at) ++count;
    return count;
  }
};

TEST_F(SharedGridReuse, OneNameFormReadsOnlyOtherNames) {
  EXPECT_EQ(obtain_by_name(context, shared, dir.file("a.asc"))(1, 1), 1);
  EXPECT_EQ(context.header.ncols, 2);  // the first read fixed the geometry
  shared.grid(1, 1) = 42;                 // a change made in memory only
  EXPECT_EQ(obtain_by_name(context, shared, dir.file("a.asc"))(1, 1), 42);
  EXPECT_EQ(reads(), 1u);
  EXPECT_EQ(obtain_by_name(context, shared, dir.file("b.asc"))(1, 1), 2);
  EXPECT_EQ(shared.name, dir.file("b.asc"));
  // Another spelling of the same file is another name.
  obtain_by_name(context, shared, dir.path().string() + "/./a.asc");
  EXPECT_EQ(reads(), 3u);
}

TEST_F(SharedGridReuse, ReleasedGridsAndDisallowedReuseReadTheFile) {
  obtain_by_name(context, shared, dir.file("a.asc"));
  shared.grid(1, 1) = 42;
  EXPECT_EQ(obtain_by_name(context, shared, dir.file("a.asc"), false)(1, 1), 1);
  shared.release();
  EXPECT_EQ(obtain_by_name(context, shared, dir.file("a.asc"))(1, 1), 1);
  EXPECT_EQ(reads(), 3u);
}

TEST_F(SharedGridReuse, TwoNameFormUpdatesOnlyTheSecondName) {
  obtain_by_name(context, shared, dir.file("a.asc"));
  EXPECT_EQ(obtain_by_either_name(context, shared, dir.file("b.asc"))(1, 1), 2);
  EXPECT_EQ(shared.name, dir.file("a.asc"));
  EXPECT_EQ(shared.read_name, dir.file("b.asc"));
  // The old name still matches and now finds the grid read from b.asc.
  EXPECT_EQ(obtain_by_either_name(context, shared, dir.file("a.asc"))(1, 1), 2);
  EXPECT_EQ(obtain_by_either_name(context, shared, dir.file("b.asc"))(1, 1), 2);
  EXPECT_EQ(reads(), 2u);
}

}  // namespace
}  // namespace orograd
