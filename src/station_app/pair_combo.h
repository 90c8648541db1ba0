#pragma once

#include <QComboBox>

#include <functional>
#include <optional>
#include <vector>

#include "station_session.h"

namespace pellar {

// The choice of the VID:PID to flash, from the devices attached now. The list is looked up again
// whenever the operator comes to it, not on a timer: enumerating costs, a choice is rare.
class PairCombo final : public QComboBox {
  Q_OBJECT

 public:
  using PairSource = std::function<std::vector<AttachedPair>()>;
  explicit PairCombo(PairSource source, QWidget* parent = nullptr);

  // Looks the attached devices up again, keeping the current choice (listed even when absent).
  void Refresh();
  void SetCurrent(std::optional<DevicePair> pair);
  std::optional<DevicePair> Current() const;

  void showPopup() override;

 signals:
  // The operator chose a pair.
  void PairChosen(DevicePair pair);

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  void AddPair(DevicePair pair, const QString& text);

  PairSource source_;
};

}  // namespace pellar
