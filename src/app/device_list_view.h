#pragma once

#include <QList>
#include <QTableWidget>

#include "device/device_table.h"

namespace pellar {

// The device list: a report view with grid lines, whole-row and multiple selection, the
// `DeviceTable` columns, and the selection mark that opening a device goes by.
class DeviceListView : public QTableWidget {
  Q_OBJECT

 public:
  // What the operator has chosen in the list, to be put back as it was after an operation.
  struct Choice {
    int fill = 0;  // which filling of the list it belongs to
    QList<int> selected_rows;
    int current_row = -1;
    int current_column = 0;
    int mark = -1;
  };

  explicit DeviceListView(QWidget* parent = nullptr);

  // Replaces every row; no row is selected afterwards and there is no selection mark.
  void Fill(const DeviceTable& table);
  // The rows as their text stands (the identifiers are read back from it), each with the path it
  // was scanned from.
  DeviceTable Rows() const;
  // The selected rows in ascending order, and the selection mark.
  DeviceSelection Selection() const;
  int selection_mark() const { return selection_mark_; }

  Choice SaveChoice() const;
  // Puts a saved choice back, unless the list has been filled anew since it was saved.
  void RestoreChoice(const Choice& choice);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class FrameOnTop;

  QString CellText(int row, int column) const;
  bool SelectFocusedRowFirst(const QKeyEvent& event);
  void MarkAfterKey(const QKeyEvent& event, const QModelIndex& before);

  // The row last clicked or moved to without Shift; Shift extends a selection from it.
  int selection_mark_ = -1;
  int fill_ = 0;
  QWidget* frame_on_top_ = nullptr;
};

}  // namespace pellar
