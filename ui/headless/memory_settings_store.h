#pragma once
// The settings file kept in memory, for tests: the folder's files as a map of
// names to bytes under the very save policy the programs use, and failures a
// test can switch on.

#include "atomic_file_store.h"

#include <map>
#include <optional>
#include <string>

namespace tindora::headless {

class MemorySettingsStore : public settings::AtomicFileStore {
public:
    static constexpr std::string_view kFolder = "C:\\Tindora\\";

    // With the settings file's own encoding.
    MemorySettingsStore();
    explicit MemorySettingsStore(const settings::TextCodec& codec) : AtomicFileStore({}), m_codec(&codec) {}
    void setCodec(const settings::TextCodec& codec) { m_codec = &codec; }

    std::string location() const override;
    const settings::TextCodec& codec() const override { return *m_codec; }
    std::optional<settings::StoreError> replace(std::string_view bytes) override;

    // The folder's files by name (time.txt, time.txt.bak, ...), byte for byte.
    std::map<std::string, std::string, std::less<>> files;
    // One of them; nothing while there is none.
    std::optional<std::string> file(settings::StoreFile which = settings::StoreFile::Settings) const;
    std::optional<std::string> backup() const { return file(settings::StoreFile::Backup); }
    void setFile(std::string bytes, settings::StoreFile which = settings::StoreFile::Settings);

    // While set, reading time.txt fails with this error (the file stays as it
    // is), or every write does and changes nothing.
    std::optional<settings::StoreError> readFault;
    std::optional<settings::StoreError> replaceFault;
    int replaceCalls = 0;

protected:
    bool exists(File file) override { return files.contains(fileNameOf(file)); }
    std::optional<settings::StoreError> readWhole(File file, bool createIfMissing, std::string& bytes) override;
    std::optional<settings::StoreError> moveOver(File from, File to) override;
    std::optional<settings::StoreError> replaceWhole(File target, File pending, std::string_view bytes,
                                                     const std::function<void()>& beforeReplace) override;

private:
    const settings::TextCodec* m_codec;
};

} // namespace tindora::headless
