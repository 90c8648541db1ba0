#pragma once

#include <QTimer>
#include <QWidget>

#include "station_session.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace pellar {

class StationHeader;
class TileGrid;

// "Pellar Station": a tile per slot under a header, and the operator's controls. It holds no
// station logic: it shows the engine's state, polled about ten times a second so that a busy
// station costs at most that many repaints, and passes the operator's commands on. The engine's
// threads never touch it.
class StationWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPollMs = 100;

  explicit StationWindow(StationSession& session, QWidget* parent = nullptr);

  // Shows the engine's state now (the timer calls it).
  void Refresh();
  TileGrid& tiles() const { return *tiles_; }
  StationHeader& header() const { return *header_; }
  // Cuts running units short without asking and closes once they have ended: a shutdown.
  void StopAndClose();
  // Set when a close waits for cut-short units to end.
  bool Closing() const { return closing_; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Start();
  void StopUnits();
  void SetAutoStart(bool on);
  void ChooseList();
  void ChooseMatch(DevicePair pair);
  void ShowSetup();
  void ShowStatus(const StationCounters& counters, std::size_t slot_count);

  StationSession& session_;
  StationHeader* header_;
  QPushButton* start_;
  QCheckBox* auto_start_;
  QPushButton* stop_;
  QLabel* status_;
  TileGrid* tiles_;
  QTimer poll_;
  bool closing_ = false;
  bool painted_ = false;
};

}  // namespace pellar
