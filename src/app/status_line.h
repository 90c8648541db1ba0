#pragma once

#include <QLabel>

namespace pellar {

// The status line: centred plain text that, when it does not fit, ends in "…" instead of being cut
// at both sides, and shows itself whole in its tooltip. text() is always the whole text.
class StatusLine final : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);

  void SetText(const QString& text);
  // The text as it is drawn.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace pellar
