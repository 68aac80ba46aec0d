#include "memory_settings_store.h"

namespace tindora::headless {

using settings::StoreError;
using settings::StoreErrorKind;

MemorySettingsStore::MemorySettingsStore() : MemorySettingsStore(settings::settingsFileCodec()) {}

std::string MemorySettingsStore::location() const
{
    return std::string(kFolder) + std::string(fileNameOf(File::Settings));
}

std::optional<std::string> MemorySettingsStore::file(settings::StoreFile which) const
{
    const auto found = files.find(fileNameOf(which));
    if (found == files.end())
        return std::nullopt;
    return found->second;
}

void MemorySettingsStore::setFile(std::string bytes, settings::StoreFile which)
{
    files[std::string(fileNameOf(which))] = std::move(bytes);
}

std::optional<StoreError> MemorySettingsStore::replace(std::string_view bytes)
{
    ++replaceCalls;
    return AtomicFileStore::replace(bytes);
}

std::optional<StoreError> MemorySettingsStore::readWhole(File file, bool createIfMissing, std::string& bytes)
{
    if (readFault && file == File::Settings)
        return readFault;
    const auto found = files.find(fileNameOf(file));
    if (found != files.end()) {
        bytes = found->second;
        return std::nullopt;
    }
    if (!createIfMissing)
        return StoreError{StoreErrorKind::BadPath, 2, file};
    files[std::string(fileNameOf(file))];
    return std::nullopt;
}

std::optional<StoreError> MemorySettingsStore::moveOver(File from, File to)
{
    if (replaceFault)
        return replaceFault;
    const auto found = files.find(fileNameOf(from));
    if (found == files.end())
        return StoreError{StoreErrorKind::BadPath, 2, to};
    std::string bytes = std::move(found->second);
    files.erase(found);
    files[std::string(fileNameOf(to))] = std::move(bytes);
    return std::nullopt;
}

std::optional<StoreError> MemorySettingsStore::replaceWhole(File target, File pending, std::string_view bytes,
                                                            const std::function<void()>& beforeReplace)
{
    if (replaceFault)
        return replaceFault;
    files[std::string(fileNameOf(pending))] = std::string(bytes);
    if (beforeReplace)
        beforeReplace();
    return moveOver(pending, target);
}

} // namespace tindora::headless
