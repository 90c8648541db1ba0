#pragma once

class CPellarDlg;

namespace pellar {

// "select config files" (1069) and "update" (1068).
void BindUpdateActions(CPellarDlg& window);

}  // namespace pellar
