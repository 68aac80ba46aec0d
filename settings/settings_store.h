#pragma once
// Where the settings file lives. Grows with the settings work: reading,
// creating and atomically replacing time.txt, on the real file system or in
// memory for tests.

namespace tindora::settings {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
};

} // namespace tindora::settings
