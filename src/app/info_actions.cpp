#include "info_actions.h"

#include <QLineEdit>

#include <string>

#include "info/device_field.h"
#include "info/field_procedures.h"
#include "pellar_dlg.h"

namespace pellar {
namespace {

QLineEdit& EditOf(CPellarDlg& window, int id) { return *window.ControlAs<QLineEdit>(id); }

// A read fills its edit only with text; a failed read has shown its message and leaves the edit.
void ReadIntoEdit(CPellarDlg& window, const DeviceField& field) {
  std::string text = ReadField(window.context(), window.SelectedDeviceOpener(), field);
  if (!text.empty()) EditOf(window, field.read.edit_id).setText(QString::fromStdString(text));
}

// The edit keeps its text whatever the outcome, so the operator can press again.
void WriteFromEdit(CPellarDlg& window, const DeviceField& field) {
  std::string text = EditOf(window, field.write->edit_id).text().toStdString();
  WriteField(window.context(), window.SelectedDeviceOpener(), field, text);
}

}  // namespace

void BindInfoActions(CPellarDlg& window) {
  for (const DeviceField& field : kDeviceFields) {
    window.BindButton(field.read.button_id, [&window, &field] { ReadIntoEdit(window, field); });
    if (field.write) {
      window.BindButton(field.write->button_id, [&window, &field] { WriteFromEdit(window, field); });
    }
  }
}

}  // namespace pellar
