#include "update/update_run.h"

#include <gtest/gtest.h>

#include <map>

#include "support/sim_bench.h"
#include "update/update_files.h"

namespace pellar {
namespace {

using testing::OneDevice;
using testing::PatternBytes;
using testing::RecordingOperator;
using testing::MakeFolder;
using testing::Slashed;
using testing::TempDir;
using testing::SimBench;
using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Lines kStartFileType = {"read 14/1000 -> 14", "read 1024/1000 -> 1024"};
const Lines kPacket = {"sleep 30", "sleep 5", "read 1024/3000 -> 1024"};
const Lines kStatus = {"read 1024/3000 -> 1024"};

Lines StatusLines(const RecordingOperator& ui) {
  Lines found;
  for (const std::string& event : ui.events())
    if (event.rfind("status: ", 0) == 0) found.push_back(event.substr(8));
  return found;
}

// Forwards to the bench's recording operator and notes the clock at every progress position.
class TimedOperator final : public Operator {
 public:
  TimedOperator(Operator& inner, const Clock& clock) : inner_(inner), clock_(clock) {}
  void ShowMessage(const std::string& text) override { inner_.ShowMessage(text); }
  void SetProgress(int position) override {
    positions.emplace_back(position, clock_.NowMs());
    inner_.SetProgress(position);
  }
  void SetStatus(const std::string& text) override { inner_.SetStatus(text); }
  bool Breathe() override { return inner_.Breathe(); }
  bool StopRequested() const override { return inner_.StopRequested(); }
  std::vector<std::pair<int, double>> positions;

 private:
  Operator& inner_;
  const Clock& clock_;
};

// Writes down the finer news a progress display gets.
class RecordingWatcher final : public TransferWatcher {
 public:
  void FileStarted(const std::string& name, std::int64_t size) override {
    events.push_back("start " + name + " " + std::to_string(size));
  }
  void DataAccepted(std::int64_t sent, std::int64_t size) override {
    events.push_back(std::to_string(sent) + "/" + std::to_string(size));
  }
  void FileEnded(bool accepted) override { events.push_back(accepted ? "accepted" : "not accepted"); }
  void Pausing(int milliseconds) override { events.push_back("pause " + std::to_string(milliseconds)); }
  Lines events;
};

// Lists live in lists/, firmware beside them; bin/ stands for the executable's directory.
class UpdateRunTest : public ::testing::Test {
 protected:
  UpdateOutcome Run(SimBench& bench, const std::string& list_path, Operator* ui = nullptr,
                    TransferWatcher* watcher = nullptr) {
    DeviceContext context = bench.context();
    DeviceContext chosen{context.hid, context.clock, ui != nullptr ? *ui : context.ui, context.codec};
    DeviceOpener opener = [&chosen, this] { return OpenDevicePath(chosen, device_path_); };
    UpdateRunOptions options;
    options.executable_dir = bin_;
    options.watcher = watcher;
    return UpdateRun(chosen, opener, list_path, options);
  }
  std::string WriteList(const std::string& text) { return folder_.Write("lists/list.txt", text); }
  std::string WriteFirmware(const std::string& relative, std::size_t size, std::uint32_t seed = 1) {
    std::string bytes = PatternBytes(size, seed);
    folder_.Write("lists/" + relative, bytes);
    return bytes;
  }

