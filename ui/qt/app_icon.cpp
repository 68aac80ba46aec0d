#include "app_icon.h"

namespace tindora::qt {

QIcon appIcon() { return QIcon(QStringLiteral(":/tindora.ico")); }

} // namespace tindora::qt
