#pragma once

#include <QFrame>

#include "station/unit_state.h"

class QLabel;
class QProgressBar;

namespace pellar {

class PaintedText;

// One slot of the station: the port in large letters, the device, the file being sent, a
// progress bar, the figures, and the state on the state's colour. Changes only what changed, so a
// poll that finds nothing new costs no repaint.
class UnitTile final : public QFrame {
  Q_OBJECT

 public:
  explicit UnitTile(QWidget* parent = nullptr);
  void Show(const UnitSnapshot& unit);
  const UnitSnapshot& shown() const { return shown_; }

 private:
  void ShowState(UnitState state);

  QLabel* port_;
  QLabel* device_;
  PaintedText* file_;
  QProgressBar* progress_;
  PaintedText* figures_;
  QLabel* state_;
  QLabel* problems_;
  UnitSnapshot shown_;
  bool painted_once_ = false;
};

}  // namespace pellar
