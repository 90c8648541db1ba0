#pragma once

#include <QScrollArea>

#include <map>
#include <string>
#include <vector>

#include "station/unit_state.h"

class QGridLayout;

namespace pellar {

class UnitTile;

// The station's slots as tiles, in the order they appeared, in as many columns as the width
// holds. Up to 16 tiles fit a 1366×768 screen; more scroll.
class TileGrid final : public QScrollArea {
  Q_OBJECT

 public:
  explicit TileGrid(QWidget* parent = nullptr);
  // Adds tiles for new slots, drops those of slots that went, and shows each slot's state.
  void Show(const std::vector<UnitSnapshot>& units);
  // The tile of the first slot in the port; "PORT#2" names the second slot in one port.
  UnitTile* TileOf(const std::string& key) const;
  int TileCount() const { return static_cast<int>(order_.size()); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  static std::vector<std::string> KeysOf(const std::vector<UnitSnapshot>& units);
  int ColumnsFor(int width) const;
  void ShowFocus(bool focused);
  void Arrange();

  QWidget* area_;
  QGridLayout* layout_;
  std::map<std::string, UnitTile*> tiles_;  // by slot key
  std::vector<std::string> order_;
  int columns_ = 0;
};

}  // namespace pellar
