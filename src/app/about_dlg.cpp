#include "about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app_icon.h"
#include "dialog_units.h"

namespace {

constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  using pellar::DialogUnits;
  setWindowTitle(QStringLiteral("About Pellar"));
  setFont(pellar::DialogFont(9));
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(170, 62));
  setWindowIcon(pellar::ApplicationIcon());

  // A picture control takes the icon's own size, whatever its template size says.
  icon_label_ = new QLabel(this);
  icon_label_->setObjectName(QStringLiteral("icon"));
  icon_label_->setPixmap(pellar::ApplicationIcon().pixmap(kIconPixels, kIconPixels));
  icon_label_->setGeometry(QRect(units.ToPixels(14, 14, 20, 20).topLeft(),
                                 QSize(kIconPixels, kIconPixels)));

  text_label_ = new QLabel(QStringLiteral("Pellar，1.0 "), this);
  text_label_->setObjectName(QStringLiteral("text"));
  text_label_->setTextFormat(Qt::PlainText);
  text_label_->setGeometry(units.ToPixels(42, 14, 114, 8));

  ok_button_ = new QPushButton(QStringLiteral("确定"), this);
  ok_button_->setObjectName(QString::number(kOkId));
  ok_button_->setGeometry(units.ToPixels(113, 41, 50, 14));
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
}
