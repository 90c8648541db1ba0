#include "file_chooser.h"

#include <QFileDialog>

namespace pellar {
namespace {

// Qt takes a file pattern from the last parentheses of an entry; the real pattern is added behind
// the caption and hidden, so the captions read as they should while "所有文件(*.*)" lists names
// without a dot too.
const QString kTextFilesEntry = QStringLiteral("文本文件(*.txt) (*.txt)");
const QString kAllFilesEntry = QStringLiteral("所有文件(*.*) (*)");

}  // namespace

QString ChooseExistingFile(QWidget* parent, FileEntry shown, const QString& directory) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog, because a desktop's dialog may show the hidden patterns of the entries.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters({kTextFilesEntry, kAllFilesEntry});
  dialog.selectNameFilter(shown == FileEntry::kTextFiles ? kTextFilesEntry : kAllFilesEntry);
  if (!directory.isEmpty()) dialog.setDirectory(directory);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace pellar
