#include "row_colour_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace pellar {
namespace {

// The row that has the keyboard focus in a focused list, framed whole across its cells.
bool IsFocusedRow(const QStyleOptionViewItem& option, const QModelIndex& index) {
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  return view != nullptr && view->hasFocus() && view->currentIndex().row() == index.row();
}

}  // namespace

void RowColourDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem cell(option);
  initStyleOption(&cell, index);
  const bool selected = cell.state & QStyle::State_Selected;
  // The style's own highlight depends on focus and theme; drawn as an ordinary cell in our colours
  // instead, it is the same everywhere.
  cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
  cell.backgroundBrush = selected ? kSelectedBackground : kBackground;
  cell.palette.setColor(QPalette::Text, selected ? kSelectedText : kText);
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
  if (IsFocusedRow(option, index)) {
    const bool first = index.column() == 0;
    const bool last = index.column() == index.model()->columnCount(index.parent()) - 1;
    PaintFocusFrame(painter, option.rect, selected ? kSelectedFocusFrame : kFocusFrame, first, last);
  }
}

// Dotted, inside the cell, so that the grid lines stay as they are.
void RowColourDelegate::PaintFocusFrame(QPainter* painter, const QRect& cell, const QColor& colour,
                                        bool left_end, bool right_end) {
  painter->save();
  QPen pen(colour, 1, Qt::DotLine);
  pen.setCosmetic(true);
  painter->setPen(pen);
  const int top = cell.top() + 1;
  const int bottom = cell.bottom() - 1;
  painter->drawLine(cell.left(), top, cell.right(), top);
  painter->drawLine(cell.left(), bottom, cell.right(), bottom);
  if (left_end) painter->drawLine(cell.left() + 1, top, cell.left() + 1, bottom);
  if (right_end) painter->drawLine(cell.right() - 1, top, cell.right() - 1, bottom);
  painter->restore();
}

}  // namespace pellar
