#include "device_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "row_colour_delegate.h"

namespace pellar {
namespace {

constexpr int kColumns = static_cast<int>(std::size(kDeviceColumnTitles));

constexpr int kPathRole = Qt::UserRole;  // the scanned path, kept on the row's first cell

// A cell too narrow for its text shows it whole in its tooltip.
QTableWidgetItem* MakeCell(const std::string& text) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setToolTip(item->text());
  return item;
}

bool IsPlain(const QKeyEvent& event) {
  return (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

// The list's border drawn once more above its own children. At a fractional scale factor the
// viewport, rounded out to whole device pixels, paints over the border's last pixel on the right
// and at the bottom; drawn last, the border stays whole.
class DeviceListView::FrameOnTop final : public QWidget {
 public:
  explicit FrameOnTop(DeviceListView& list) : QWidget(&list), list_(list) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    list_.drawFrame(&painter);
  }

 private:
  DeviceListView& list_;
};

DeviceListView::DeviceListView(QWidget* parent) : QTableWidget(0, kColumns, parent) {
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTabKeyNavigation(false);  // Tab leaves the list for the next control, as in a dialog
  setItemDelegate(new RowColourDelegate(this));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  for (int column = 0; column < kColumns; ++column) {
    setHorizontalHeaderItem(column, new QTableWidgetItem(kDeviceColumnTitles[column]));
    setColumnWidth(column, kDeviceColumnWidths[column]);
  }
  frame_on_top_ = new FrameOnTop(*this);
}

void DeviceListView::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  frame_on_top_->setGeometry(rect());
  frame_on_top_->raise();
}

void DeviceListView::Fill(const DeviceTable& table) {
  clearSelection();
  setRowCount(0);
  selection_mark_ = -1;
  ++fill_;
  setRowCount(static_cast<int>(table.size()));
  for (int row = 0; row < static_cast<int>(table.size()); ++row) {
    const DeviceRow& device = table[static_cast<std::size_t>(row)];
    setItem(row, 0, MakeCell(device.manufacturer));
    item(row, 0)->setData(kPathRole, QString::fromStdString(device.path));
    setItem(row, 1, MakeCell(device.device_name));
    setItem(row, 2, MakeCell(device.product_id));
    setItem(row, 3, MakeCell(device.vendor_id));
  }
}

void DeviceListView::changeEvent(QEvent* event) {
  // Rows as tall as a line of the list's font and a little air, as a report view draws them.
  if (event->type() == QEvent::FontChange) {
    const int row_height = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(row_height);
    verticalHeader()->setDefaultSectionSize(row_height);
  }
  QTableWidget::changeEvent(event);
}

QString DeviceListView::CellText(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell != nullptr ? cell->text() : QString();
}

DeviceTable DeviceListView::Rows() const {
  DeviceTable table;
  for (int row = 0; row < rowCount(); ++row) {
    const QTableWidgetItem* first = item(row, 0);
    const QString path = first != nullptr ? first->data(kPathRole).toString() : QString();
    table.push_back({CellText(row, 0).toStdString(), CellText(row, 1).toStdString(),
                     CellText(row, 2).toStdString(), CellText(row, 3).toStdString(),
                     path.toStdString()});
  }
  return table;
}

DeviceSelection DeviceListView::Selection() const {
  DeviceSelection selection;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    selection.selected_rows.push_back(index.row());
  }
  std::sort(selection.selected_rows.begin(), selection.selected_rows.end());
  selection.mark = selection_mark_;
  return selection;
}

void DeviceListView::mousePressEvent(QMouseEvent* event) {
  const int row = rowAt(static_cast<int>(event->position().y()));
  if (row >= 0 && !(event->modifiers() & Qt::ShiftModifier)) selection_mark_ = row;
  QTableWidget::mousePressEvent(event);
}

void DeviceListView::keyPressEvent(QKeyEvent* event) {
  if (SelectFocusedRowFirst(*event)) return;
  const QModelIndex before = currentIndex();
  QTableWidget::keyPressEvent(event);
  MarkAfterKey(*event, before);
}

// With nothing selected, Down and Space select the focused row (the first, when the list took the
// focus by Tab) instead of moving past it.
bool DeviceListView::SelectFocusedRowFirst(const QKeyEvent& event) {
  const bool selecting_key = event.key() == Qt::Key_Down || event.key() == Qt::Key_Space;
  if (!selecting_key || !IsPlain(event) || rowCount() == 0 || selectionModel()->hasSelection()) {
    return false;
  }
  const int row = currentRow() >= 0 ? currentRow() : 0;
  const int column = currentColumn() >= 0 ? currentColumn() : 0;
  selectionModel()->setCurrentIndex(model()->index(row, column),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  selection_mark_ = row;
  return true;
}

// The mark is the list's anchor: the focused row after any move or Space without Shift. A
// selection that began without one (Shift from a row the list focused by itself, select-all)
// starts from the row that was focused.
void DeviceListView::MarkAfterKey(const QKeyEvent& event, const QModelIndex& before) {
  const bool shift = event.modifiers() & Qt::ShiftModifier;
  const QModelIndex after = currentIndex();
  const bool moved_or_toggled = after != before || event.key() == Qt::Key_Space;
  if (!shift && after.isValid() && moved_or_toggled) selection_mark_ = after.row();
  if (selection_mark_ < 0 && selectionModel()->hasSelection()) {
    const QModelIndex start = shift && before.isValid() ? before : after;
    selection_mark_ = start.isValid() ? start.row() : Selection().selected_rows.front();
  }
}

// Home and End go to the first and the last row, as in a list; Ctrl only keeps the selection.
QModelIndex DeviceListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if ((action == MoveHome || action == MoveEnd) && rowCount() > 0) {
    const int row = action == MoveHome ? 0 : rowCount() - 1;
    return model()->index(row, std::max(currentColumn(), 0));
  }
  return QTableWidget::moveCursor(action, modifiers);
}

DeviceListView::Choice DeviceListView::SaveChoice() const {
  Choice choice;
  choice.fill = fill_;
  for (int row : Selection().selected_rows) choice.selected_rows << row;
  choice.current_row = currentRow();
  choice.current_column = std::max(currentColumn(), 0);
  choice.mark = selection_mark_;
  return choice;
}

void DeviceListView::RestoreChoice(const Choice& choice) {
  if (choice.fill != fill_) return;  // a rescan has replaced the rows and the selection with them
  QItemSelection rows;
  for (int row : choice.selected_rows) {
    rows.select(model()->index(row, 0), model()->index(row, columnCount() - 1));
  }
  if (choice.current_row >= 0) {
    selectionModel()->setCurrentIndex(model()->index(choice.current_row, choice.current_column),
                                      QItemSelectionModel::NoUpdate);
  }
  selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
  selection_mark_ = choice.mark;
}

}  // namespace pellar
