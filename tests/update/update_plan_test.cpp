#include "update/update_plan.h"

#include <gtest/gtest.h>

#include "update/update_files.h"

namespace pellar {
namespace {

using testing::MakeFolder;
using testing::Slashed;
using testing::TempDir;
using Lines = std::vector<std::string>;

TEST(UpdatePlan, SizesPacketsPacingAndEveryProblem) {
  TempDir folder;
  std::string bin = MakeFolder(folder, "bin");
  folder.Write("lists/app.bin", std::string(2021, 'a'));
  folder.Write("lists/res.bin", std::string(1010, 'r'));
  folder.Write("lists/empty.bin", "");
  folder.Write("lists/big.bin", std::string(10485761, 'b'));
  std::string list = folder.Write(
      "lists/list.txt",
      "[Update_Info]\nfile_num=9\n"
      "[file1]\nfilename=app.bin\nDevicefilePath=app.bin\n"
      "[file2]\nfilename=res.bin\nDevicefilePath=res.lzma\n"
      "[file3]\nfilename=empty.bin\nDevicefilePath=" + std::string(1011, 'n') + "\n"
      "[file4]\nfilename=big.bin\nDevicefilePath=big.bin\n"
      "[FILE5]\nfilename=sub\\gone.bin\nDevicefilePath=gone.bin\n");
  UpdatePlan plan = PlanUpdate(list, TextCodec::Utf8(), bin);
  EXPECT_EQ(plan.file_count, 9);
  ASSERT_EQ(plan.entries.size(), 6U);  // entry 6 stands for the entries without a section

  struct Expected {
    std::int64_t size, packets, pacing_ms;
    std::size_t problems;
  };
  const Expected expected[] = {{2021, 3, 105, 0},  {1010, 1, 8035, 0}, {0, 0, 0, 1},
                               {10485761, 10382, 363370, 1}, {-1, 0, 0, 1}, {-1, 0, 0, 1}};
  for (std::size_t i = 0; i < plan.entries.size(); ++i) {
    SCOPED_TRACE(i + 1);
    const PlannedEntry& entry = plan.entries[i];
    EXPECT_EQ(entry.size, expected[i].size);
    EXPECT_EQ(entry.packets, expected[i].packets);
    EXPECT_EQ(entry.pacing_ms, expected[i].pacing_ms);
    EXPECT_EQ(entry.problems.size(), expected[i].problems);
  }
  EXPECT_EQ(plan.entries[0].host_path, Slashed(folder) + "lists/app.bin");
  EXPECT_EQ(plan.entries[2].problems, Lines{"file3: the device file name is too long!"});
  EXPECT_EQ(plan.entries[3].problems[0].rfind("file4: the file is too large!", 0), 0U);
  EXPECT_EQ(plan.entries[4].host_path, bin + "sub/gone.bin");
  EXPECT_EQ(plan.entries[4].problems,
            Lines{"file5: open the file failed! (no readable file at " + bin + "sub/gone.bin nor " +
                  Slashed(folder) + "lists/sub/gone.bin)"});
  EXPECT_EQ(plan.problems, Lines{"entries 7 to 9 have no section: no file to send"});
  EXPECT_FALSE(plan.WouldSucceed());
  EXPECT_EQ(plan.TotalPackets(), 3 + 1 + 10382);
}

TEST(UpdatePlan, ListsThatWouldSucceedOrSendNothing) {
  TempDir folder;
  folder.Write("a.bin", "abc");
  std::string good = folder.Write("good.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\nDevicefilePath=a\n");
  EXPECT_TRUE(PlanUpdate(good, TextCodec::Utf8(), MakeFolder(folder, "bin")).WouldSucceed());

  std::string none = folder.Write("none.txt", "[Update_Info]\nfile_num=0\n");
  for (const std::string& path : {none, Slashed(folder) + "missing.txt", std::string()}) {
    UpdatePlan plan = PlanUpdate(path, TextCodec::Utf8(), Slashed(folder));
    EXPECT_FALSE(plan.WouldSucceed()) << path;
    EXPECT_TRUE(plan.entries.empty());
    EXPECT_EQ(plan.problems.size(), 1U);
  }
}

}  // namespace
}  // namespace pellar
