#pragma once

#include <QTableWidget>

#include "device/device_table.h"

namespace pellar {

// The device list: a report view with grid lines, whole-row and multiple selection, the
// `DeviceTable` columns, and the selection mark that opening a device goes by.
class DeviceListView : public QTableWidget {
  Q_OBJECT

 public:
  explicit DeviceListView(QWidget* parent = nullptr);

  // Replaces every row; no row is selected afterwards and there is no selection mark.
  void Fill(const DeviceTable& table);
  // The rows as their text stands: the identifiers are read back from it.
  DeviceTable Rows() const;
  // The selected rows in ascending order, and the selection mark.
  DeviceSelection Selection() const;
  int selection_mark() const { return selection_mark_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString CellText(int row, int column) const;

  // The row last clicked or moved to without Shift; Shift extends a selection from it.
  int selection_mark_ = -1;
};

}  // namespace pellar
