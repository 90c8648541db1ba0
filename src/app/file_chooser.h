#pragma once

#include <QString>

class QWidget;

namespace pellar {

// The two entries of the window's open-file dialogs.
enum class FileEntry { kTextFiles, kAllFiles };

// Qt's open-file dialog with the entries "文本文件(*.txt)" and "所有文件(*.*)", the latter listing
// every file, names without a dot too. Opens on `shown` entry, in `directory` when one is given.
// The chosen file's full path, or an empty text when the operator cancelled.
QString ChooseExistingFile(QWidget* parent, FileEntry shown, const QString& directory = {});

}  // namespace pellar
