#include "message_box.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace pellar {
namespace {

// Room in a title bar beside its text: the window menu's icon and the desktop's buttons, which
// take about a line's height each, and their margins.
constexpr int kTitleBarLines = 8;

// A box only as wide as "update ok!" is too narrow for its title: the desktop cuts "Pellar" down
// to "P…r". A spacer across the box's grid keeps it wide enough for the whole title.
void FitTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  QFont title_font = box.font();
  title_font.setBold(true);  // title bars draw their text bold, as a rule
  const QFontMetrics metrics(title_font);
  const int width = metrics.horizontalAdvance(box.windowTitle()) + kTitleBarLines * metrics.height();
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void ShowMessageBox(QWidget* parent, const std::string& text) {
  // The desktop's warning sign, as the original's message boxes carried.
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Pellar"), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);  // device text must never be read as markup
  FitTitle(box);
  box.exec();
}

}  // namespace pellar
