// time.txt on a real POSIX file system, in a fresh folder for each test: the
// store contract, and what only POSIX has (pipes, devices, permission bits, a
// real SIGKILL, a disk of our own to fill or make read-only).
#include "file_settings_store.h"
#include "file_store_under_test.h"
#include "settings_messages.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tindora::settings {
namespace {

namespace fs = std::filesystem;
using namespace testkit;

// Mode 000 stops every user but root; the CTest entry
// settings_posix_unprivileged runs these tests again as nobody.
class PosixStoreUnderTest : public contract::FileStoreUnderTest {
public:
    bool makeUnreadable() override
    {
        fs::permissions("time.txt", fs::perms::none);
        return ::geteuid() != 0;
    }
    void release() override
    {
        // Wherever the unreadable file went: a save moves it aside with its mode.
        for (const char* name : {"time.txt", "time.txt.bak"}) {
            if (fs::exists(name))
                fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write);
        }
    }
};

} // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Posix, SettingsStoreContract,
                         ::testing::Values(StoreKind{"PosixFile",
                                                     [] { return std::make_unique<PosixStoreUnderTest>(); }}),
                         storeName);
} // namespace contract

namespace {

class FileStore : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<SettingsStore> store = makeFileSettingsStore();
};

TEST_F(FileStore, CreatesAMissingFileEmptyAndNamesItByItsFullPath)
{
    const StoreRead read = store->readOrCreate();
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.bytes, "");
    ASSERT_TRUE(fs::is_regular_file("time.txt"));
    EXPECT_EQ(fs::file_size("time.txt"), 0u);
    EXPECT_EQ(store->location(), (folder.path() / "time.txt").string());
}

TEST_F(FileStore, ReplacesTheWholeFileAndLeavesNothingElseBehind)
{
    TempFolder::write("time.txt", kOldLine + kOldLine + kOldLine);
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_EQ(store->readOrCreate().bytes, kNewLine);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(FileStore, FollowsTheCurrentDirectoryAtEveryOpen)
{
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    EXPECT_FALSE(store->replace(kNewLine));
    fs::current_path("..");
    EXPECT_EQ(TempFolder::read("elsewhere/time.txt"), kNewLine);
    EXPECT_FALSE(fs::exists("time.txt"));
}

// Neither a pipe nor a device is opened for reading: the read comes back at
// once (a test that hangs here has failed), and the first save moves the
// thing aside, as it is. A pipe left as time.txt.new is simply replaced.
TEST_F(FileStore, APipeOrADeviceIsNeverOpenedAndIsMovedAside)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        fs::file_type kept; // what time.txt.bak is afterwards
    };
    const Case cases[] = {
        {"a pipe", [] { ASSERT_EQ(::mkfifo("time.txt", 0644), 0) << errno; }, fs::file_type::fifo},
        {"a link to /dev/zero", [] { fs::create_symlink("/dev/zero", "time.txt"); }, fs::file_type::symlink},
        {"a pipe as time.txt.new",
         [] {
             TempFolder::write("time.txt", kOldLine);
             ASSERT_EQ(::mkfifo("time.txt.new", 0644), 0) << errno;
         },
         fs::file_type::not_found},
    };
    for (const Case& c : cases) {
        TempFolder here;
        auto fresh = makeFileSettingsStore();
        c.make();
        const StoreRead read = fresh->readOrCreate();
        if (c.kept == fs::file_type::not_found) {
            EXPECT_FALSE(read.error) << c.what;
            EXPECT_EQ(read.bytes, kOldLine) << c.what;
        } else {
            ASSERT_TRUE(read.error) << c.what;
            EXPECT_EQ(read.error->kind, StoreErrorKind::NotAFile) << c.what;
            EXPECT_TRUE(read.unreadableFileKept) << c.what;
        }
        EXPECT_FALSE(fresh->replace(kNewLine)) << c.what;
        EXPECT_EQ(TempFolder::read("time.txt"), kNewLine) << c.what;
        EXPECT_FALSE(fs::exists(fs::symlink_status("time.txt.new"))) << c.what;
        EXPECT_EQ(fs::symlink_status("time.txt.bak").type(), c.kept) << c.what;
    }
}

