#pragma once

#include <QIcon>

namespace pellar {

// The application icon in every size drawn for it (16, 24, 32, 48 and 256 pixels).
QIcon ApplicationIcon();

}  // namespace pellar
