#include "cli/update_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "update/amount_text.h"

namespace pellar::cli {
namespace {

TEST(UpdateProgress, TerminalRedrawsOneLinePerFile) {
  std::ostringstream err;
  VirtualClock clock;
  UpdateProgress progress(err, true, clock);
  progress.SetStatus("update app.bin ...");  // the bar names the file instead
  progress.FileStarted("app.bin", 2020);
  clock.Advance(1000);
  progress.DataAccepted(1010, 2020);
  clock.Advance(50);
  progress.DataAccepted(1500, 2020);  // too soon after the last draw: not drawn
  clock.Advance(950);
  progress.DataAccepted(2020, 2020);
  progress.FileEnded(true);
  progress.ShowMessage("update ok!");
  EXPECT_EQ(err.str(),
            "\r[                        ] app.bin    0%  0 B of 2.0 KiB  0 B/s  -:-- left\x1b[K"
            "\r[############            ] app.bin   50%  1010 B of 2.0 KiB  1010 B/s  0:01 left\x1b[K"
            "\r[########################] app.bin  100%  2.0 KiB of 2.0 KiB  1010 B/s  0:00 left\x1b[K"
            "\r[########################] app.bin  100%  2.0 KiB of 2.0 KiB  1010 B/s  in 0:02\x1b[K\n"
            "update ok!\n");
}

TEST(UpdateProgress, PlainLinesWhenNotATerminal) {
  std::ostringstream err;
  VirtualClock clock;
  UpdateProgress progress(err, false, clock);
  progress.SetStatus("update fw.lzma ...");
  progress.FileStarted("fw.lzma", 3000);
  for (std::int64_t sent : {1010, 2020, 3000}) {
    clock.Advance(1000);
    progress.DataAccepted(sent, 3000);
  }
  progress.FileEnded(true);
  progress.Pausing(8000);
  progress.ShowMessage("update ok!");
  progress.SetStatus("");
  EXPECT_EQ(err.str(),
            "update fw.lzma ...\n"
            "fw.lzma:  33%  1010 B of 2.9 KiB  1010 B/s  0:02 left\n"
            "fw.lzma:  67%  2.0 KiB of 2.9 KiB  1010 B/s  0:01 left\n"
            "fw.lzma: 100%  2.9 KiB of 2.9 KiB  1000 B/s  0:00 left\n"
            "fw.lzma: 3000 bytes sent in 3.0 s\n"
            "waiting 8 s for the device to take in fw.lzma ...\n"
            "update ok!\n");
}

TEST(UpdateProgress, Formats) {
  EXPECT_EQ(FormatBytes(1023), "1023 B");
  EXPECT_EQ(FormatBytes(1536), "1.5 KiB");
  EXPECT_EQ(FormatBytes(10485760), "10.0 MiB");
  EXPECT_EQ(FormatDuration(7.4), "0:07");
  EXPECT_EQ(FormatDuration(754), "12:34");
  EXPECT_EQ(FormatDuration(3723), "1:02:03");
  EXPECT_EQ(FormatDuration(-3), "0:00");
}

}  // namespace
}  // namespace pellar::cli
