#pragma once

class CPellarDlg;

namespace pellar {

// Binds the main window's buttons to their actions, once, while the window is built.
void BindWindowActions(CPellarDlg& window);

}  // namespace pellar
