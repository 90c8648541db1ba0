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
  setFrameShape(QFrame::NoFrame);
  area_ = new QWidget;
  layout_ = new QGridLayout(area_);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(kSpacing);
  setWidget(area_);
}

void TileGrid::Show(const std::vector<UnitSnapshot>& units) {
  std::vector<std::string> order;
  for (const UnitSnapshot& unit : units) order.push_back(unit.port);
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
    for (const std::string& port : order) {
      if (tiles_.count(port) != 0) continue;
      auto* tile = new UnitTile(area_);
      tile->setObjectName(QString::fromStdString("tile " + port));
      tiles_[port] = tile;
    }
    order_ = std::move(order);
    Arrange();
  }
  for (const UnitSnapshot& unit : units) tiles_.at(unit.port)->Show(unit);
}

UnitTile* TileGrid::TileOf(const std::string& port) const {
  auto found = tiles_.find(port);
  return found == tiles_.end() ? nullptr : found->second;
}

int TileGrid::ColumnsFor(int width) const {
  const int fitting = std::max(1, (width + kSpacing) / (kTileMinWidth + kSpacing));
  return std::min(fitting, std::max(1, static_cast<int>(order_.size())));
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
