#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "control_ids.h"
#include "device/clock.h"
#include "device_list_view.h"
#include "pellar_dlg.h"
#include "sim/link_factory.h"
#include "sim/sim_config.h"
#include "sim/simulated_hid.h"
#include "window_clock.h"

namespace pellar::testing {

// Listed in the order A, B, C, then two devices that never appear (a zero vendor id, a zero
// product id): the list shows A, C, B.
inline const char* kFiveDevices = R"({"devices": [
  {"manufacturer": "Maker A", "product": "Device A", "vid": "0x1a2b", "pid": "0x000a"},
  {"manufacturer": "Maker B", "product": "Device B", "vid": "0x1a2b", "pid": "0x000b"},
  {"manufacturer": "Maker C", "product": "Device C", "vid": "0x3c4d", "pid": "0x00cc"},
  {"manufacturer": "No Vendor", "product": "Device Z", "vid": 0, "pid": "0x0001"},
  {"manufacturer": "No Product", "product": "Device Y", "vid": "0x0001", "pid": 0}
]})";

// Virtual time that can give a cue once it has reached a moment: the desktop's close request,
// say, arriving in the middle of a wait.
class CueClock final : public Clock {
 public:
  explicit CueClock(VirtualClock& time) : time_(time) {}
  void Sleep(int milliseconds) override {
    time_.Sleep(milliseconds);
    if (cue_ && time_.NowMs() >= cue_at_) std::exchange(cue_, nullptr)();
  }
  double NowMs() const override { return time_.NowMs(); }
  void CueAt(double at_ms, std::function<void()> cue) {
    cue_at_ = at_ms;
    cue_ = std::move(cue);
  }

 private:
  VirtualClock& time_;
  double cue_at_ = 0;
  std::function<void()> cue_;
};

// How the window's waits pass: on bare virtual time (no event is handled in a wait), or through the
// window's own clock on virtual time (a wait handles what arrived meanwhile, as on a desktop).
enum class Waits { kBare, kWindowClock };

// The main window on simulated devices and virtual time, built as `pellar` builds it.
class WindowBench {
 public:
  explicit WindowBench(const std::string& devices_json = kFiveDevices, Waits waits = Waits::kBare) {
    std::string error;
    std::optional<SimConfig> config = ParseSimConfig(devices_json, &error);
    if (!config) qFatal("bad simulated devices: %s", error.c_str());
    Clock* clock = &clock_;
    if (waits == Waits::kWindowClock) clock = &window_clock_;
    link_ = MakeSimulatedLink(std::move(*config), *clock);
    window_ = std::make_unique<CPellarDlg>(*link_);
  }

  CPellarDlg& window() { return *window_; }
  DeviceListView& list() { return window_->device_list(); }
  SimulatedHid& sim() { return *link_->simulation(); }
  VirtualClock& clock() { return clock_; }
  // A cue at a moment of virtual time; only a window-clock bench looks at it.
  void CueAt(double at_ms, std::function<void()> cue) { cue_clock_.CueAt(at_ms, std::move(cue)); }

  template <typename Widget = QWidget>
  Widget* Find(int id) {
    return window_->findChild<Widget*>(QString::number(id));
  }

  // Shows the window and waits until it has the keyboard.
  bool ShowActive() {
    window_->show();
    window_->activateWindow();
    return QTest::qWaitForWindowActive(window_.get());
  }

  // The centre of a row's first cell in the list's viewport.
  QPoint RowPoint(int row) {
    return list().visualRect(list().model()->index(row, 0)).center();
  }
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, RowPoint(row));
  }

 private:
  VirtualClock clock_;
  CueClock cue_clock_{clock_};
  WindowClock window_clock_{cue_clock_};
  std::unique_ptr<Link> link_;
  std::unique_ptr<CPellarDlg> window_;
};

// Runs `body` once the next modal dialog is up, then closes that dialog if `body` did not. The
// wait is dropped with `context`, so a dialog that never came cannot reach a finished test.
inline void WhenModal(QObject* context, std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, context, [body = std::move(body)] {
    QWidget* modal = QApplication::activeModalWidget();
    body(modal);
    if (modal != nullptr && modal == QApplication::activeModalWidget()) modal->close();
  });
}

// Runs the window modally with `action` queued; a guard ends a run that nothing else ended, so a
// fault shows as a wrong result (-1) instead of a hang.
inline int RunModal(CPellarDlg& window, std::function<void()> action) {
  QTimer::singleShot(0, &window, std::move(action));
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &window, [&window] { window.QDialog::done(-1); });
  guard.start(5000);
  return window.exec();
}

}  // namespace pellar::testing
