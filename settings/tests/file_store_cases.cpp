// The real settings store on both platforms: whatever stands in the folder
// under the store's file names, a file marked read-only, the size limit, and
// a file an editor saved as UTF-8, the whole way through Form1.
#include "file_settings_store.h"
#include "headless_runtime.h"
#include "test_support.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tindora::settings {
namespace {

namespace fs = std::filesystem;
using namespace testkit;

class RealFileStore : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<SettingsStore> store = makeFileSettingsStore();
};

// A folder under one of the store's names fails the save, names that file
// and leaves time.txt as it was; time.txt itself, a folder, is not moved aside.
TEST_F(RealFileStore, AFolderInTheWayFailsTheSaveAndIsNamed)
{
    struct Case {
        StoreFile folderAt;
        bool keepCopy;
    };
    const Case cases[] = {
        {StoreFile::Settings, false},
        {StoreFile::Pending, false},
        {StoreFile::Backup, true},
    };
    for (const Case& c : cases) {
        TempFolder here;
        const std::string name(fileNameOf(c.folderAt));
        auto fresh = makeFileSettingsStore();
        if (c.folderAt != StoreFile::Settings)
            TempFolder::write("time.txt", kOldLine);
        fs::create_directory(name);
        const StoreRead read = fresh->readOrCreate();
        EXPECT_EQ(read.error.has_value(), c.folderAt == StoreFile::Settings) << name;
        EXPECT_FALSE(read.unreadableFileKept) << name;
        if (read.error) {
            EXPECT_EQ(read.error->kind, StoreErrorKind::IsFolder) << name;
        }
        if (c.keepCopy)
            fresh->keepCopyBeforeNextReplace();
        const auto error = fresh->replace(kNewLine);
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->kind, StoreErrorKind::IsFolder) << name;
        EXPECT_EQ(error->file, c.folderAt) << name;
        EXPECT_TRUE(fs::is_directory(name)) << name;
        if (c.folderAt != StoreFile::Settings) {
            EXPECT_EQ(TempFolder::read("time.txt"), kOldLine) << name;
        }
        if (c.folderAt != StoreFile::Pending) {
            EXPECT_FALSE(fs::exists("time.txt.new")) << name;
        }
    }
}

TEST_F(RealFileStore, APendingFileLeftByAnEarlierSaveIsSimplyReplaced)
{
    TempFolder::write("time.txt", kOldLine);
    TempFolder::write("time.txt.new", "stale, and read-only");
    fs::permissions("time.txt.new", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

TEST_F(RealFileStore, APendingFileTakenAwayDuringTheSaveIsReportedSo)
{
    TempFolder::write("time.txt", kOldLine);
    auto robbed = makeFileSettingsStore([] { fs::remove("time.txt.new"); });
    const auto error = robbed->replace(kNewLine);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::Vanished);
    EXPECT_EQ(error->file, StoreFile::Pending);
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);
}

// Read-only as the user set it (no write permission for anyone; the read-only
// attribute on Windows): the save refuses, the file and its mode stay.
TEST_F(RealFileStore, AReadOnlyFileIsNotReplaced)
{
    TempFolder::write("time.txt", kOldLine);
    fs::permissions("time.txt", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::perms before = fs::status("time.txt").permissions();
    const auto error = store->replace(kNewLine);
    const std::string after = TempFolder::read("time.txt");
    const StoreRead read = store->readOrCreate();
    const fs::perms modeAfter = fs::status("time.txt").permissions();
    fs::permissions("time.txt", fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::ReadOnlyFile) << error->systemCode;
    EXPECT_EQ(error->file, StoreFile::Settings);
    EXPECT_EQ(after, kOldLine);
    EXPECT_EQ(modeAfter, before);
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.bytes, kOldLine); // still read at start-up
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

// A file of `size` zero bytes that takes no room on the disk.
void makeSparseFile(const char* name, std::uintmax_t size)
{
#ifdef _WIN32
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
#else
    TempFolder::write(name, "");
    ASSERT_EQ(::truncate(name, static_cast<off_t>(size)), 0) << errno;
#endif
}

TEST_F(RealFileStore, AFileAboveTheSizeLimitIsRefusedAndKeptAsBak)
{
    const std::uintmax_t sizes[] = {kMaxSettingsFileBytes, kMaxSettingsFileBytes + 1, 300u << 20};
    for (const std::uintmax_t size : sizes) {
        TempFolder here;
        auto fresh = makeFileSettingsStore();
        makeSparseFile("time.txt", size);
        const StoreRead read = fresh->readOrCreate();
        if (size <= kMaxSettingsFileBytes) {
            EXPECT_FALSE(read.error) << size;
            EXPECT_EQ(read.bytes.size(), size);
            continue;
        }
        ASSERT_TRUE(read.error) << size;
        EXPECT_EQ(read.error->kind, StoreErrorKind::TooLarge) << size;
        EXPECT_TRUE(read.unreadableFileKept) << size;
        EXPECT_TRUE(read.bytes.empty());
        EXPECT_FALSE(fresh->replace(kNewLine)) << size;
        EXPECT_EQ(fs::file_size("time.txt.bak"), size);
        EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    }
}

// Saved by an editor as UTF-8 with its byte-order mark, a Chinese note
// included: read as UTF-8 with nothing to complain about, written back in the
// file's own encoding, the original kept beside it.
TEST_F(RealFileStore, AFileSavedAsUtf8WithAByteOrderMarkKeepsEveryField)
{
    const std::string utf8 = "\xEF\xBB\xBF\"8\",\"30\",\"0\",\"5\",\"开会\"\r\n\"12\",\"0\",\"0\",\"10\",\"午饭\"\r\n"
                             "\"\",\"\",\"\",\"5\",\"\"\r\n";
    TempFolder::write("time.txt", utf8);
    headless::HeadlessRuntime runtime;
    headless::HeadlessTrayIcon trayIcon;
    {
        Form1 form{FormServices{runtime, trayIcon, *store}};
        form.Load();
        EXPECT_TRUE(runtime.log.empty()) << runtime.log.front().text;
        EXPECT_EQ(form.Combo2.Text(), "8");
        EXPECT_EQ(form.Text2.Text(), "开会");
        EXPECT_EQ(form.Combo7.Text(), "12");
        EXPECT_EQ(form.Text3.Text(), "午饭");
        form.Command5.userPressed();
        EXPECT_TRUE(runtime.log.empty());
    }
    EXPECT_EQ(TempFolder::read("time.txt"), "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n"
                                            "\"12\",\"0\",\"0\",\"10\",\"\xCE\xE7\xB7\xB9\"\r\n"
                                            "\"\",\"\",\"\",\"5\",\"\"\r\n");
    EXPECT_EQ(TempFolder::read("time.txt.bak"), utf8);
}

} // namespace
} // namespace tindora::settings
