#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "pair_combo.h"
#include "station/station.h"

class QLabel;
class QPushButton;

namespace pellar {

// What the station works with and how it fares: the update list (name, files, total size, each
// file's SHA-256 on hover), the devices it flashes, the counters and the record file.
class StationHeader final : public QWidget {
  Q_OBJECT

 public:
  StationHeader(PairCombo::PairSource pairs, QWidget* parent = nullptr);

  void ShowList(const LoadedUpdate* update);
  void ShowMatch(const std::optional<DevicePair>& match, const std::vector<std::string>& ports);
  void ShowRecord(const std::string& path, const std::string& problem);
  void ShowCounters(const StationCounters& counters);

  PairCombo* pair_combo() const { return pair_combo_; }
  QPushButton* choose_list_button() const { return choose_list_; }

 private:
  QLabel* list_name_;
  QLabel* list_summary_;
  QPushButton* choose_list_;
  PairCombo* pair_combo_;
  QLabel* ports_;
  QLabel* record_;
  QLabel* counters_;
};

}  // namespace pellar
