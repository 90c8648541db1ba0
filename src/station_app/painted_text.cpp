#include "painted_text.h"

#include <QPainter>

namespace pellar {

PaintedText::PaintedText(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void PaintedText::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  setToolTip(text);
  update();
}

QSize PaintedText::sizeHint() const { return {0, fontMetrics().height()}; }
QSize PaintedText::minimumSizeHint() const { return sizeHint(); }

void PaintedText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text_, Qt::ElideRight, width()));
}

}  // namespace pellar
