#pragma once
// The settings file kept in memory, for tests: what the program wrote, byte for
// byte, and failures a test can switch on.

#include "settings_store.h"

#include <optional>
#include <string>

namespace tindora::headless {

class MemorySettingsStore : public settings::SettingsStore {
public:
    static constexpr std::string_view kLocation = "C:\\Tindora\\time.txt";

    // With the settings file's own encoding.
    MemorySettingsStore();
    explicit MemorySettingsStore(const settings::TextCodec& codec) : m_codec(&codec) {}
    void setCodec(const settings::TextCodec& codec) { m_codec = &codec; }

    std::string location() const override { return std::string(kLocation); }
    const settings::TextCodec& codec() const override { return *m_codec; }
    settings::StoreRead readOrCreate() override;
    std::optional<settings::StoreError> replace(std::string_view bytes) override;
    void keepCopyBeforeNextReplace() override { m_keepCopy = true; }

    // The file's bytes; nothing while there is no file.
    std::optional<std::string> file;
    // time.txt.bak, once kept.
    std::optional<std::string> backup;
    // When set, reads (or replaces) fail with this error and change nothing; a
    // file that failed to read is kept as the backup by the next replace.
    std::optional<settings::StoreError> readFault;
    std::optional<settings::StoreError> replaceFault;
    int replaceCalls = 0;

private:
    const settings::TextCodec* m_codec;
    bool m_keepCopy = false;
    bool m_moveAside = false;
};

} // namespace tindora::headless
