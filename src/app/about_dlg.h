#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the icon, the program's name and version, and an OK button. It only ends.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kOkId = 1;

  explicit CAboutDlg(QWidget* parent = nullptr);

  QLabel* icon_label() const { return icon_label_; }
  QLabel* text_label() const { return text_label_; }
  QPushButton* ok_button() const { return ok_button_; }

 private:
  QLabel* icon_label_;
  QLabel* text_label_;
  QPushButton* ok_button_;
};
