#include "window_actions.h"

#include "control_ids.h"
#include "pellar_dlg.h"
#include "update_actions.h"

namespace pellar {

void BindWindowActions(CPellarDlg& window) {
  window.BindButton(kScanDevicesButton, [&window] { window.ScanDevices(); });
  BindUpdateActions(window);
  // Each subsystem binds its own buttons with one call here, from its own file
  // (the update, the device information and the packet builder).
}

}  // namespace pellar
