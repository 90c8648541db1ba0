#pragma once

class CPellarDlg;

namespace pellar {

// Binds the seventeen device-information buttons (nine reads, eight writes) to their handlers.
// The buttons stay bound while hidden; the AppKey row is the one the keyboard reaches.
void BindInfoActions(CPellarDlg& window);

}  // namespace pellar
