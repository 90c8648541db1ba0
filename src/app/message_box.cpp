#include "message_box.h"

#include <QMessageBox>

namespace pellar {

void ShowMessageBox(QWidget* parent, const std::string& text) {
  // The desktop's warning sign, as the original's message boxes carried.
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Pellar"), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);  // device text must never be read as markup
  box.exec();
}

}  // namespace pellar
