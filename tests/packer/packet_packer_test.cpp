#include "packer/packet_packer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#include "packer/byte_pattern.h"
#include "support/temp_dir.h"
#include "support/recording_operator.h"

namespace pellar {
namespace {

using testing::Pattern;
using testing::RecordingOperator;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

const std::string kPacked = "文件组包packet.bin成功，文件在当前目录!";
const std::string kAllEmpty = "文件名不可以全部为空!";
const std::string kOpenFailed = "打开文件失败!";
const std::string kTooLarge = "文件总大小超过10MB!";
const std::string kWriteFailed = "写入文件失败!";

void Append(Bytes& into, const Bytes& more) { into.insert(into.end(), more.begin(), more.end()); }

Bytes RecordBytes(std::uint16_t type, std::uint32_t offset, std::uint32_t length) {
  Bytes bytes(kPacketRecordSize);
  StoreRecord({type, offset, length}, bytes.data());
  return bytes;
}

// Packs into the folder's "packet.bin" and checks that exactly one message was shown.
class PackerTest : public ::testing::Test {
 protected:
  PackOutcome Pack(const ComponentPaths& paths) {
    ui_.Clear();
    PackOutcome outcome = OnPack(paths, ui_, output());
    EXPECT_EQ(ui_.events().size(), 1u) << "one message per packing";
    return outcome;
  }
  std::string output() const { return folder_.Path("packet.bin"); }
  std::string message() const { return ui_.messages().empty() ? "" : ui_.messages().back(); }

  TempDir folder_;
  RecordingOperator ui_;
};

TEST_F(PackerTest, TwoComponentsMakeTheWorkedExampleByteForByte) {
  Bytes uvcconfig = Pattern(100, 1), app = Pattern(50, 2);
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP)] = folder_.WriteBytes("app.bin", app);
  paths[KindIndex(ComponentKind::UVCCONFIG)] = folder_.WriteBytes("uvc.bin", uvcconfig);

  EXPECT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes expected{0x5A, 0x5A, 0, 0, 2, 0, 0, 0, 0x12, 0x31, 0x12, 0, 0, 0, 0x64, 0, 0, 0};
  Append(expected, uvcconfig);
  Append(expected, {0x10, 0x31, 0x76, 0, 0, 0, 0x32, 0, 0, 0});
  Append(expected, app);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), expected);
  ASSERT_EQ(expected.size(), 178u);
  // Opening the output by default name would write beside the test; the outcome names the file.
  EXPECT_EQ(message(), "文件组包" + output() + "成功!");
  EXPECT_EQ(PackMessage(PackOutcome::kPacked), kPacked);
}

TEST_F(PackerTest, ASingleComponentOfAnyKindStandsAtByteEightWithOffsetEighteen) {
  for (const ComponentKindInfo& info : kComponentKinds) {
    SCOPED_TRACE(std::string(info.name));
    Bytes data = Pattern(33, static_cast<std::uint8_t>(info.type));
    ComponentPaths paths;
    paths[KindIndex(info.kind)] = folder_.WriteBytes("one.bin", data);
    ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
    Bytes expected{0x5A, 0x5A, 0, 0, 1, 0, 0, 0};
    Append(expected, RecordBytes(info.type, 18, 33));
    Append(expected, data);
    EXPECT_EQ(folder_.ReadBytes("packet.bin"), expected);
  }
}

TEST_F(PackerTest, KindsFollowTheFileOrderWithEachLaterOffsetAtItsRecord) {
  // Filled in reverse of the file order, with an empty component in the middle.
  Bytes app = Pattern(7, 3), hid = {}, uvc = Pattern(5, 4);
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP)] = folder_.WriteBytes("app.bin", app);
  paths[KindIndex(ComponentKind::HID_TEST)] = folder_.WriteBytes("hid.bin", hid);
  paths[KindIndex(ComponentKind::UVCCONFIG)] = folder_.WriteBytes("uvc.bin", uvc);

  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes expected{0x5A, 0x5A, 0, 0, 3, 0, 0, 0};
  Append(expected, RecordBytes(0x3112, 18, 5));
  Append(expected, uvc);
  Append(expected, RecordBytes(0x31F0, 23, 0));  // no data: the next record follows at once
  Append(expected, RecordBytes(0x3110, 33, 7));
  Append(expected, app);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), expected);
}

TEST_F(PackerTest, AnEmptyFirstComponentStillNamesItsDataPosition) {
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::UVCATTR)] = folder_.WriteBytes("empty.bin", {});
  paths[KindIndex(ComponentKind::FAST_INIT)] = folder_.WriteBytes("fast.bin", {9, 8});
  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes expected{0x5A, 0x5A, 0, 0, 2, 0, 0, 0};
  Append(expected, RecordBytes(0x3113, 18, 0));
  Append(expected, RecordBytes(0x3120, 18, 2));
  Append(expected, {9, 8});
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), expected);
}

TEST_F(PackerTest, OneFileChosenForTwoKindsGoesInTwice) {
  Bytes data = Pattern(4, 5);
  std::string path = folder_.WriteBytes("both.bin", data);
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::SENSOR_DIRVER)] = path;
  paths[KindIndex(ComponentKind::SENSOR_SETTINGS)] = path;
  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes expected{0x5A, 0x5A, 0, 0, 2, 0, 0, 0};
  Append(expected, RecordBytes(0x3114, 18, 4));
  Append(expected, data);
  Append(expected, RecordBytes(0x3115, 22, 4));
  Append(expected, data);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), expected);
}

