#include "AppIcon.h"

// Resources of a static library must be registered by hand, outside any namespace.
static void InitTolvaneResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(tolvane);
    return true;
  }();
  (void)registered;
}

namespace tolvane {

QIcon AppIcon() {
  InitTolvaneResources();
  return QIcon(QStringLiteral(":/tolvane.png"));
}

}  // namespace tolvane
