// The settings store contract, run by each store's test program.
#include "settings_store_contract.h"
#include "test_support.h"

namespace tindora::settings::contract {
namespace {

using testkit::kNewLine;
using testkit::kOldLine;

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
    under->setFile(StoreFile::Settings, kOldLine + kOldLine + kOldLine);
    EXPECT_EQ(store().readOrCreate().bytes, kOldLine + kOldLine + kOldLine);
    EXPECT_FALSE(store().replace(kNewLine));
    EXPECT_EQ(under->file(StoreFile::Settings), kNewLine);
    EXPECT_EQ(store().readOrCreate().bytes, kNewLine);
    EXPECT_EQ(under->file(StoreFile::Backup), std::nullopt);
}

TEST_P(SettingsStoreContract, KeepsTheOldFileAsBakOnceWhenAsked)
{
    under->setFile(StoreFile::Settings, kOldLine);
    store().keepCopyBeforeNextReplace();
    EXPECT_FALSE(store().replace(kNewLine));
    EXPECT_EQ(under->file(StoreFile::Backup), kOldLine);
    EXPECT_EQ(under->file(StoreFile::Settings), kNewLine);
    EXPECT_FALSE(store().replace(kOldLine));
    EXPECT_EQ(under->file(StoreFile::Backup), kOldLine); // kept once, not on every save
    EXPECT_EQ(under->file(StoreFile::Settings), kOldLine);
}

// A file that could not be read is never destroyed by a save: the first save
// moves it aside, unread and byte for byte, and only once.
TEST_P(SettingsStoreContract, AnUnreadableFileIsKeptAsBakByTheFirstSave)
{
    under->setFile(StoreFile::Settings, kOldLine);
    if (!under->makeUnreadable())
        GTEST_SKIP() << "this process reads every file; the unprivileged run covers this";
    const StoreRead read = store().readOrCreate();
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.unreadableFileKept);
    EXPECT_EQ(read.bytes, "");
    under->release();
    EXPECT_EQ(under->file(StoreFile::Settings), kOldLine); // the failed read changed nothing

    EXPECT_FALSE(store().replace(kNewLine));
    EXPECT_EQ(under->file(StoreFile::Backup), kOldLine);
    EXPECT_EQ(under->file(StoreFile::Settings), kNewLine);
    EXPECT_FALSE(store().replace(kOldLine));
    EXPECT_EQ(under->file(StoreFile::Backup), kOldLine);
    EXPECT_EQ(under->file(StoreFile::Settings), kOldLine);
}

// What another program wrote into the file meanwhile is never destroyed by a
// save: it is kept as time.txt.bak first, and the store says so.
TEST_P(SettingsStoreContract, AFileChangedElsewhereIsKeptAsBakBeforeItIsReplaced)
{
    under->setFile(StoreFile::Settings, kOldLine);
    EXPECT_EQ(store().readOrCreate().bytes, kOldLine);
    EXPECT_FALSE(store().replace(kNewLine));
    EXPECT_FALSE(store().keptOtherVersion()) << "only its own content was there";
    EXPECT_EQ(under->file(StoreFile::Backup), std::nullopt);

    under->setFile(StoreFile::Settings, "theirs\r\n");
    EXPECT_FALSE(store().replace(kOldLine));
    EXPECT_TRUE(store().keptOtherVersion());
    EXPECT_EQ(under->file(StoreFile::Backup), "theirs\r\n");
    EXPECT_EQ(under->file(StoreFile::Settings), kOldLine);

    EXPECT_FALSE(store().replace(kOldLine));
    EXPECT_FALSE(store().keptOtherVersion()) << "the same content again: left as it is";
    EXPECT_EQ(under->file(StoreFile::Backup), "theirs\r\n");
}

// Read here before and made unreadable meanwhile (its rights taken away, held
// by another program): a save never destroys it. It is kept as time.txt.bak,
// or, where it cannot even be moved, left in place and the save refused.
TEST_P(SettingsStoreContract, AFileMadeUnreadableElsewhereIsNeverDestroyedByASave)
{
    under->setFile(StoreFile::Settings, kOldLine);
    EXPECT_EQ(store().readOrCreate().bytes, kOldLine);
    under->setFile(StoreFile::Settings, "theirs\r\n");
    if (!under->makeUnreadable())
        GTEST_SKIP() << "this process reads every file; the unprivileged run covers this";
    const std::optional<StoreError> error = store().replace(kNewLine);
    under->release();
    if (error) {
        EXPECT_EQ(under->file(StoreFile::Settings), "theirs\r\n") << "refused and left in place";
        EXPECT_FALSE(store().keptOtherVersion());
    } else {
        EXPECT_EQ(under->file(StoreFile::Backup), "theirs\r\n");
        EXPECT_EQ(under->file(StoreFile::Settings), kNewLine);
        EXPECT_TRUE(store().keptOtherVersion()) << "and the user is told";
    }
}

} // namespace
} // namespace tindora::settings::contract
