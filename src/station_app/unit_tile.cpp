#include "unit_tile.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "painted_text.h"
#include "state_colours.h"
#include "unit_text.h"

namespace pellar {
namespace {

QLabel* AddLabel(QBoxLayout* layout, const char* name, double font_scale = 1.0, bool bold = false) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);  // device text must never be read as markup
  // Long names must not widen the tile past its column.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  QFont font = label->font();
  if (font_scale != 1.0) font.setPointSizeF(font.pointSizeF() * font_scale);
  font.setBold(bold);
  label->setFont(font);
  layout->addWidget(label);
  return label;
}

PaintedText* AddLine(QBoxLayout* layout, const char* name) {
  auto* line = new PaintedText;
  line->setObjectName(QString::fromLatin1(name));
  layout->addWidget(line);
  return line;
}

void SetText(PaintedText* line, const std::string& text) { line->SetText(QString::fromStdString(text)); }

void SetText(QLabel* label, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (label->text() != shown) {
    label->setText(shown);
    label->setToolTip(shown);
  }
}

}  // namespace

UnitTile::UnitTile(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setMinimumSize(300, 130);
  setMaximumHeight(230);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 6, 10, 6);
  layout->setSpacing(2);
  // The port and the state on one line: the two things read from afar.
  auto* top = new QHBoxLayout;
  layout->addLayout(top);
  port_ = AddLabel(top, "port", 1.7, true);
  state_ = AddLabel(top, "state", 1.5, true);
  state_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  device_ = AddLabel(layout, "device");
  file_ = AddLine(layout, "file");
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setRange(0, 100);
  progress_->setFormat(QStringLiteral("%p%"));
  layout->addWidget(progress_);
  figures_ = AddLine(layout, "figures");
  problems_ = AddLabel(layout, "problems");
  problems_->setWordWrap(true);
  layout->addStretch(1);
}

void UnitTile::Show(const UnitSnapshot& unit) {
  SetText(port_, unit.port);
  SetText(device_, DeviceLine(unit));
  SetText(file_, FileLine(unit));
  const int percent = UnitPercent(unit);
  if (progress_->value() != percent) progress_->setValue(percent);
  SetText(figures_, FiguresLine(unit));
  if (!painted_once_ || unit.state != shown_.state) ShowState(unit.state);
  SetText(problems_, ProblemsText(unit));
  shown_ = unit;
  painted_once_ = true;
}

void UnitTile::ShowState(UnitState state) {
  const StateColours colours = ColoursOf(state);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colours.background);
  palette.setColor(QPalette::WindowText, colours.text);
  setPalette(palette);
  state_->setText(QString::fromStdString(StateCaption(state)));
}

}  // namespace pellar