TEST_F(PackerTest, RepackingGivesTheSameFileAndLeavesNoOlderBytesBehind) {
  folder_.WriteBytes("packet.bin", Pattern(5000, 6));
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP_INIT)] = folder_.WriteBytes("init.bin", Pattern(20, 7));
  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes first = folder_.ReadBytes("packet.bin");
  EXPECT_EQ(first.size(), 38u);
  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), first);
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"init.bin", "packet.bin"}));
}

TEST_F(PackerTest, NoComponentChosenShowsOnlyItsMessageAndCreatesNothing) {
  EXPECT_EQ(Pack(ComponentPaths{}), PackOutcome::kNoComponents);
  EXPECT_EQ(message(), kAllEmpty);
  EXPECT_FALSE(folder_.Exists("packet.bin"));

  folder_.WriteBytes("packet.bin", {1, 2, 3});
  EXPECT_EQ(Pack(ComponentPaths{}), PackOutcome::kNoComponents);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), (Bytes{1, 2, 3}));
}

TEST_F(PackerTest, AnUnusableComponentStopsThePackingAndKeepsTheOldFile) {
  const Bytes old = {1, 2, 3};
  struct Case {
    const char* name;
    std::string path;
  };
  std::filesystem::create_directory(folder_.path() / "folder.bin");
  for (const Case& c : {Case{"missing", folder_.Path("missing.bin")},
                        Case{"a folder", folder_.Path("folder.bin")},
                        Case{"not a regular file", "/dev/null"}}) {
    SCOPED_TRACE(c.name);
    folder_.WriteBytes("packet.bin", old);
    ComponentPaths paths;
    paths[KindIndex(ComponentKind::UVCCONFIG)] = folder_.WriteBytes("good.bin", {4, 5});
    paths[KindIndex(ComponentKind::APP)] = c.path;
    EXPECT_EQ(Pack(paths), PackOutcome::kComponentUnusable);
    EXPECT_EQ(message(), kOpenFailed);
    EXPECT_EQ(folder_.ReadBytes("packet.bin"), old);
    EXPECT_EQ(folder_.Names(), (std::set<std::string>{"folder.bin", "good.bin", "packet.bin"}));
  }
}

TEST_F(PackerTest, ExactlyTheBufferPacksAndOneByteMoreIsRefused) {
  const std::size_t two_records = kPacketHeaderSize + 2 * kPacketRecordSize;
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::UVCCONFIG)] = folder_.WriteBytes("small.bin", Pattern(1000, 8));
  paths[KindIndex(ComponentKind::APP)] =
      folder_.WriteBytes("big.bin", Pattern(kPacketCapacity - two_records - 1000, 9));
  ASSERT_EQ(Pack(paths), PackOutcome::kPacked);
  Bytes packed = folder_.ReadBytes("packet.bin");
  EXPECT_EQ(packed.size(), kPacketCapacity);
  EXPECT_EQ(packed.back(), Pattern(kPacketCapacity - two_records - 1000, 9).back());

  paths[KindIndex(ComponentKind::APP)] =
      folder_.WriteBytes("big.bin", Pattern(kPacketCapacity - two_records - 1000 + 1, 9));
  EXPECT_EQ(Pack(paths), PackOutcome::kTooLarge);
  EXPECT_EQ(message(), kTooLarge);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), packed);
}

// Sets a limit on the size of files this process writes for one scope. As root, a folder without
// write permission is still writable, but this limit holds for everyone.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int);
};

TEST_F(PackerTest, AFailedWriteKeepsTheOldFileExactlyAndLeavesNoTemporaryFile) {
  const Bytes old = Pattern(300, 10);
  folder_.WriteBytes("packet.bin", old);
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP)] = folder_.WriteBytes("app.bin", Pattern(5000, 11));
  {
    FileSizeLimit limit(1000);
    EXPECT_EQ(Pack(paths), PackOutcome::kWriteFailed);
  }
  EXPECT_EQ(message(), kWriteFailed);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), old);
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"app.bin", "packet.bin"}));
}

TEST_F(PackerTest, AnOutputPlaceThatCannotBeWrittenGivesTheWriteMessage) {
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP)] = folder_.WriteBytes("app.bin", {1});
  folder_.WriteBytes("plain-file", {2});
  std::filesystem::create_directory(folder_.path() / "packet.bin");
  for (const std::string& output :
       {folder_.Path("no-such-folder/packet.bin"), folder_.Path("plain-file/packet.bin"),
        folder_.Path("packet.bin") /* a folder stands there */}) {
    SCOPED_TRACE(output);
    ui_.Clear();
    EXPECT_EQ(OnPack(paths, ui_, output), PackOutcome::kWriteFailed);
    EXPECT_EQ(ui_.messages(), std::vector<std::string>{kWriteFailed});
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path() / "packet.bin"));
  EXPECT_EQ(folder_.Names(), (std::set<std::string>{"app.bin", "packet.bin", "plain-file"}));
}

TEST_F(PackerTest, AReadOnlyFolderGivesTheWriteMessageAndKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  ComponentPaths paths;
  paths[KindIndex(ComponentKind::APP)] = folder_.WriteBytes("app.bin", {1});
  folder_.WriteBytes("packet.bin", {7, 7});
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(Pack(paths), PackOutcome::kWriteFailed);
  EXPECT_EQ(message(), kWriteFailed);
  EXPECT_EQ(folder_.ReadBytes("packet.bin"), (Bytes{7, 7}));
}

TEST(CountComponents, CountsTheNonEmptyPaths) {
  ComponentPaths paths;
  EXPECT_EQ(CountComponents(paths), 0);
  paths[0] = "a";
  paths[7] = "b";
  EXPECT_EQ(CountComponents(paths), 2);
  paths.fill("x");
  EXPECT_EQ(CountComponents(paths), 8);
}

}  // namespace
}  // namespace pellar
