#include "dialog_units.h"

#include <QApplication>
#include <QFontMetricsF>

#include <cmath>

namespace pellar {

QFont DialogFont(int points) {
  QFont font = QApplication::font();
  font.setPointSize(points);
  font.setWeight(QFont::Normal);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  QFontMetricsF metrics(font);
  // The average over the Latin letters, as dialog base units are measured, rather than the font's
  // own average-width figure, which differs widely between faces.
  static const QString kLetters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  average_char_width_ = metrics.horizontalAdvance(kLetters) / kLetters.size();
  char_height_ = static_cast<int>(std::ceil(metrics.height()));
}

int DialogUnits::ToPixelsX(int units) const {
  return static_cast<int>(std::lround(units * average_char_width_ / 4.0));
}

int DialogUnits::ToPixelsY(int units) const {
  return static_cast<int>(std::lround(units * char_height_ / 8.0));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  // Edges are converted, not sizes, so neighbouring controls keep their gaps.
  int left = ToPixelsX(x);
  int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

QSize DialogUnits::ToPixels(int width, int height) const {
  return QSize(ToPixelsX(width), ToPixelsY(height));
}

}  // namespace pellar
