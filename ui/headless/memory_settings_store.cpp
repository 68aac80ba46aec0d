#include "memory_settings_store.h"

namespace tindora::headless {

MemorySettingsStore::MemorySettingsStore() : m_codec(&settings::settingsFileCodec()) {}

settings::StoreRead MemorySettingsStore::readOrCreate()
{
    if (readFault)
        return {{}, readFault};
    if (!file)
        file.emplace();
    return {*file, std::nullopt};
}

std::optional<settings::StoreError> MemorySettingsStore::replace(std::string_view bytes)
{
    ++replaceCalls;
    if (replaceFault)
        return replaceFault;
    if (m_keepCopy && file)
        backup = file;
    m_keepCopy = false;
    file = std::string(bytes);
    return std::nullopt;
}

} // namespace tindora::headless
