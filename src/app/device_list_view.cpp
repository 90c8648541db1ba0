#include "device_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "row_colour_delegate.h"

namespace pellar {
namespace {

constexpr int kColumns = static_cast<int>(std::size(kDeviceColumnTitles));

QTableWidgetItem* MakeCell(const std::string& text) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

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
}

void DeviceListView::Fill(const DeviceTable& table) {
  clearSelection();
  setRowCount(0);
  selection_mark_ = -1;
  setRowCount(static_cast<int>(table.size()));
  for (int row = 0; row < static_cast<int>(table.size()); ++row) {
    const DeviceRow& device = table[static_cast<std::size_t>(row)];
    setItem(row, 0, MakeCell(device.manufacturer));
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
    table.push_back({CellText(row, 0).toStdString(), CellText(row, 1).toStdString(),
                     CellText(row, 2).toStdString(), CellText(row, 3).toStdString()});
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
  const int before = currentRow();
  QTableWidget::keyPressEvent(event);
  const int after = currentRow();
  if (after >= 0 && after != before && !(event->modifiers() & Qt::ShiftModifier)) {
    selection_mark_ = after;
  }
}

}  // namespace pellar
