#pragma once
// The real settings store in a fresh current folder, for the contract suite;
// each platform adds its own way of making time.txt unreadable.

#include "file_settings_store.h"
#include "settings_store_contract.h"
#include "test_support.h"

namespace tindora::settings::contract {

class FileStoreUnderTest : public StoreUnderTest {
public:
    SettingsStore& store() override { return *m_store; }
    std::optional<std::string> file(StoreFile which) override
    {
        const std::filesystem::path name(fileNameOf(which));
        if (!std::filesystem::is_regular_file(name))
            return std::nullopt;
        return testkit::TempFolder::read(name);
    }
    void setFile(StoreFile which, const std::string& bytes) override
    {
        testkit::TempFolder::write(std::filesystem::path(fileNameOf(which)), bytes);
    }

protected:
    testkit::TempFolder m_folder;
    std::unique_ptr<SettingsStore> m_store = makeFileSettingsStore();
};

} // namespace tindora::settings::contract
