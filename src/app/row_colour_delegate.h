#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace pellar {

// Draws every cell of a selected row green on blue and every other cell black on white, whether
// or not the list has the focus: the operator must see which device an operation will use even
// while a button has the focus. The focused row of a focused list carries a dotted frame.
class RowColourDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static inline const QColor kSelectedText{0, 255, 0};
  static inline const QColor kSelectedBackground{0, 0, 255};
  static inline const QColor kText{0, 0, 0};
  static inline const QColor kBackground{255, 255, 255};
  // The focus frame, in a colour that stands out from the row's background.
  static inline const QColor kFocusFrame{0, 0, 0};
  static inline const QColor kSelectedFocusFrame{255, 255, 0};

  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  static void PaintFocusFrame(QPainter* painter, const QRect& cell, const QColor& colour,
                              bool left_end, bool right_end);
};

}  // namespace pellar
