#include "window_actions.h"

#include "control_ids.h"
#include "pellar_dlg.h"

namespace pellar {

void BindWindowActions(CPellarDlg& window) {
  window.BindButton(kScanDevicesButton, [&window] { window.ScanDevices(); });
  // Each subsystem binds its own buttons with one call here, from its own file
  // (the update, the device information and the packet builder).
}

}  // namespace pellar
