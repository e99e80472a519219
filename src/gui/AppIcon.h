#pragma once
#include <QIcon>

namespace tolvane {

// The program's icon (window, tray, message boxes).
QIcon AppIcon();

}  // namespace tolvane
