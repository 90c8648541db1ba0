#include "pellar_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <vector>

#include "about_dlg.h"
#include "app_icon.h"
#include "control_ids.h"
#include "device_list_view.h"
#include "dialog_units.h"
#include "input_hold.h"
#include "main_window_template.h"
#include "message_box.h"
#include "status_line.h"
#include "window_actions.h"

using pellar::ControlKind;
using pellar::ControlTemplate;

namespace {

constexpr int kDialogFontPoints = 10;

bool IsEnterKey(const QKeyEvent& event) {
  const bool plain = event.modifiers() == Qt::NoModifier ||
                     (event.modifiers() == Qt::KeypadModifier && event.key() == Qt::Key_Enter);
  return plain && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter);
}

}  // namespace

// Disables the enabled push buttons and the device list for the outermost operation and restores
// them, the list's selection and the focus that disabling took away, however the operation ends;
// then ends the window's run if a close was asked for meanwhile.
class CPellarDlg::OperationScope {
 public:
  explicit OperationScope(CPellarDlg& window) : window_(window) {
    if (window_.operation_depth_++ > 0) return;
    focus_before_ = window_.focusWidget();
    // The operation works on the row chosen when it began: no click may move the choice meanwhile.
    list_choice_ = window_.device_list_->SaveChoice();
    window_.device_list_->setEnabled(false);
    for (const auto& [id, widget] : window_.controls_) {
      auto* button = qobject_cast<QPushButton*>(widget);
      if (button != nullptr && button->isEnabled()) {
        button->setEnabled(false);
        disabled_.emplace_back(button);
      }
    }
  }

  ~OperationScope() {
    if (--window_.operation_depth_ > 0) return;
    for (const QPointer<QPushButton>& button : disabled_) {
      if (button) button->setEnabled(true);
    }
    window_.device_list_->setEnabled(true);
    window_.device_list_->RestoreChoice(list_choice_);
    if (focus_before_ && focus_before_->isEnabled() && focus_before_->isVisible()) {
      focus_before_->setFocus(Qt::OtherFocusReason);
    }
    if (window_.end_pending_) {
      window_.end_pending_ = false;
      window_.QDialog::done(QDialog::Rejected);
    }
  }

  OperationScope(const OperationScope&) = delete;
  OperationScope& operator=(const OperationScope&) = delete;

 private:
  CPellarDlg& window_;
  QPointer<QWidget> focus_before_;
  std::vector<QPointer<QPushButton>> disabled_;
  pellar::DeviceListView::Choice list_choice_;
};

CPellarDlg::CPellarDlg(pellar::Link& link, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      link_(link),
      context_{link.hid(), link.clock(), *this, link.codec()} {
  setWindowTitle(QStringLiteral("Pellar Update Tools"));
  setFont(pellar::DialogFont(kDialogFontPoints));
  CreateControls();
  pellar::BindWindowActions(*this);
  OnInitDialog();
}

CPellarDlg::~CPellarDlg() = default;

QWidget* CPellarDlg::CreateControl(int kind, const char* caption) {
  const QString text = QString::fromUtf8(caption);
  switch (static_cast<ControlKind>(kind)) {
    case ControlKind::kListView:
      return device_list_ = new pellar::DeviceListView(this);
    case ControlKind::kPushButton: {
      // No default button, not even the one a dialog would pick when shown: Enter presses the
      // focused button (keyPressEvent) and otherwise ends the run.
      auto* button = new QPushButton(text, this);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::kEdit:
      return new QLineEdit(this);
    case ControlKind::kGroupBox: {
      auto* group = new QGroupBox(text, this);
      // A frame only: clicks go through to the controls inside it.
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      group->lower();
      return group;
    }
    case ControlKind::kProgress: {
      auto* bar = new QProgressBar(this);
      bar->setTextVisible(false);
      return progress_bar_ = bar;
    }
    case ControlKind::kCentredText: {
      auto* label = new pellar::StatusLine(this);
      label->SetText(text);
      return status_text_ = label;
    }
  }
  return nullptr;
}

// Template order is creation order, which Qt takes as the tab order.
void CPellarDlg::CreateControls() {
  const pellar::DialogUnits units(font());
  for (const ControlTemplate& control : pellar::MainWindowTemplate()) {
    QWidget* widget = CreateControl(static_cast<int>(control.kind), control.caption);
    widget->setObjectName(QString::number(control.id));
    widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height));
    if (!control.created_visible) widget->hide();
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      const int id = control.id;
      connect(button, &QPushButton::clicked, this, [this, id] { OnButtonClicked(id); });
    }
    controls_[control.id] = widget;
  }
}

