// The preprocessor: symbols, "//" joins, comments, warnings and its failures.
#include <gtest/gtest.h>

#include "control/Steuer.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

class Preprocessor : public ::testing::Test {
 protected:
  Console console = Console::capturing();
  TempDir dir;

  // Preprocesses `text` and returns the preprocessed file's contents.
  std::string run(const std::string& text) {
    write_file(dir.file("run.ctl"), text);
    const std::string output = preprocess_control_file(dir.file("run.ctl"), console);
    EXPECT_EQ(output, dir.file("run.$$$"));
    return read_file(output);
  }
  FatalError fail(const std::string& text) {
    return expect_fatal([&] { run(text); });
  }
};

TEST(PreprocessedName, ReplacesTheExtension) {
  EXPECT_EQ(preprocessed_file_name("run.ctl"), "run.$$$");
  EXPECT_EQ(preprocessed_file_name("run"), "run.$$$");
  EXPECT_EQ(preprocessed_file_name("a.b/run"), "a.b/run.$$$");
  EXPECT_EQ(preprocessed_file_name("c:\\x.y\\run.txt"), "c:\\x.y\\run.$$$");
  EXPECT_EQ(preprocessed_file_name(".hidden"), ".hidden.$$$");
  EXPECT_EQ(preprocessed_file_name("dir/run.v1.ctl"), "dir/run.v1.$$$");
}

TEST_F(Preprocessor, SubstitutesSymbolsAndJoins) {
  EXPECT_EQ(run("$set $dir = data\n$set $file = $dir//dem\n[Hoehenmodell]\n1\n$dir//dem.asc 1\n$file//.asc\n"
                "a//b\n $set $x = 1\n"),
            "[Hoehenmodell]\n1\ndatadem.asc 1\ndatadem.asc\nab\n $set $x = 1\n");
  const std::string& out = console.captured();
  EXPECT_EQ(out.substr(0, 30), "file ..\\..\\Steuer, compiled at");
  EXPECT_NE(out.find("compiling symbols in control file " + dir.file("run.ctl") + "\n"), std::string::npos);
}

TEST_F(Preprocessor, CutsComments) {
  EXPECT_EQ(run("# a comment line\n1 # switch\n1#x\nname.asc# comment\n\n2\t# tab\n   # indented\nlast"),
            "1\n1\nname.asc\n\n2\n  \nlast");
}

TEST_F(Preprocessor, WarnsAboutSymbolsWithTheSameText) {
  run("$set $a = dem.asc\n$set $b = 10\n$set $c = dem.asc\n$set $d = 10\n$set $e = dem.asc\n$set $f = nan\n"
      "$set $g = nan\n");
  const std::string block =
      "\n------------------------ WARNING --------------------------\n\npossible error in control file!\n\n"
      "content of symbol $a is the same as symbol $c, \n (what is: dem.asc).\nthis may leed to collusions!\n"
      "\n-----------------------------------------------------------\n";
  const std::string& out = console.captured();
  EXPECT_NE(out.find(block), std::string::npos);
  // $e matches $a and $c; numbers and nan never warn.
  std::size_t warnings = 0;
  for (std::size_t at = 0; (at = out.find("WARNING", at)) != std::string::npos; ++at) ++warnings;
  EXPECT_EQ(warnings, 3u);
}

TEST_F(Preprocessor, UndefinedSymbolsStop) {
  const FatalError error = fail("[Flussnetz]\n$x 1\n");
  EXPECT_EQ(error.code(), 17);
  EXPECT_STREQ(error.what(),
               "\n-----------------------------------------------------------\n\npossible error in control file!\n\n"
               "undefied symbol at line 2:\n$x 1\n\n-----------------------------------------------------------\n");
  // A definition that uses a symbol defined after it.
  EXPECT_EQ(fail("$set $a = $b\n$set $b = 1\n").code(), 17);
  // Ordinary lines see every definition, wherever it stands.
  EXPECT_EQ(run("$y\n$set $y = 1\n"), "1\n");
}

TEST_F(Preprocessor, RejectsWhatWouldLoopOrOverflow) {
  EXPECT_EQ(fail("$set $a = x$a\n").code(), 18);
  EXPECT_EQ(fail(std::string(1200, 'x') + "\n").code(), 18);
  EXPECT_EQ(fail("$set $a = " + std::string(300, 'v') + "\n").code(), 18);
  EXPECT_EQ(fail("$set $a\n").code(), 18);
  std::string many;
  for (int i = 0; i < 2000; ++i) many += "$set $s" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  EXPECT_EQ(fail(many).code(), 18);
  // Substitution that grows a line past the limit.
  const std::string value(250, 'v');
  EXPECT_EQ(fail("$set $a = " + value + "\n$a $a $a $a $a\n").code(), 18);
  EXPECT_EQ(run(std::string(1199, 'x') + "\n"), std::string(1199, 'x') + "\n");
}

TEST_F(Preprocessor, MissingControlFile) {
  const FatalError error = expect_fatal([&] { preprocess_control_file(dir.file("none.ctl"), console); });
  EXPECT_EQ(error.code(), 28);
  EXPECT_EQ(error.what(), "error opening " + dir.file("none.ctl") + "\n");
}

}  // namespace
}  // namespace orograd
