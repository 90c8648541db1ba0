#include "device/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace pellar {
namespace {

using testing::TempDir;

// Readers of outside input take only regular files, and never more than their format can hold.
TEST(RegularFile, ReadsOnlyRegularFilesUpToTheLimit) {
  TempDir folder;
  std::string pipe = folder.Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);  // no writer: opening it to read would block
  std::filesystem::create_symlink(folder.Write("ten", "0123456789"), folder.path() / "link");
  std::filesystem::resize_file(folder.Write("sparse", ""), 1ULL << 31);  // 2 GiB, never read
  struct Case {
    std::string path;
    FileReadStatus status;
    std::string bytes;
  };
  const Case cases[] = {
      {folder.Path("ten"), FileReadStatus::kRead, "0123456789"},
      {folder.Path("link"), FileReadStatus::kRead, "0123456789"},
      {folder.Write("empty", ""), FileReadStatus::kRead, ""},
      {folder.Write("eleven", "0123456789A"), FileReadStatus::kTooLarge, ""},
      {folder.Path("sparse"), FileReadStatus::kTooLarge, ""},
      {folder.Path("missing"), FileReadStatus::kMissing, ""},
      {folder.path().string(), FileReadStatus::kNotRegular, ""},
      {pipe, FileReadStatus::kNotRegular, ""},
      {"/dev/zero", FileReadStatus::kNotRegular, ""},
  };
  for (const Case& c : cases) {
    FileRead read = ReadRegularFile(c.path, 10);
    EXPECT_EQ(read.status, c.status) << c.path;
    EXPECT_EQ(read.bytes, c.bytes) << c.path;
  }
}

TEST(RegularFile, TheProblemReadsAsPartOfAMessage) {
  EXPECT_EQ(FileReadProblem(ReadRegularFile("/nonexistent/x", 10), 10),
            "cannot be read: No such file or directory");
  EXPECT_EQ(FileReadProblem(ReadRegularFile("/dev/null", 10), 10), "is not a regular file");
  EXPECT_EQ(FileReadProblem(FileRead{FileReadStatus::kTooLarge, {}, 0}, 10), "is larger than 10 bytes");
}

}  // namespace
}  // namespace pellar