void CPellarDlg::OnInitDialog() {
  // No window menu can be extended on a Linux desktop: the About command sits in the window's
  // context menu and answers F1.
  about_action_ = new QAction(QStringLiteral("关于 Pellar(&A)..."), this);
  about_action_->setShortcut(QKeySequence(Qt::Key_F1));
  connect(about_action_, &QAction::triggered, this, &CPellarDlg::ShowAbout);
  addAction(about_action_);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  setWindowIcon(pellar::ApplicationIcon());  // Qt picks the big and the small size from it
  device_list_->setFont(font());
  progress_bar_->setRange(0, 100);
  progress_bar_->setValue(0);
  for (int id : pellar::ControlsHiddenAtStartUp()) Control(id)->hide();

  // Fixed frame: the part of the template that stays in view, and no more.
  const pellar::DialogUnits units(font());
  setFixedSize(units.ToPixels(pellar::kMainWindowWidthDlu, pellar::kVisibleHeightDlu));

  ScanDevices();
  device_list_->setFocus(Qt::OtherFocusReason);
}

QWidget* CPellarDlg::Control(int id) const {
  auto found = controls_.find(id);
  return found != controls_.end() ? found->second : nullptr;
}

void CPellarDlg::BindButton(int id, std::function<void()> action) {
  button_actions_[id] = std::move(action);
}

void CPellarDlg::OnButtonClicked(int id) {
  auto found = button_actions_.find(id);
  if (found == button_actions_.end()) return;
  // A copy: the action may bind the button anew while it runs.
  std::function<void()> action = found->second;
  RunOperation(action);
}

void CPellarDlg::RunOperation(const std::function<void()>& operation) {
  OperationScope scope(*this);
  operation();
}

pellar::DeviceOpener CPellarDlg::SelectedDeviceOpener() {
  return [this] {
    return pellar::OpenSelectedDevice(context_, device_list_->Rows(), device_list_->Selection());
  };
}

void CPellarDlg::ScanDevices() { device_list_->Fill(pellar::ScanDevices(link_.hid())); }

void CPellarDlg::ShowAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CPellarDlg::ShowMessage(const std::string& text) {
  // A close that came during a blocking device read is still queued; the box would block the
  // window and Qt would drop the close, so it is taken now.
  if (OperationRunning()) pellar::HandlePendingRequests();
  ShowMessageBox(this, text);
}

void CPellarDlg::SetProgress(int position) {
  // The bar ignores a value outside its range; past the end means full.
  progress_bar_->setValue(std::clamp(position, 0, 100));
  progress_bar_->repaint();
}

void CPellarDlg::SetStatus(const std::string& text) {
  status_text_->SetText(QString::fromStdString(text));
  status_text_->repaint();
}

bool CPellarDlg::Breathe() {
  QCoreApplication::processEvents();
  return close_requested_;
}

void CPellarDlg::done(int result) {
  // Ending the run under a running operation would tear the window down beneath it.
  if (OperationRunning()) {
    end_pending_ = true;
    return;
  }
  QDialog::done(result);
}

void CPellarDlg::keyPressEvent(QKeyEvent* event) {
  const bool ends_run = IsEnterKey(*event) || event->key() == Qt::Key_Escape;
  // While an operation runs, keys reach the controls but never end the window's run.
  if (ends_run && OperationRunning()) {
    event->accept();
    return;
  }
  if (IsEnterKey(*event)) {
    // No default button: Enter presses the focused push button, or else ends the run (OK).
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else {
      accept();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void CPellarDlg::closeEvent(QCloseEvent* event) {
  if (OperationRunning()) {
    close_requested_ = true;
    end_pending_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
