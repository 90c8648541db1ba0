#include "update_actions.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <memory>
#include <string>

#include "control_ids.h"
#include "file_chooser.h"
#include "pellar_dlg.h"
#include "update/update_run.h"

namespace pellar {
namespace {

// The update list path lives with the window's buttons: set by the chooser, read by the update.
// Field 1070 only shows it; what is typed there is never read.
struct UpdateListChoice {
  QString path;
};

void ChooseUpdateList(CPellarDlg& window, UpdateListChoice& choice) {
  // Update lists are text files; the next choice starts where the last one was made.
  QString directory = choice.path.isEmpty() ? QString() : QFileInfo(choice.path).absolutePath();
  QString chosen = ChooseExistingFile(&window, FileEntry::kTextFiles, directory);
  if (chosen.isEmpty()) return;  // cancelled: nothing changes
  choice.path = chosen;
  window.ControlAs<QLineEdit>(kUpdateListPathEdit)->setText(choice.path);
}

void RunUpdate(CPellarDlg& window, const UpdateListChoice& choice) {
  // The path is opened as the file system's bytes.
  const std::string list_path = QFile::encodeName(choice.path).toStdString();
  // A close asked for during the run cuts the current file short and ends the run as cancelled;
  // the window itself ends once this handler has returned.
  UpdateRun(window.context(), window.SelectedDeviceOpener(), list_path);
}

}  // namespace

void BindUpdateActions(CPellarDlg& window) {
  auto choice = std::make_shared<UpdateListChoice>();
  window.BindButton(kSelectConfigButton, [&window, choice] { ChooseUpdateList(window, *choice); });
  window.BindButton(kUpdateButton, [&window, choice] { RunUpdate(window, *choice); });
}

}  // namespace pellar
