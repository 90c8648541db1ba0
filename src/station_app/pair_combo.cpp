#include "pair_combo.h"

#include <QAbstractItemView>

#include "unit_text.h"

namespace pellar {
namespace {

int PairKey(DevicePair pair) { return pair.vendor_id << 16 | pair.product_id; }

DevicePair PairOfKey(int key) {
  return {static_cast<std::uint16_t>(static_cast<unsigned>(key) >> 16),
          static_cast<std::uint16_t>(key & 0xffff)};
}

}  // namespace

PairCombo::PairCombo(PairSource source, QWidget* parent)
    : QComboBox(parent), source_(std::move(source)) {
  setObjectName(QStringLiteral("match"));
  setSizeAdjustPolicy(QComboBox::AdjustToContents);
  setPlaceholderText(QStringLiteral("choose the devices to flash"));
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (index >= 0) emit PairChosen(PairOfKey(itemData(index).toInt()));
  });
}

void PairCombo::AddPair(DevicePair pair, const QString& text) {
  addItem(QString::fromStdString(PairText(pair)) + QStringLiteral("  ") + text, PairKey(pair));
}

void PairCombo::Refresh() {
  const std::optional<DevicePair> current = Current();
  const std::vector<AttachedPair> pairs = source_();
  blockSignals(true);
  clear();
  bool current_listed = false;
  for (const AttachedPair& attached : pairs) {
    AddPair(attached.pair, QStringLiteral("%1 (%2 attached)")
                               .arg(QString::fromStdString(attached.product))
                               .arg(attached.count));
    current_listed = current_listed || (current && PairKey(*current) == PairKey(attached.pair));
  }
  if (current && !current_listed) AddPair(*current, QStringLiteral("(none attached)"));
  setCurrentIndex(current ? findData(PairKey(*current)) : -1);
  blockSignals(false);
}

void PairCombo::SetCurrent(std::optional<DevicePair> pair) {
  if (!pair) {
    setCurrentIndex(-1);
    return;
  }
  if (findData(PairKey(*pair)) < 0) AddPair(*pair, QStringLiteral("(none attached)"));
  setCurrentIndex(findData(PairKey(*pair)));
}

std::optional<DevicePair> PairCombo::Current() const {
  if (currentIndex() < 0) return std::nullopt;
  return PairOfKey(currentData().toInt());
}

void PairCombo::showPopup() {
  Refresh();
  QComboBox::showPopup();
}

void PairCombo::focusInEvent(QFocusEvent* event) {
  // Arrow keys choose without the popup: the list must be fresh before them too.
  if (!view()->isVisible()) Refresh();
  QComboBox::focusInEvent(event);
}

}  // namespace pellar
