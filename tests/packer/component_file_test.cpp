#include "packer/component_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "packer/file_replacement.h"
#include "packer/byte_pattern.h"
#include "support/temp_dir.h"

namespace pellar {
namespace {

using testing::Pattern;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

TEST(ReadComponentFile, ReadsTheWholeFileAtTheOffsetAndTouchesNothingElse) {
  TempDir folder;
  Bytes data = Pattern(300, 1);
  std::string path = folder.WriteBytes("c.bin", data);
  Bytes buffer(400, 0xEE);
  EXPECT_EQ(ReadComponentFile(buffer, 28, path), 300);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.begin() + 28));
  EXPECT_EQ(buffer[27], 0xEE);
  EXPECT_EQ(buffer[328], 0xEE);
  EXPECT_EQ(ComponentFileSize(path), 300u);
}

TEST(ReadComponentFile, RefusesWhatItCannotReadWholeOrCannotFit) {
  TempDir folder;
  std::string path = folder.WriteBytes("c.bin", Pattern(100, 2));
  std::string empty = folder.WriteBytes("e.bin", {});
  Bytes buffer(120, 0xEE);
  EXPECT_EQ(ReadComponentFile(buffer, 20, path), 100);  // ends exactly at the buffer's end
  EXPECT_EQ(ReadComponentFile(buffer, 21, path), kComponentTooLarge);
  EXPECT_EQ(ReadComponentFile(buffer, 120, empty), 0);
  EXPECT_EQ(ReadComponentFile(buffer, 121, empty), kComponentTooLarge);
  EXPECT_EQ(ReadComponentFile(buffer, 0, folder.Path("missing.bin")), kComponentUnreadable);
  EXPECT_EQ(ReadComponentFile(buffer, 0, folder.path().string()), kComponentUnreadable);
  EXPECT_EQ(ComponentFileSize(folder.Path("missing.bin")), std::nullopt);
}

TEST(ReplaceFileContents, KeepsAnExistingFilesPermissionsAndWritesThroughALink) {
  TempDir folder;
  std::string target = folder.WriteBytes("real.bin", {1, 2, 3, 4});
  ::chmod(target.c_str(), 0640);
  std::filesystem::create_symlink("real.bin", folder.path() / "link.bin");

  ASSERT_TRUE(ReplaceFileContents(folder.Path("link.bin"), Bytes{9}));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "link.bin"));
  EXPECT_EQ(folder.ReadBytes("real.bin"), Bytes{9});
  struct stat status {};
  ::stat(target.c_str(), &status);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"link.bin", "real.bin"}));

  std::filesystem::create_symlink("later.bin", folder.path() / "dangling.bin");
  ASSERT_TRUE(ReplaceFileContents(folder.Path("dangling.bin"), Bytes{8}));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "dangling.bin"));
  EXPECT_EQ(folder.ReadBytes("later.bin"), Bytes{8});
}

TEST(ReplaceFileContents, GivesANewFileTheUsualPermissions) {
  TempDir folder;
  mode_t mask = ::umask(022);
  ASSERT_TRUE(ReplaceFileContents(folder.Path("new.bin"), Bytes{1}));
  ::umask(mask);
  struct stat status {};
  ::stat(folder.Path("new.bin").c_str(), &status);
  EXPECT_EQ(status.st_mode & 07777, 0644u);
}

}  // namespace
}  // namespace pellar
