#include "tile_grid.h"

#include <QGridLayout>
#include <QResizeEvent>

#include <algorithm>
#include <set>

#include "unit_tile.h"

namespace pellar {
namespace {

constexpr int kTileMinWidth = 300;
constexpr int kSpacing = 6;

}  // namespace

TileGrid::TileGrid(QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("tiles"));
  setWidgetResizable(true);
  // Tab reaches the tiles, to scroll them by keyboard: a frame, drawn in the highlight colour
  // while they have the focus, shows it without moving them.
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(2);
  ShowFocus(false);
  area_ = new QWidget;
  layout_ = new QGridLayout(area_);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(kSpacing);
  setWidget(area_);
}

// A slot's key: its port, numbered when a device has several HID interfaces and so several slots
// in one port.
std::vector<std::string> TileGrid::KeysOf(const std::vector<UnitSnapshot>& units) {
  std::vector<std::string> keys;
  std::map<std::string, int> seen;
  for (const UnitSnapshot& unit : units) {
    const int earlier = seen[unit.port]++;
    keys.push_back(earlier == 0 ? unit.port : unit.port + "#" + std::to_string(earlier + 1));
  }
  return keys;
}

void TileGrid::Show(const std::vector<UnitSnapshot>& units) {
  std::vector<std::string> order = KeysOf(units);
  if (order != order_) {
    std::set<std::string> kept(order.begin(), order.end());
    for (auto it = tiles_.begin(); it != tiles_.end();) {
      if (kept.count(it->first) != 0) {
        ++it;
        continue;
      }
      delete it->second;
      it = tiles_.erase(it);
    }
    for (const std::string& key : order) {
      if (tiles_.count(key) != 0) continue;
      auto* tile = new UnitTile(area_);
      tile->setObjectName(QString::fromStdString("tile " + key));
      tiles_[key] = tile;
    }
    order_ = std::move(order);
    Arrange();
  }
  for (std::size_t i = 0; i < units.size(); ++i) tiles_.at(order_[i])->Show(units[i]);
}

UnitTile* TileGrid::TileOf(const std::string& key) const {
  auto found = tiles_.find(key);
  return found == tiles_.end() ? nullptr : found->second;
}

int TileGrid::ColumnsFor(int width) const {
  const int fitting = std::max(1, (width + kSpacing) / (kTileMinWidth + kSpacing));
  return std::min(fitting, std::max(1, static_cast<int>(order_.size())));
}

void TileGrid::ShowFocus(bool focused) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, focused ? palette.color(QPalette::Highlight)
                                                 : palette.color(QPalette::Window));
  setPalette(palette);
}

void TileGrid::focusInEvent(QFocusEvent* event) {
  QScrollArea::focusInEvent(event);
  ShowFocus(true);
}

void TileGrid::focusOutEvent(QFocusEvent* event) {
  QScrollArea::focusOutEvent(event);
  ShowFocus(false);
}

void TileGrid::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  if (ColumnsFor(viewport()->width()) != columns_) Arrange();
}

void TileGrid::Arrange() {
  while (layout_->count() > 0) delete layout_->takeAt(0);
  for (int row = 0; row < layout_->rowCount(); ++row) layout_->setRowStretch(row, 0);  // before: more rows
  columns_ = ColumnsFor(viewport()->width());
  const int count = static_cast<int>(order_.size());
  for (int i = 0; i < count; ++i)
    layout_->addWidget(tiles_.at(order_[static_cast<std::size_t>(i)]), i / columns_, i % columns_);
  // Few tiles grow up to their largest height, easier to read from afar; what is left stays below.
  const int rows = (count + columns_ - 1) / columns_;
  for (int row = 0; row < rows; ++row) layout_->setRowStretch(row, 1);
  layout_->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), rows, 0);
  layout_->setRowStretch(rows, 0);
}

}  // namespace pellar