// Mode 000 as a normal user: the save needs no right to read the file to move
// it aside, and the kept file keeps its mode.
TEST_F(FileStore, AnUnreadableFileIsMovedAsideWithItsMode)
{
    TempFolder::write("time.txt", kOldLine);
    fs::permissions("time.txt", fs::perms::none);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000; settings_posix_unprivileged runs this as nobody";
    const StoreRead read = store->readOrCreate();
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->kind, StoreErrorKind::PermissionDenied);
    EXPECT_TRUE(read.unreadableFileKept);
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_EQ(fs::status("time.txt.bak").permissions(), fs::perms::none);
    fs::permissions("time.txt.bak", fs::perms::owner_read);
    EXPECT_EQ(TempFolder::read("time.txt.bak"), kOldLine);
}

// The process dies for real, by SIGKILL, after the new content is on disk and
// before it replaces time.txt: the old file must be there, whole.
TEST_F(FileStore, ASaveKilledBeforeTheReplaceLeavesTheOldFileWhole)
{
    TempFolder::write("time.txt", kOldLine);
    auto dying = makeFileSettingsStore([] { std::raise(SIGKILL); });
    EXPECT_EXIT(dying->replace(kNewLine), ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);
    EXPECT_EQ(TempFolder::read("time.txt.new"), kNewLine); // the death came where intended
    // The next run saves normally over the leftover.
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

// A small tmpfs of our own, for a full disk and a read-only disk that root
// cannot write around. Needs the right to mount; skipped without it.
class TinyDisk : public FileStore {
protected:
    void SetUp() override
    {
        fs::create_directory("disk");
        if (::mount("tindora-test", "disk", "tmpfs", 0, "size=16k,mode=0777") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here (errno " << errno << "); the faults are covered in memory";
        m_mounted = true;
        fs::current_path("disk");
    }
    void TearDown() override
    {
        if (!m_mounted)
            return;
        fs::current_path(folder.path());
        ::umount2("disk", MNT_DETACH);
    }
    bool m_mounted = false;
};

TEST_F(TinyDisk, AFullDiskFailsTheSaveAndKeepsTheOldFile)
{
    TempFolder::write("time.txt", kOldLine);
    // Fill every remaining block.
    {
        const int fd = ::open("filler", O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(1024, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ASSERT_EQ(errno, ENOSPC);
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
    }
    const auto error = store->replace(std::string(8192, 'n'));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::DiskFull);
    EXPECT_EQ(error->systemCode, ENOSPC);
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

TEST_F(TinyDisk, AReadOnlyDiskFailsTheSaveButStillReads)
{
    TempFolder::write("time.txt", kOldLine);
    fs::current_path(folder.path());
    ASSERT_EQ(::mount(nullptr, "disk", nullptr, MS_REMOUNT | MS_RDONLY, "size=16k"), 0) << errno;
    fs::current_path("disk");
    const auto error = store->replace(kNewLine);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::ReadOnlyDisk);
    EXPECT_EQ(store->readOrCreate().bytes, kOldLine);
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);

    // On a read-only disk a missing file cannot be created either.
    fs::current_path(folder.path());
    ::umount2("disk", MNT_DETACH);
    ASSERT_EQ(::mount("tindora-test", "disk", "tmpfs", MS_RDONLY, "size=16k"), 0);
    fs::current_path("disk");
    const StoreRead read = store->readOrCreate();
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->kind, StoreErrorKind::ReadOnlyDisk);
}

// A folder removed while the program runs can no longer be named by the
// system: the store still names it, and says the original went with it.
TEST_F(FileStore, AFolderRemovedLaterIsStillNamedAndTheOriginalSaidGone)
{
    const fs::path gone = folder.path() / "gone";
    fs::create_directory(gone);
    fs::current_path(gone);
    const auto inside = makeFileSettingsStore();
    TempFolder::write("time.txt", kOldLine);
    ASSERT_FALSE(inside->readOrCreate().error);
    // The process stays in the removed folder, as the running program would.
    fs::remove_all(gone);
    const auto error = inside->replace(kNewLine);
    fs::current_path(folder.path());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::BadPath);
    EXPECT_TRUE(error->settingsFileGone);
    EXPECT_EQ(inside->location(), (gone / "time.txt").string());
    EXPECT_EQ(describeSaveFailure(inside->location(), *error, false),
              "无法保存设置文件 " + (gone / "time.txt").string() + "：写入临时文件 " +
                  (gone / "time.txt.new").string() + " 时出错：所在的文件夹不存在。原来的文件也不在了。");
}

} // namespace
} // namespace tindora::settings
