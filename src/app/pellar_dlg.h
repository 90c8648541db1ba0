#pragma once

#include <QDialog>

#include <functional>
#include <map>
#include <string>

#include "device/device_context.h"
#include "device/device_table.h"
#include "device/operator.h"
#include "sim/link_factory.h"

class QAction;
class QProgressBar;
class QPushButton;

namespace pellar {
class DeviceListView;
class StatusLine;
}

// The main window: the device list, the update controls and the (mostly hidden) device-information
// controls, each reached by its numeric id. It is also the operator of every operation it starts:
// message boxes, the progress bar, the status line and breathing.
class CPellarDlg : public QDialog, public pellar::Operator {
  Q_OBJECT

 public:
  explicit CPellarDlg(pellar::Link& link, QWidget* parent = nullptr);
  ~CPellarDlg() override;

  // Every control by id (see control_ids.h); null for an unknown id. Each control's objectName
  // is its id in decimal, for findChild.
  QWidget* Control(int id) const;
  template <typename Widget>
  Widget* ControlAs(int id) const { return qobject_cast<Widget*>(Control(id)); }

  // The handler of a button: a click runs it through RunOperation. Binding again replaces it.
  void BindButton(int id, std::function<void()> action);
  // Runs one operation with every button that starts an operation disabled, enabling them again
  // however it ends. A close asked for meanwhile is recorded (Breathe reports it) and ends the
  // window's run only once the operation has returned. Nested calls simply run the operation.
  void RunOperation(const std::function<void()>& operation);
  bool OperationRunning() const { return operation_depth_ > 0; }
  // Whether a close was asked for while an operation was running.
  bool CloseRequested() const { return close_requested_; }

  // What core operations work with: the link, this window as the operator, the link's codec.
  pellar::DeviceContext& context() { return context_; }
  pellar::Link& link() { return link_; }
  // Opens the device of the list's selection mark as the selection stands when it is called.
  pellar::DeviceOpener SelectedDeviceOpener();

  // Empties the device list and fills it from a fresh scan ("scan devices").
  void ScanDevices();
  pellar::DeviceListView& device_list() const { return *device_list_; }
  // Opens the About box modally over this window.
  void ShowAbout();
  QAction& about_action() const { return *about_action_; }

  // The operator interface.
  void ShowMessage(const std::string& text) override;
  void SetProgress(int position) override;
  void SetStatus(const std::string& text) override;
  bool Breathe() override;
  bool StopRequested() const override { return close_requested_; }

 public slots:
  void done(int result) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class OperationScope;

  void CreateControls();
  QWidget* CreateControl(int kind, const char* caption);
  void OnInitDialog();
  void OnButtonClicked(int id);

  pellar::Link& link_;
  pellar::DeviceContext context_;
  std::map<int, QWidget*> controls_;
  std::map<int, std::function<void()>> button_actions_;
  pellar::DeviceListView* device_list_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  pellar::StatusLine* status_text_ = nullptr;
  QAction* about_action_ = nullptr;
  int operation_depth_ = 0;
  bool close_requested_ = false;
  bool end_pending_ = false;
};
