#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "device/clock.h"
#include "painted_text.h"
#include "sim/link_factory.h"
#include "sim/sim_config.h"
#include "station_session.h"
#include "station_window.h"
#include "support/temp_dir.h"
#include "tile_grid.h"
#include "unit_tile.h"

namespace pellar::testing {

// A device of the station's pair in port 1-1.N at path sim:N; `extra` adds JSON members.
inline std::string StationDevice(int number, const std::string& extra = "") {
  return R"({"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:)" +
         std::to_string(number) + R"(","port":"1-1.)" + std::to_string(number) + "\"" + extra + "}";
}
inline std::string StationDevices(const std::vector<std::string>& devices) {
  std::string text = R"({"devices":[)";
  for (std::size_t i = 0; i < devices.size(); ++i) text += (i > 0 ? "," : "") + devices[i];
  return text + "]}";
}

// Rules that make a device fail or vanish part of the way.
inline const char* kRefusesStatus = R"(,"rules":[{"command":"0x3300","answer":"refuse","status":3}])";

// The station window on simulated devices and virtual time, built as `pellar-station` builds it.
// The test's own thread takes part in virtual time: time stands still until it calls Advance, so
// the test sees every state the units pass through.
class StationBench {
 public:
  // Sent in 20 packets (about 0.7 s of pacing), then a small .lzma file and the pause after it.
  static constexpr int kFirmwareSize = 20'000;

  // `choose`: the list and the match 1234:5678 are chosen, as by --list and --match. `record`:
  // the record file instead of one in the bench's folder.
  explicit StationBench(const std::string& devices_json, bool choose = true,
                        const std::string& record = "")
      : record_path_(record) {
    std::string error;
    std::optional<SimConfig> config = ParseSimConfig(devices_json, &error);
    if (!config) qFatal("bad simulated devices: %s", error.c_str());
    std::string firmware(kFirmwareSize, '\0');
    for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<char>(i * 7 + 3);
    folder_.Write("fw/app.bin", firmware);
    folder_.Write("fw/res.lzma", std::string(700, 'r'));
    list_path_ = folder_.Write("list.txt",
                               "[Update_Info]\nfile_num=2\n[file1]\nfilename=fw/app.bin\nDevicefilePath=app.bin\n"
                               "[file2]\nfilename=fw/res.lzma\nDevicefilePath=res.lzma\n");
    clock_.ThreadJoins();
    joined_ = true;
    session_ = std::make_unique<StationSession>(MakeSimulatedLink(std::move(*config), clock_),
                                                std::vector<std::string>{}, record_path());
    if (choose) {
      std::vector<std::string> problems;
      if (!session_->ChooseList(list_path_, &problems)) qFatal("the list cannot be sent");
      session_->ChooseMatch({0x1234, 0x5678}, &error);
    }
    window_ = std::make_unique<StationWindow>(*session_);
  }

  ~StationBench() {
    window_.reset();
    LeaveTime();
    session_.reset();
  }

  StationWindow& window() { return *window_; }
  StationSession& session() { return *session_; }
  Station& station() { return *session_->station(); }
  VirtualClock& clock() { return clock_; }
  TempDir& folder() { return folder_; }
  const std::string& list_path() const { return list_path_; }
  std::string record_path() const {
    return record_path_.empty() ? folder_.Path("record.jsonl") : record_path_;
  }

  // Lets virtual time run for `ms` (every unit and the watch move on meanwhile), then shows it.
  void Advance(int ms) {
    clock_.Sleep(ms);
    window_->Refresh();
  }
  // Lets time run by itself from now on: needed before anything that waits for engine threads
  // (ending the station, choosing another list or match), which could not move while the test's
  // thread holds time still.
  void LeaveTime() {
    if (joined_) clock_.ThreadLeaves();
    joined_ = false;
  }

  template <typename Widget = QWidget>
  Widget* Find(const char* name) {
    return window_->findChild<Widget*>(QString::fromLatin1(name));
  }
  UnitTile* Tile(const std::string& port) { return window_->tiles().TileOf(port); }
  QString TileText(const std::string& port, const char* label) {
    UnitTile* tile = Tile(port);
    if (tile == nullptr) return QStringLiteral("<no tile>");
    QWidget* widget = tile->findChild<QWidget*>(QString::fromLatin1(label));
    if (auto* line = qobject_cast<PaintedText*>(widget)) return line->text();
    return qobject_cast<QLabel*>(widget)->text();
  }
  QColor TileColour(const std::string& port) {
    return Tile(port)->palette().color(QPalette::Window);
  }

  bool ShowActive() {
    window_->show();
    window_->activateWindow();
    return QTest::qWaitForWindowActive(window_.get());
  }

  std::vector<nlohmann::json> RecordLines() const {
    std::vector<nlohmann::json> lines;
    std::ifstream file(record_path());
    for (std::string line; std::getline(file, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }

 private:
  std::string record_path_;
  TempDir folder_;
  std::string list_path_;
  VirtualClock clock_;
  bool joined_ = false;
  std::unique_ptr<StationSession> session_;
  std::unique_ptr<StationWindow> window_;
};

// Runs `body` once the next modal dialog is up, then closes that dialog if `body` did not.
inline void WhenModal(QObject* context, std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, context, [body = std::move(body)] {
    QWidget* modal = QApplication::activeModalWidget();
    body(modal);
    if (modal != nullptr && modal == QApplication::activeModalWidget()) modal->close();
  });
}

// Presses a message box's button.
inline void Press(QWidget* modal, QMessageBox::StandardButton which) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (box != nullptr) box->button(which)->click();
}

}  // namespace pellar::testing
