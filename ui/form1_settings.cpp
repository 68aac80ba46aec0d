// Loading and saving the reminder slots: the settings file.
#include "form1.h"

namespace tindora {

void Form1::载入固定时间() {}

bool Form1::保存固定时间() { return true; }

bool Form1::saveBeforeLeaving() { return 保存固定时间(); }

} // namespace tindora
