#include "station_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <iostream>

#include "app_icon.h"
#include "file_chooser.h"
#include "message_box.h"
#include "station_header.h"
#include "tile_grid.h"
#include "unit_text.h"

namespace pellar {
namespace {

// Asks in the look of every message box of the program: titled "Pellar", plain text; No is the
// default, as closing cuts units short.
bool AskToConfirm(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Pellar"), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace

StationWindow::StationWindow(StationSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setWindowTitle(QStringLiteral("Pellar Station"));
  setWindowIcon(ApplicationIcon());
  header_ = new StationHeader([&session] { return session.AttachedPairs(); });
  start_ = new QPushButton(QStringLiteral("Start"));
  start_->setObjectName(QStringLiteral("start"));
  auto_start_ = new QCheckBox(QStringLiteral("Start when a device is plugged in"));
  auto_start_->setObjectName(QStringLiteral("autoStart"));
  stop_ = new QPushButton(QStringLiteral("Stop"));
  stop_->setObjectName(QStringLiteral("stop"));
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  status_->setTextFormat(Qt::PlainText);
  tiles_ = new TileGrid;
  for (QPushButton* button : {start_, stop_}) button->setMinimumWidth(110);

  auto* controls = new QHBoxLayout;
  controls->addWidget(start_);
  controls->addWidget(auto_start_);
  controls->addWidget(stop_);
  controls->addSpacing(16);
  controls->addWidget(status_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  layout->addWidget(header_);
  layout->addLayout(controls);
  layout->addWidget(tiles_, 1);
  setTabOrder(start_, auto_start_);
  setTabOrder(auto_start_, stop_);
  setTabOrder(stop_, header_->choose_list_button());
  setTabOrder(header_->choose_list_button(), header_->pair_combo());

  connect(start_, &QPushButton::clicked, this, &StationWindow::Start);
  connect(stop_, &QPushButton::clicked, this, &StationWindow::StopUnits);
  connect(auto_start_, &QCheckBox::toggled, this, &StationWindow::SetAutoStart);
  connect(header_->choose_list_button(), &QPushButton::clicked, this, &StationWindow::ChooseList);
  connect(header_->pair_combo(), &PairCombo::PairChosen, this, &StationWindow::ChooseMatch);
  connect(&poll_, &QTimer::timeout, this, &StationWindow::Refresh);

  resize(1280, 720);
  header_->pair_combo()->Refresh();
  ShowSetup();
  Refresh();
  // The operator's first key: Space starts, or leads to what is still to be chosen.
  if (start_->isEnabled()) start_->setFocus();
  else if (session_.update() == nullptr) header_->choose_list_button()->setFocus();
  else header_->pair_combo()->setFocus();
  poll_.start(kPollMs);
}

void StationWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  // The style draws the focus frame only after a Tab, and activation clears that mark; the
  // operator must see where Space goes from the start. Queued: activation sets focus after this.
  QTimer::singleShot(0, this, [this] {
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* focused = focusWidget()) focused->update();
  });
}

void StationWindow::ShowSetup() {
  header_->ShowList(session_.update());
  header_->ShowMatch(session_.match(), session_.ports());
  header_->ShowRecord(session_.record_path(), session_.problem());
}

void StationWindow::Refresh() {
  Station* station = session_.station();
  const std::vector<UnitSnapshot> units = station ? station->Snapshot() : std::vector<UnitSnapshot>{};
  const StationCounters counters = station ? station->Counters() : StationCounters{};
  tiles_->Show(units);
  header_->ShowCounters(counters);
  start_->setEnabled(station != nullptr && !closing_);
  stop_->setEnabled(counters.running > 0);
  if (station != nullptr && auto_start_->isChecked() != station->AutoStart()) {
    const QSignalBlocker quiet(auto_start_);  // the engine turned it off (Stop)
    auto_start_->setChecked(station->AutoStart());
  }
  auto_start_->setEnabled(station != nullptr && !closing_);
  ShowStatus(counters, units.size());
  // Queued: a poll may run inside a close that is being decided.
  if (closing_ && counters.running == 0) QTimer::singleShot(0, this, &QWidget::close);
}

void StationWindow::ShowStatus(const StationCounters& counters, std::size_t slot_count) {
  QString text;
  if (closing_) {
    text = QStringLiteral("Stopping: the window closes once every unit has ended.");
  } else if (!session_.problem().empty()) {
    text = QString::fromStdString(session_.problem());
  } else if (session_.update() == nullptr) {
    text = QStringLiteral("Choose an update list.");
  } else if (!session_.match()) {
    text = QStringLiteral("Choose the devices to flash.");
  } else if (slot_count == 0) {
    text = QString::fromStdString("No device " + PairText(*session_.match()) + " is attached.");
  } else if (counters.running == 0 && !auto_start_->isChecked()) {
    text = QStringLiteral("Press Start to flash every idle device.");
  }
  if (status_->text() != text) status_->setText(text);
}

void StationWindow::Start() {
  if (Station* station = session_.station()) station->StartIdle();
  Refresh();
}

void StationWindow::StopUnits() {
  if (Station* station = session_.station()) station->Stop();
  session_.SetAutoStart(false);
  Refresh();
}

void StationWindow::SetAutoStart(bool on) {
  session_.SetAutoStart(on);
  Refresh();
}

void StationWindow::ChooseList() {
  const QString directory = session_.update() == nullptr
                                ? QString()
                                : QFileInfo(QString::fromStdString(session_.update()->list_path)).absolutePath();
  const QString path = ChooseExistingFile(this, FileEntry::kTextFiles, directory);
  if (path.isEmpty()) return;
  std::vector<std::string> problems;
  if (!session_.ChooseList(path.toStdString(), &problems))
    ShowMessageBox(this, "The update list cannot be sent:" + Joined(problems));
  ShowSetup();
  Refresh();
}

void StationWindow::ChooseMatch(DevicePair pair) {
  std::string problem;
  if (!session_.ChooseMatch(pair, &problem)) ShowMessageBox(this, problem);
  ShowSetup();
  Refresh();
}

void StationWindow::closeEvent(QCloseEvent* event) {
  if (!session_.Running()) {
    poll_.stop();
    event->accept();
    return;
  }
  event->ignore();
  if (closing_) return;
  if (!AskToConfirm(this, QStringLiteral("Units are still being flashed. Stop them and close?\n"
                                         "They end as cancelled; every record is kept.")))
    return;
  StopAndClose();  // the poll that finds every unit ended closes the window
}

void StationWindow::StopAndClose() {
  closing_ = true;
  StopUnits();
}

void StationWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (painted_) return;
  painted_ = true;
  // For the start-up benchmark: when the first frame was drawn, on the wall clock.
  if (qEnvironmentVariableIsSet("PELLAR_STATION_REPORT_PAINT"))
    std::cerr << "pellar-station: first paint at " << QDateTime::currentMSecsSinceEpoch() << " ms\n";
}

}  // namespace pellar
