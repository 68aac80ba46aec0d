#pragma once
// The settings file on the real file system: the relative path time.txt,
// resolved against the current directory at every open.

#include "settings_store.h"

#include <functional>
#include <memory>

namespace tindora::settings {

inline constexpr std::string_view kSettingsFileName = "time.txt";
inline constexpr std::string_view kBackupFileName = "time.txt.bak";
// The new content is written here first, then moved over time.txt.
inline constexpr std::string_view kPendingFileName = "time.txt.new";

std::unique_ptr<SettingsStore> makeFileSettingsStore();

// For tests: `afterPendingWritten` runs once the new content is flushed to
// time.txt.new and before it replaces time.txt, the moment a crash is most
// likely to leave a torn file behind.
std::unique_ptr<SettingsStore> makeFileSettingsStore(std::function<void()> afterPendingWritten);

} // namespace tindora::settings
