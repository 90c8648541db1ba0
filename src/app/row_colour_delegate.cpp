#include "row_colour_delegate.h"

#include <QApplication>
#include <QPainter>

namespace pellar {

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
}

}  // namespace pellar
