#pragma once
// The program's icon: the window's icon, also the tray icon.

#include <QIcon>

namespace tindora::qt {

// The 32 x 32 icon shared with the Windows program (ui/icon/tindora.ico),
// from the program's resources.
QIcon appIcon();

} // namespace tindora::qt
