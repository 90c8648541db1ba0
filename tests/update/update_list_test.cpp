#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "device/regular_file.h"

#include "update/private_profile.h"
#include "update/update_files.h"
#include "update/update_list.h"

namespace pellar {
namespace {

using testing::MakeFolder;
using testing::Slashed;
using testing::TempDir;

TEST(PrivateProfile, NamesIgnoreCaseAndTheFirstOccurrenceWins) {
  PrivateProfile profile = PrivateProfile::Parse(
      "stray=before any section\r\n"
      "[update_info]\r\n"
      "FILE_NUM=2\r\n"
      "file_num=5\r\n"
      "[Update_Info]\r\n"
      "other=in the second section of that name\r\n"
      "[FILE1]\n"
      "FileName=a.bin\n");
  EXPECT_EQ(profile.Int("Update_Info", "file_num"), 2);
  EXPECT_EQ(profile.Value("Update_Info", "other"), std::nullopt);  // only the first section counts
  EXPECT_EQ(profile.String("file1", "filename"), "a.bin");
  EXPECT_EQ(profile.Value("", "stray"), std::nullopt);
}

TEST(PrivateProfile, BlanksAndOneQuotePairAreRemoved) {
  PrivateProfile profile = PrivateProfile::Parse(
      "  [ s ]  \n"
      "\t key \t=  spaced value \t\n"
      "quoted=\"  kept blanks  \"\n"
      "twice=\"\"inner\"\"\n"
      "lone=\"open\n"
      "inside=a \"b\" c\n"
      "single='a.bin'\n"
      "mixed='a.bin\"\n"
      "single_inside=\"'kept'\"\n"
      "empty=\n"
      "no equals sign\n"
      "cr=mac line\rafter=cr\r");
  EXPECT_EQ(profile.String("s", "key"), "spaced value");
  EXPECT_EQ(profile.String("s", "quoted"), "  kept blanks  ");
  EXPECT_EQ(profile.String("s", "twice"), "\"inner\"");
  EXPECT_EQ(profile.String("s", "lone"), "\"open");
  EXPECT_EQ(profile.String("s", "inside"), "a \"b\" c");
  EXPECT_EQ(profile.String("s", "single"), "a.bin");
  EXPECT_EQ(profile.String("s", "mixed"), "'a.bin\"");
  EXPECT_EQ(profile.String("s", "single_inside"), "'kept'");
  EXPECT_EQ(profile.Value("s", "empty"), "");
  EXPECT_EQ(profile.Value("s", "no equals sign"), std::nullopt);
  EXPECT_EQ(profile.String("s", "cr"), "mac line");
  EXPECT_EQ(profile.String("s", "after"), "cr");
  EXPECT_EQ(profile.String("s", "missing", "default"), "default");
}

TEST(PrivateProfile, ValuesAreCutAt1023Utf16Units) {
  std::string long_value(1030, 'x');
  // 1022 units, then a character outside the basic plane (two units) that does not fit whole.
  std::string straddling = std::string(1022, 'y') + "\xF0\x9F\x98\x80" + "z";
  PrivateProfile profile =
      PrivateProfile::Parse("[s]\nlong=" + long_value + "\nwide=" + straddling + "\n");
  EXPECT_EQ(profile.String("s", "long"), std::string(1023, 'x'));
  EXPECT_EQ(profile.String("s", "wide"), std::string(1022, 'y'));
}

TEST(PrivateProfile, Utf16WithByteOrderMark) {
  const std::u16string text = u"[file1]\r\nfilename=固件/app.bin\r\n";
  std::string little = "\xFF\xFE";
  std::string big = "\xFE\xFF";
  for (char16_t unit : text) {
    little += static_cast<char>(unit & 0xFF);
    little += static_cast<char>(unit >> 8);
    big += static_cast<char>(unit >> 8);
    big += static_cast<char>(unit & 0xFF);
  }
  EXPECT_EQ(PrivateProfile::Parse(little).String("file1", "filename"), "固件/app.bin");
  EXPECT_EQ(PrivateProfile::Parse(big).String("file1", "filename"), "固件/app.bin");
  EXPECT_EQ(PrivateProfile::Parse("\xEF\xBB\xBF[file1]\nfilename=a\n").String("file1", "filename"), "a");
  // Bytes that are not UTF-8 are kept visible, not dropped.
  EXPECT_EQ(PrivateProfile::Parse("[s]\nk=a\xFF" "b\n").String("s", "k"), "a\xEF\xBF\xBD" "b");
}

TEST(PrivateProfile, IntegersAreReadAsThePlatformReadsThem) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"2", 2},        {"+3", 3},   {"-1", -1},          {"12abc", 12},
                        {"abc", 0},      {"", 0},     {"0x10", 0},         {"\"7\"", 7},
                        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
  for (const Case& c : cases) {
    PrivateProfile profile = PrivateProfile::Parse(std::string("[s]\nn=") + c.text + "\n");
    EXPECT_EQ(profile.Int("s", "n", 42), c.expected) << c.text;
  }
  EXPECT_EQ(PrivateProfile::Parse("[s]\n").Int("s", "n", 42), 42);
}

