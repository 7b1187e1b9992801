// Files replaced whole: the temporary beside the target, the rename on commit, the
// removal on abort, permissions as fopen gives them, links kept, devices written directly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "base/atomic_file.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void put(AtomicFile& file, const std::string& text) {
  ASSERT_TRUE(file.opened()) << file.error();
  ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file.stream()), text.size());
}

mode_t permissions(const std::string& name) {
  struct stat status;
  return stat(name.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Sets the umask for one test and restores it.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(umask(mask)) {}
  ~ScopedUmask() { umask(previous_); }

 private:
  mode_t previous_;
};

TEST(AtomicFile, CommitReplacesTheTargetWithFopensPermissions) {
  const ScopedUmask mask(027);
  const struct {
    const char* old_contents;  // nullptr: a new name
    mode_t old_mode;
    mode_t expected_mode;
  } cases[] = {{nullptr, 0, 0640}, {"old", 0600, 0600}, {"old", 0666, 0666}};
  for (const auto& c : cases) {
    const TempDir dir;
    const std::string target = dir.file("a.asc");
    if (c.old_contents != nullptr) {
      write_file(target, c.old_contents);
      ASSERT_EQ(chmod(target.c_str(), c.old_mode), 0);
    }
    AtomicFile file(target, ".tif");
    put(file, "new");
    // Written beside the target under a hidden name, the target not yet touched.
    EXPECT_EQ(fs::path(file.path()).parent_path(), dir.path());
    EXPECT_TRUE(fs::path(file.path()).filename().string().starts_with(".a.asc.orograd-")) << file.path();
    EXPECT_TRUE(file.path().ends_with(".tif")) << file.path();
    if (c.old_contents != nullptr) {
      EXPECT_EQ(read_file(target), c.old_contents);
    }
    ASSERT_EQ(file.commit(), 0);
    EXPECT_EQ(read_file(target), "new");
    EXPECT_EQ(permissions(target), c.expected_mode) << (c.old_contents ? "replaced" : "new");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"a.asc"});
  }
}

TEST(AtomicFile, AnAbandonedWriteLeavesTheOldFileAndNoTemporary) {
  const TempDir dir;
  write_file(dir.file("a.asc"), "old");
  {
    AtomicFile file(dir.file("a.asc"));
    put(file, "partial");
    ASSERT_EQ(std::fflush(file.stream()), 0);
    EXPECT_EQ(names_in(dir.path()).size(), 2u);
  }
  EXPECT_EQ(read_file(dir.file("a.asc")), "old");
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"a.asc"});
}

TEST(AtomicFile, ALinkStaysALinkAndItsTargetIsReplaced) {
  for (const bool dangling : {false, true}) {
    const TempDir dir;
    fs::create_directory(dir.path() / "data");
    if (!dangling) write_file(dir.file("data/real.asc"), "old");
    fs::create_symlink("data/real.asc", dir.path() / "link.asc");
    AtomicFile file(dir.file("link.asc"));
    put(file, "new");
    EXPECT_EQ(fs::path(file.path()).parent_path(), dir.path() / "data") << dangling;
    ASSERT_EQ(file.commit(), 0);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.asc")) << dangling;
    EXPECT_EQ(read_file(dir.file("data/real.asc")), "new") << dangling;
    EXPECT_EQ(names_in(dir.path() / "data"), std::vector<std::string>{"real.asc"});
  }
}

TEST(AtomicFile, DevicesAreWrittenDirectly) {
  AtomicFile file("/dev/null");
  put(file, "discarded");
  EXPECT_EQ(file.path(), "/dev/null");
  EXPECT_EQ(file.commit(), 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(AtomicFile, AMissingFolderFailsAtCreation) {
  const TempDir dir;
  const AtomicFile file(dir.file("missing/a.asc"));
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(file.error(), ENOENT);
  EXPECT_EQ(file.stream(), nullptr);
}

}  // namespace
}  // namespace orograd
