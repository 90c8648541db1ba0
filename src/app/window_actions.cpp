#include "window_actions.h"

#include "control_ids.h"
#include "info_actions.h"
#include "open_packet_dialog.h"
#include "pellar_dlg.h"
#include "update_actions.h"

namespace pellar {

void BindWindowActions(CPellarDlg& window) {
  // Each subsystem binds its own buttons, from its own file.
  window.BindButton(kScanDevicesButton, [&window] { window.ScanDevices(); });
  BindUpdateActions(window);
  BindInfoActions(window);
  window.BindButton(kPacketBuilderButton, [&window] {
    COpenPacketDialog dialog(&window, &window);  // modal over the main window, its messages too
    dialog.exec();
  });
}

}  // namespace pellar
