// The settings store contract, run by each store's test program.
#include "settings_store_contract.h"

namespace tindora::settings::contract {
namespace {

const std::string kOld = "\"8\",\"30\",\"0\",\"5\",\"old\"\r\n";
const std::string kNew = "\"9\",\"0\",\"0\",\"5\",\"new\"\r\n";

TEST_P(SettingsStoreContract, CreatesAMissingFileEmpty)
{
    const StoreRead read = store().readOrCreate();
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.bytes, "");
    EXPECT_EQ(under->file(StoreFile::Settings), "");
    EXPECT_FALSE(read.unreadableFileKept);
}

TEST_P(SettingsStoreContract, ReplacesTheWholeFileAndKeepsNoCopyUnasked)
{
    under->setFile(StoreFile::Settings, kOld + kOld + kOld);
    EXPECT_EQ(store().readOrCreate().bytes, kOld + kOld + kOld);
    EXPECT_FALSE(store().replace(kNew));
    EXPECT_EQ(under->file(StoreFile::Settings), kNew);
    EXPECT_EQ(store().readOrCreate().bytes, kNew);
    EXPECT_EQ(under->file(StoreFile::Backup), std::nullopt);
}

TEST_P(SettingsStoreContract, KeepsTheOldFileAsBakOnceWhenAsked)
{
    under->setFile(StoreFile::Settings, kOld);
    store().keepCopyBeforeNextReplace();
    EXPECT_FALSE(store().replace(kNew));
    EXPECT_EQ(under->file(StoreFile::Backup), kOld);
    EXPECT_EQ(under->file(StoreFile::Settings), kNew);
    EXPECT_FALSE(store().replace(kOld));
    EXPECT_EQ(under->file(StoreFile::Backup), kOld); // kept once, not on every save
    EXPECT_EQ(under->file(StoreFile::Settings), kOld);
}

// A file that could not be read is never destroyed by a save: the first save
// moves it aside, unread and byte for byte, and only once.
TEST_P(SettingsStoreContract, AnUnreadableFileIsKeptAsBakByTheFirstSave)
{
    under->setFile(StoreFile::Settings, kOld);
    if (!under->makeUnreadable())
        GTEST_SKIP() << "this process reads every file; the unprivileged run covers this";
    const StoreRead read = store().readOrCreate();
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.unreadableFileKept);
    EXPECT_EQ(read.bytes, "");
    under->release();
    EXPECT_EQ(under->file(StoreFile::Settings), kOld); // the failed read changed nothing

    EXPECT_FALSE(store().replace(kNew));
    EXPECT_EQ(under->file(StoreFile::Backup), kOld);
    EXPECT_EQ(under->file(StoreFile::Settings), kNew);
    EXPECT_FALSE(store().replace(kOld));
    EXPECT_EQ(under->file(StoreFile::Backup), kOld);
    EXPECT_EQ(under->file(StoreFile::Settings), kOld);
}

} // namespace
} // namespace tindora::settings::contract
