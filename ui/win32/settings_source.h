#pragma once
// Where the Windows program keeps its settings: time.txt in the current folder.

#include "settings_store.h"

#include <memory>

#if __has_include("file_settings_store.h")
#include "file_settings_store.h"
#define TINDORA_HAVE_FILE_SETTINGS 1
#endif

namespace tindora::win32 {

inline std::unique_ptr<settings::SettingsStore> makeSettingsStore()
{
#ifdef TINDORA_HAVE_FILE_SETTINGS
    return settings::makeFileSettingsStore();
#else
    // Until the settings file lands: a store that keeps nothing.
    return std::make_unique<settings::SettingsStore>();
#endif
}

} // namespace tindora::win32
