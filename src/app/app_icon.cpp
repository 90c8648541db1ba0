#include "app_icon.h"

// The icons live in a static library, whose resources the linker keeps only when asked for.
static void LoadIconResources() { Q_INIT_RESOURCE(pellar); }

namespace pellar {

QIcon ApplicationIcon() {
  static const bool loaded = (LoadIconResources(), true);
  (void)loaded;
  QIcon icon;
  for (int size : {16, 24, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/icons/pellar-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace pellar
