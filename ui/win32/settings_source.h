#pragma once
// Where the Windows program keeps its settings: time.txt in the current folder.

#include "file_settings_store.h"

#include <memory>

namespace tindora::win32 {

inline std::unique_ptr<settings::SettingsStore> makeSettingsStore() { return settings::makeFileSettingsStore(); }

} // namespace tindora::win32
