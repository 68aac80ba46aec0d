// The in-memory settings store keeps the same contract as the real ones, so
// that what the window tests show on it holds for the programs.
#include "memory_settings_store.h"
#include "settings_store_contract.h"

namespace tindora::settings::contract {
namespace {

class MemoryStoreUnderTest : public StoreUnderTest {
public:
    SettingsStore& store() override { return m_store; }
    std::optional<std::string> file(StoreFile which) override { return m_store.file(which); }
    void setFile(StoreFile which, const std::string& bytes) override { m_store.setFile(bytes, which); }
    bool makeUnreadable() override
    {
        m_store.readFault = StoreError{StoreErrorKind::PermissionDenied, 13};
        return true;
    }
    void release() override { m_store.readFault.reset(); }

private:
    headless::MemorySettingsStore m_store;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Memory, SettingsStoreContract,
                         ::testing::Values(StoreKind{"Memory",
                                                     [] { return std::make_unique<MemoryStoreUnderTest>(); }}),
                         storeName);

} // namespace tindora::settings::contract
