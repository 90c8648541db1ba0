#include "status_line.h"

#include <QPainter>
#include <QStyle>

namespace pellar {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void StatusLine::SetText(const QString& text) {
  setText(text);
  setToolTip(text);
}

QString StatusLine::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void StatusLine::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                        isEnabled(), ShownText(), foregroundRole());
}

}  // namespace pellar
