#pragma once

#include <string>

class QWidget;

namespace pellar {

// A modal message titled "Pellar" with a single OK button, as every window of the program shows
// its messages.
void ShowMessageBox(QWidget* parent, const std::string& text);

}  // namespace pellar