TEST(UpdateList, EntriesReadFromTheFile) {
  TempDir folder;
  std::string list = folder.Write("list.txt",
                                  "[Update_Info]\nfile_num=3\n"
                                  "[file1]\nfilename=images/app.bin\nDevicefilePath=app.bin\n"
                                  "[file3]\nfilename=res.lzma\nDevicefilePath=res.lzma\n");
  EXPECT_EQ(ReadFileCount(list), 3);
  UpdateEntry first = ReadUpdateEntry(list, 1);
  EXPECT_EQ(first.filename, "images/app.bin");
  EXPECT_EQ(first.device_path, "app.bin");
  UpdateEntry second = ReadUpdateEntry(list, 2);
  EXPECT_EQ(second.filename, "");
  EXPECT_EQ(second.device_path, "");
  EXPECT_EQ(ReadUpdateEntry(list, 3).filename, "res.lzma");

  EXPECT_EQ(ReadFileCount(Slashed(folder) + "missing.txt"), 0);
  EXPECT_EQ(ReadUpdateEntry(Slashed(folder) + "missing.txt", 1).filename, "");
}

// A run reads the list value by value: a changed file is read afresh, an unchanged one is not
// parsed again, and what is no regular file reads as a missing list.
TEST(UpdateListFile, ReadsAfreshOnlyWhenTheFileChanged) {
  TempDir folder;
  const std::string path = folder.Write("list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\n");
  UpdateListFile list(path);
  EXPECT_EQ(list.FileCount(), 1);
  EXPECT_EQ(list.Entry(1).filename, "a.bin");

  // Same size, same inode, its time set back: nothing tells the content apart, so it is not parsed
  // again. (Were it read for every value, "b.bin" would show.)
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  folder.Write("list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=b.bin\n");
  const struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(list.Entry(1).filename, "a.bin");

  struct Step {
    const char* name;
    std::function<void()> change;
    int file_count;
    const char* filename;
  };
  const Step steps[] = {
      {"rewritten in place", [&] { folder.Write("list.txt", "[Update_Info]\nfile_num=12\n[file1]\nfilename=c.bin\n"); },
       12, "c.bin"},
      {"replaced by another file",
       [&] {
         std::string other = folder.Write("other.txt", "[Update_Info]\nfile_num=3\n[file1]\nfilename=d.bin\n");
         ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
       },
       3, "d.bin"},
      {"removed", [&] { std::filesystem::remove(path); }, 0, ""},
      {"a folder", [&] { std::filesystem::create_directory(path); }, 0, ""},
      {"a pipe", [&] { std::filesystem::remove(path); ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, 0, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    EXPECT_EQ(list.FileCount(), step.file_count);
    EXPECT_EQ(list.Entry(1).filename, step.filename);
  }
}

TEST(UpdateList, AListThatCannotBeReadIsNamedWithTheReason) {
  TempDir folder;
  std::string good = folder.Write("list.txt", "[Update_Info]\nfile_num=1\n");
  std::string pipe = folder.Path("pipe.txt");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string huge = folder.Path("huge.txt");
  std::filesystem::resize_file(folder.Write("huge.txt", ""), kTextFileLimit + 1);
  struct Case {
    std::string path;
    std::string problem;
  };
  for (const Case& c : {Case{good, ""},
                        Case{folder.Path("missing.txt"), "the update list \"" + folder.Path("missing.txt") +
                                                             "\" cannot be read: No such file or directory"},
                        Case{folder.path().string(), "the update list \"" + folder.path().string() +
                                                         "\" is not a regular file"},
                        Case{pipe, "the update list \"" + pipe + "\" is not a regular file"},
                        Case{"/dev/zero", "the update list \"/dev/zero\" is not a regular file"},
                        Case{huge, "the update list \"" + huge + "\" is larger than 16777216 bytes"}}) {
    EXPECT_EQ(UpdateListProblem(c.path), c.problem);
  }
}

TEST(UpdateList, DerivedNames) {
  struct Case {
    const char* filename;
    const char* device_path;
    const char* display;
    bool pauses;
  };
  const Case cases[] = {{"sub/dir/fw.bin", "fw.bin", "fw.bin", false},
                        {"sub\\dir\\fw.bin", "fw.lzma", "sub\\dir\\fw.bin", true},
                        {"fw.bin", "data/FW.LZMA", "fw.bin", false},
                        {"dir/", "a.lzma.bak", "", true},
                        {"", "", "", false}};
  for (const Case& c : cases) {
    UpdateEntry entry{1, c.filename, c.device_path};
    EXPECT_EQ(entry.DisplayName(), c.display) << c.filename;
    EXPECT_EQ(entry.PausesAfter(), c.pauses) << c.device_path;
  }
}

TEST(UpdateList, HostPathsBesideTheExecutableThenBesideTheList) {
  TextCodec utf8 = TextCodec::Utf8();
  EXPECT_EQ(HostPathCandidates("sub\\dir\\fw.bin", "/opt/pellar/", "/lists/list.txt", utf8),
            (std::vector<std::string>{"/opt/pellar/sub/dir/fw.bin", "/lists/sub/dir/fw.bin"}));
  EXPECT_EQ(HostPathCandidates("fw.bin", "/opt/pellar/", "list.txt", utf8),
            (std::vector<std::string>{"/opt/pellar/fw.bin", "fw.bin"}));
  EXPECT_EQ(HostPathCandidates("fw.bin", "/same/", "/same/list.txt", utf8),
            (std::vector<std::string>{"/same/fw.bin"}));
  // The path goes through the wire encoding; what it cannot represent cannot be opened.
  std::optional<TextCodec> gbk = TextCodec::Make("GBK");
  ASSERT_TRUE(gbk);
  EXPECT_EQ(HostPathCandidates("固件.bin", "/d/", "/d/l.txt", *gbk),
            (std::vector<std::string>{"/d/\xB9\xCC\xBC\xFE.bin"}));
  EXPECT_TRUE(HostPathCandidates("\xF0\x9F\x98\x80.bin", "/d/", "/d/l.txt", *gbk).empty());
  EXPECT_EQ(ExecutableDirectory().back(), '/');
}

TEST(UpdateList, DeviceNamesAreEncodedAndMustFitOneFrame) {
  TextCodec utf8 = TextCodec::Utf8();
  const char* problem = nullptr;
  EXPECT_EQ(EncodeDeviceName(std::string(1010, 'n'), utf8, &problem), std::string(1010, 'n'));
  EXPECT_EQ(EncodeDeviceName(std::string(1011, 'n'), utf8, &problem), std::nullopt);
  EXPECT_STREQ(problem, "the device file name is too long!");
  std::optional<TextCodec> ascii = TextCodec::Make("ASCII");
  ASSERT_TRUE(ascii);
  EXPECT_EQ(EncodeDeviceName("固件.bin", *ascii, &problem), std::nullopt);
  EXPECT_STREQ(problem, "the device file name cannot be encoded!");
}

}  // namespace
}  // namespace pellar
