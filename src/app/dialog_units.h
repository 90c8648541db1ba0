#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace pellar {

// The dialog font of a template: the desktop's sans-serif face (the stand-in for "MS Shell Dlg")
// at the template's point size and normal weight.
QFont DialogFont(int points);

// Converts dialog units to pixels for one dialog font: a horizontal unit is a quarter of the
// font's average character width, a vertical unit an eighth of its character height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

  double average_char_width() const { return average_char_width_; }
  int char_height() const { return char_height_; }

 private:
  double average_char_width_;
  int char_height_;
};

}  // namespace pellar
