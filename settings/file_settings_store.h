#pragma once
// The settings file on the real file system: the relative path time.txt,
// resolved against the current directory at every open.

#include "settings_store.h"

#include <functional>
#include <memory>

namespace tindora::settings {

std::unique_ptr<SettingsStore> makeFileSettingsStore();

// For tests: `afterPendingWritten` runs once the new content is flushed to
// time.txt.new and before it replaces time.txt, the moment a crash is most
// likely to leave a torn file behind.
std::unique_ptr<SettingsStore> makeFileSettingsStore(std::function<void()> afterPendingWritten);

} // namespace tindora::settings