  TempDir folder_;
  std::string bin_ = MakeFolder(folder_, "bin");
  std::string device_path_ = "sim:0";
};

TEST_F(UpdateRunTest, TwoFilesSentWithThePauseAfterTheLzmaOne) {
  std::string app = WriteFirmware("images/app.bin", 2500, 1);
  std::string res = WriteFirmware("images/res.lzma", 1010, 2);
  std::string list = WriteList(
      "[Update_Info]\nfile_num=2\n[file1]\nfilename=images/app.bin\nDevicefilePath=app.bin\n"
      "[file2]\nfilename=images/res.lzma\nDevicefilePath=res.lzma\n");
  SimBench bench(OneDevice());
  TimedOperator timed(bench.ui(), bench.clock());
  RecordingWatcher watcher;
  EXPECT_EQ(Run(bench, list, &timed, &watcher), UpdateOutcome::kSucceeded);
  EXPECT_EQ(watcher.events, (Lines{"start app.bin 2500", "1010/2500", "2020/2500", "2500/2500", "accepted",
                                   "start res.lzma 1010", "1010/1010", "accepted", "pause 8000"}));

  EXPECT_EQ(bench.ui().events(),
            (Lines{"progress: 0", "progress: 0", "status: update app.bin ...", "breathe", "progress: 0",
                   "breathe", "progress: 1", "breathe", "progress: 2", "progress: 100", "progress: 0",
                   "status: update res.lzma ...", "breathe", "progress: 0", "progress: 100",
                   "progress: 100", "status: update finish!", "message: update ok!", "progress: 0",
                   "status: "}));
  EXPECT_EQ(bench.Waits(), kStartFileType + kPacket + kPacket + kPacket + kStatus + kStartFileType +
                               kPacket + kStatus + Lines{"sleep 8000"});
  // The bar shows 100 through the pause after the ".lzma" file.
  const auto& positions = timed.positions;
  ASSERT_GE(positions.size(), 4U);
  auto pause_start = positions.end() - 3;  // 100 after res.lzma, 100 before "update ok!", 0
  EXPECT_EQ(pause_start->first, 100);
  EXPECT_EQ((pause_start + 1)->second - pause_start->second, 8000);

  const std::vector<ReceivedFile>& files = bench.sim().ReceivedFiles(0);
  ASSERT_EQ(files.size(), 2U);
  EXPECT_EQ(files[0].device_name, "app.bin");
  EXPECT_TRUE(files[0].data == app && files[0].complete);
  EXPECT_EQ(files[1].device_name, "res.lzma");
  EXPECT_TRUE(files[1].data == res && files[1].complete);
  Lines ops = bench.Ops();
  EXPECT_EQ(Lines(ops.begin(), ops.begin() + 3), (Lines{"init", "open", "nonblocking"}));
  EXPECT_EQ(Lines(ops.end() - 2, ops.end()), (Lines{"close", "exit"}));
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST_F(UpdateRunTest, NoListChosenClosesTheDeviceAgain) {
  SimBench bench(OneDevice());
  EXPECT_EQ(Run(bench, ""), UpdateOutcome::kFailed);
  EXPECT_EQ(bench.ui().events(), (Lines{"progress: 0", "message: the file name is empty!"}));
  EXPECT_EQ(bench.Ops(), (Lines{"init", "open", "close", "exit"}));
  EXPECT_TRUE(bench.LibraryReleased());
}

TEST_F(UpdateRunTest, NoDeviceShowsOnlyTheOpeningMessage) {
  SimBench bench(OneDevice());
  device_path_ = "sim:9";
  EXPECT_EQ(Run(bench, ""), UpdateOutcome::kFailed);
  EXPECT_EQ(bench.ui().messages(), Lines{"HID open failed!"});
  EXPECT_EQ(bench.Ops(), (Lines{"init", "open", "exit"}));
  EXPECT_TRUE(bench.LibraryReleased());
}

// A run that ends early, or without files: what the operator sees and what reached the device.
struct EndCase {
  const char* name;
  std::string list;
  std::map<std::string, std::size_t> files;  // firmware beside the list: path, size
  std::string rules;
  UpdateOutcome outcome;
  Lines messages;
  Lines statuses;
  int files_on_device;  // received whole
  int requests;
};

void PrintTo(const EndCase& c, std::ostream* out) { *out << c.name; }

class UpdateRunEnds : public UpdateRunTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(UpdateRunEnds, MessagesAndWhatWasSent) {
  const EndCase& c = GetParam();
  std::uint32_t seed = 1;
  for (const auto& [path, size] : c.files) WriteFirmware(path, size, seed++);
  std::string list = c.list.empty() ? Slashed(folder_) + "lists/none.txt" : WriteList(c.list);
  SimBench bench(OneDevice(c.rules));
  EXPECT_EQ(Run(bench, list), c.outcome);
  EXPECT_EQ(bench.ui().messages(), c.messages);
  EXPECT_EQ(StatusLines(bench.ui()), c.statuses);
  int whole = 0;
  for (const ReceivedFile& file : bench.sim().ReceivedFiles(0)) whole += file.complete ? 1 : 0;
  EXPECT_EQ(whole, c.files_on_device);
  EXPECT_EQ(static_cast<int>(bench.Requests().size()), c.requests);
  EXPECT_EQ(bench.ui().progress().back(), 0);
  EXPECT_EQ(bench.ui().events().back(), "status: ");
  EXPECT_TRUE(bench.LibraryReleased());
}

const std::string kThreeEntries =
    "[Update_Info]\nfile_num=3\n"
    "[file1]\nfilename=images/app.bin\nDevicefilePath=app.bin\n"
    "[file2]\nfilename=b.bin\nDevicefilePath=b.bin\n"
    "[file3]\nfilename=c.bin\nDevicefilePath=c.bin\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateRunEnds,
    ::testing::Values(
        EndCase{"SecondFileMissing",
                "[Update_Info]\nfile_num=2\n[file1]\nfilename=a.bin\nDevicefilePath=a.bin\n"
                "[file2]\nfilename=sub/missing.bin\nDevicefilePath=m.bin\n",
                {{"a.bin", 10}}, "[]", UpdateOutcome::kFailed, {"open the file failed!"},
                {"update a.bin ...", "update missing.bin ...", ""}, 1, 4},
        EndCase{"TransferFailsOnTheFirstOfThree", kThreeEntries,
                {{"images/app.bin", 10}, {"b.bin", 10}, {"c.bin", 10}},
                R"([{"command":"0x3000","answer":"refuse","status":1}])", UpdateOutcome::kFailed,
                {"send the cmd of start update failed!", "update images/app.bin failed "},
                {"update app.bin ...", ""}, 0, 7},
        EndCase{"FileNumThreeWithoutTheSecondSection",
                "[Update_Info]\nfile_num=3\n[file1]\nfilename=a.bin\nDevicefilePath=a.bin\n"
                "[file3]\nfilename=c.bin\nDevicefilePath=c.bin\n",
                {{"a.bin", 10}, {"c.bin", 10}}, "[]", UpdateOutcome::kFailed, {"open the file failed!"},
                {"update a.bin ...", "update  ...", ""}, 1, 4},
        EndCase{"FileNumZero", "[Update_Info]\nfile_num=0\n", {}, "[]", UpdateOutcome::kNoFiles, {}, {""}, 0, 0},
        EndCase{"FileNumNegative", "[update_info]\nFILE_NUM=-2\n", {}, "[]", UpdateOutcome::kNoFiles, {}, {""}, 0, 0},
        EndCase{"ListFileMissing", "", {}, "[]", UpdateOutcome::kNoFiles, {}, {""}, 0, 0},
        EndCase{"FileTooLarge", "[Update_Info]\nfile_num=1\n[file1]\nfilename=big.bin\nDevicefilePath=big.bin\n",
                {{"big.bin", 10485761}}, "[]", UpdateOutcome::kFailed, {"the file is too large!"},
                {"update big.bin ...", ""}, 0, 0},
        EndCase{"DeviceNameTooLong",
                "[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\nDevicefilePath=" + std::string(1011, 'd') + "\n",
                {{"a.bin", 10}}, "[]", UpdateOutcome::kFailed, {"the device file name is too long!"},
                {"update a.bin ...", ""}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateRunTest, LargestFileThatFitsAndAnEmptyFileAreSent) {
  std::string largest = WriteFirmware("largest.bin", 10485760);
  WriteFirmware("empty.bin", 0);
  std::string list = WriteList(
      "[Update_Info]\nfile_num=2\n[file1]\nfilename=largest.bin\nDevicefilePath=l.bin\n"
      "[file2]\nfilename=empty.bin\nDevicefilePath=e.bin\n");
  SimBench bench(OneDevice());
  EXPECT_EQ(Run(bench, list), UpdateOutcome::kSucceeded);
  const std::vector<ReceivedFile>& files = bench.sim().ReceivedFiles(0);
  ASSERT_EQ(files.size(), 2U);
  EXPECT_TRUE(files[0].data == largest && files[0].complete);
  EXPECT_TRUE(files[1].data.empty() && files[1].complete);
  EXPECT_EQ(bench.ui().messages(), Lines{"update ok!"});
}

TEST_F(UpdateRunTest, HostFilesBesideTheExecutableComeFirstAndBackslashesSeparate) {
  folder_.Write("bin/sub/fw.bin", "from beside the executable");
  folder_.Write("lists/sub/fw.bin", "from beside the list");
  folder_.Write("lists/other/only.bin", "only beside the list");
  std::string list = WriteList(
      "[Update_Info]\nfile_num=2\n[file1]\nfilename=sub\\fw.bin\nDevicefilePath=data/FW.LZMA\n"
      "[file2]\nfilename=other/only.bin\nDevicefilePath=only.bin\n");
  SimBench bench(OneDevice());
  EXPECT_EQ(Run(bench, list), UpdateOutcome::kSucceeded);
  const std::vector<ReceivedFile>& files = bench.sim().ReceivedFiles(0);
  ASSERT_EQ(files.size(), 2U);
  EXPECT_EQ(files[0].data, "from beside the executable");
  EXPECT_EQ(files[1].data, "only beside the list");
  EXPECT_EQ(StatusLines(bench.ui()),
            (Lines{"update sub\\fw.bin ...", "update only.bin ...", "update finish!", ""}));
  // ".lzma" is matched with its case: no pause after FW.LZMA.
  for (const std::string& wait : bench.Waits()) EXPECT_NE(wait, "sleep 8000");
}

TEST_F(UpdateRunTest, NamesGoThroughTheWireEncoding) {
  WriteFirmware("固件.bin", 10);
  std::string list = WriteList(
      "[Update_Info]\nfile_num=1\n[file1]\nfilename=固件.bin\nDevicefilePath=固件.bin\n");
  folder_.Write("lists/\xB9\xCC\xBC\xFE.bin", "GBK-named file");
  SimBench gbk(OneDevice(), "GBK");
  EXPECT_EQ(Run(gbk, list), UpdateOutcome::kSucceeded);
  ASSERT_EQ(gbk.sim().ReceivedFiles(0).size(), 1U);
  EXPECT_EQ(gbk.sim().ReceivedFiles(0)[0].device_name, "\xB9\xCC\xBC\xFE.bin");
  EXPECT_EQ(gbk.sim().ReceivedFiles(0)[0].data, "GBK-named file");

  // A name the encoding cannot carry is refused before anything is sent.
  WriteFirmware("a.bin", 10);
  list = WriteList("[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\nDevicefilePath=固件.bin\n");
  SimBench ascii(OneDevice(), "ASCII");
  EXPECT_EQ(Run(ascii, list), UpdateOutcome::kFailed);
  EXPECT_EQ(ascii.ui().messages(), Lines{"the device file name cannot be encoded!"});
  EXPECT_TRUE(ascii.Requests().empty());
  EXPECT_TRUE(ascii.LibraryReleased());
}

TEST_F(UpdateRunTest, ACloseRequestCancelsTheRunAfterTheStatusStep) {
  struct Case {
    const char* name;
    std::string rules;
    Lines messages;
    int status_frames;
  };
  const Case cases[] = {
      {"StatusAccepted", "[]", {}, 1},
      {"StatusRefused", R"([{"command":"0x3300","answer":"refuse","status":2}])",
       {"get the ota status failed!"}, 7},
  };
  std::string first = WriteFirmware("a.bin", 3000);
  WriteFirmware("b.bin", 10);
  std::string list = WriteList(
      "[Update_Info]\nfile_num=2\n[file1]\nfilename=a.bin\nDevicefilePath=a.lzma\n"
      "[file2]\nfilename=b.bin\nDevicefilePath=b.bin\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimBench bench(OneDevice(c.rules));
    bench.ui().RequestCloseAtBreath(2);
    EXPECT_EQ(Run(bench, list), UpdateOutcome::kCancelled);
    EXPECT_EQ(bench.ui().messages(), c.messages);
    EXPECT_EQ(static_cast<int>(bench.Requests().size()), 3 + c.status_frames);
    EXPECT_EQ(bench.Requests().back().command(), 0x3300);
    ASSERT_EQ(bench.sim().ReceivedFiles(0).size(), 1U);
    EXPECT_EQ(bench.sim().ReceivedFiles(0)[0].data, first.substr(0, 1010));
    for (const std::string& wait : bench.Waits()) EXPECT_NE(wait, "sleep 8000");
    EXPECT_EQ(StatusLines(bench.ui()), (Lines{"update a.bin ...", ""}));
    EXPECT_EQ(bench.ui().progress().back(), 0);
    EXPECT_TRUE(bench.LibraryReleased());
  }
}

}  // namespace
TEST_F(UpdateRunTest, AStopOutsideTheDataEndsTheRunBeforeAnyLaterFile) {
  // The first file is whole on the device either way; what the stop must prevent is the next file
  // starting and, after the last one, a success that the operator did not wait for.
  struct Case {
    const char* name;
    std::string list;
    double stop_at_ms;       // on the virtual clock
    double ends_before_ms;   // the run is over well before the pause would have ended
  };
  WriteFirmware("a.bin", 1500);
  WriteFirmware("b.bin", 10);
  const std::string one_lzma =
      "[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\nDevicefilePath=a.lzma\n";
  const std::string lzma_then_bin = one_lzma.substr(0, one_lzma.find("file_num=1")) +
                                    "file_num=2" + one_lzma.substr(one_lzma.find("file_num=1") + 10) +
                                    "[file2]\nfilename=b.bin\nDevicefilePath=b.bin\n";
  const Case cases[] = {
      {"InThePauseAfterTheOnlyFile", one_lzma, 3000, 3200},
      {"InThePauseBeforeTheNextFile", lzma_then_bin, 3000, 3200},
      {"BeforeThePauseBegins", lzma_then_bin, 1, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string list = WriteList(c.list);
    SimBench bench(OneDevice());
    const double started = bench.NowMs();
    bench.ui().RequestStopWhen([&bench, &c, started] { return bench.NowMs() - started >= c.stop_at_ms; });
    EXPECT_EQ(Run(bench, list), UpdateOutcome::kCancelled);
    EXPECT_LT(bench.NowMs() - started, c.ends_before_ms);
    EXPECT_TRUE(bench.ui().messages().empty());
    ASSERT_EQ(bench.sim().ReceivedFiles(0).size(), 1U);
    EXPECT_TRUE(bench.sim().ReceivedFiles(0)[0].complete);
    EXPECT_EQ(bench.Waits().back(), "sleep 8000");
    EXPECT_EQ(StatusLines(bench.ui()), (Lines{"update a.bin ...", ""}));
    EXPECT_TRUE(bench.LibraryReleased());
  }
}

}  // namespace pellar
