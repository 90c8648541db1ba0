#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

#include "control_ids.h"
#include "device/clock.h"
#include "device_list_view.h"
#include "pellar_dlg.h"
#include "sim/link_factory.h"
#include "sim/sim_config.h"
#include "sim/simulated_hid.h"

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

// The main window on simulated devices and virtual time, built as `pellar` builds it.
class WindowBench {
 public:
  explicit WindowBench(const std::string& devices_json = kFiveDevices) {
    std::string error;
    std::optional<SimConfig> config = ParseSimConfig(devices_json, &error);
    if (!config) qFatal("bad simulated devices: %s", error.c_str());
    link_ = MakeSimulatedLink(std::move(*config), clock_);
    window_ = std::make_unique<CPellarDlg>(*link_);
  }

  CPellarDlg& window() { return *window_; }
  DeviceListView& list() { return window_->device_list(); }
  SimulatedHid& sim() { return *link_->simulation(); }
  VirtualClock& clock() { return clock_; }

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
