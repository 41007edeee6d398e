// Atomic writes: nothing partial, nothing clobbered without leave, the input never overwritten.

#include "cli/atomic_write.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace chaosmix::cli {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "chaosmix-atomic-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::vector<std::uint8_t> bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

TEST_F(AtomicWrite, WritesNewFilesAndLeavesNoTemporaryFile) {
  const fs::path target = dir_ / "out.png";
  writeFileAtomically(target, bytes("hello"), Overwrite::refuse);
  EXPECT_EQ(content(target), "hello");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicWrite, RefusesAnExistingFileUnlessReplacing) {
  const fs::path target = dir_ / "out.png";
  writeFileAtomically(target, bytes("first"), Overwrite::refuse);
  EXPECT_THROW(checkOutputAllowed(target, dir_ / "in.png", Overwrite::refuse), WriteError);
  try {
    writeFileAtomically(target, bytes("second"), Overwrite::refuse);
    ADD_FAILURE() << "clobbered";
  } catch (const WriteError& e) {
    EXPECT_NE(std::string(e.what()).find("--force"), std::string::npos);
  }
  EXPECT_EQ(content(target), "first");
  EXPECT_EQ(entries(), 1u);
  EXPECT_NO_THROW(checkOutputAllowed(target, dir_ / "in.png", Overwrite::replace));
  writeFileAtomically(target, bytes("third"), Overwrite::replace);
  EXPECT_EQ(content(target), "third");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicWrite, NeverAllowsOverwritingTheInput) {
  const fs::path input = dir_ / "in.png";
  writeFileAtomically(input, bytes("image"), Overwrite::refuse);
  const fs::path alias = dir_ / "alias.png";
  fs::create_hard_link(input, alias);
  const fs::path spelled = dir_ / "." / "in.png";
  for (const fs::path& output : {input, alias, spelled}) {
    try {
      checkOutputAllowed(output, input, Overwrite::replace);
      ADD_FAILURE() << output;
    } catch (const WriteError& e) {
      EXPECT_NE(std::string(e.what()).find("input file"), std::string::npos) << e.what();
    }
  }
}

TEST_F(AtomicWrite, AFailedWriteLeavesNothing) {
  EXPECT_THROW(writeFileAtomically(dir_ / "missing" / "out.png", bytes("x"), Overwrite::replace),
               WriteError);
  EXPECT_EQ(entries(), 0u);
}

TEST_F(AtomicWrite, GivesTheRequestedPermissions) {
  const fs::path key = dir_ / "key.txt";
  writeFileAtomically(key, bytes("k"), Overwrite::refuse, 0600);
  struct stat status {};
  ASSERT_EQ(::stat(key.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  const fs::path image = dir_ / "image.png";
  writeFileAtomically(image, bytes("i"), Overwrite::refuse);
  ASSERT_EQ(::stat(image.c_str(), &status), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(status.st_mode & 0777, 0666u & ~mask);
}

}  // namespace
}  // namespace chaosmix::cli
