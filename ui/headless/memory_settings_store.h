#pragma once
// The settings file kept in memory, for tests.

#include "settings_store.h"

namespace tindora::headless {

class MemorySettingsStore : public settings::SettingsStore {
};

} // namespace tindora::headless
