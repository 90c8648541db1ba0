#pragma once

#include <QString>
#include <QWidget>

namespace pellar {

// One line of text that changes many times a second (a unit's figures): unlike a label, a new
// text only repaints the line and never asks the tile to lay itself out again. Elided when it
// does not fit.
class PaintedText final : public QWidget {
  Q_OBJECT

 public:
  explicit PaintedText(QWidget* parent = nullptr);
  void SetText(const QString& text);
  const QString& text() const { return text_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace pellar
