#include "memory_settings_store.h"

namespace tindora::headless {

MemorySettingsStore::MemorySettingsStore() : m_codec(&settings::settingsFileCodec()) {}

settings::StoreRead MemorySettingsStore::readOrCreate()
{
    if (readFault) {
        // As on disk: a file that is there but cannot be read is moved aside,
        // unread, by the first save.
        m_moveAside = file.has_value();
        return {{}, readFault, m_moveAside};
    }
    if (!file)
        file.emplace();
    return {*file, std::nullopt};
}

std::optional<settings::StoreError> MemorySettingsStore::replace(std::string_view bytes)
{
    ++replaceCalls;
    if (replaceFault)
        return replaceFault;
    if ((m_keepCopy || m_moveAside) && file)
        backup = file;
    m_keepCopy = false;
    m_moveAside = false;
    file = std::string(bytes);
    return std::nullopt;
}

} // namespace tindora::headless
