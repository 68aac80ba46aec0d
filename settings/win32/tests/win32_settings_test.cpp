// The settings file on Windows: code-page conversion with its GBK fallback,
// and time.txt through the wide-character file API, in a fresh folder.
#include "file_settings_store.h"
#include "headless_app.h"
#include "temp_folder.h"
#include "win32_codec.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <windows.h>

namespace tindora::settings {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "\"8\",\"30\",\"0\",\"5\",\"old\"\r\n";
const std::string kNew = "\"9\",\"0\",\"0\",\"5\",\"new\"\r\n";
const std::string kOutsideGbk = "\xF0\xA0\x80\x80"; // U+20000

TEST(Win32Codec, GbkKeepsChineseAndReportsWhatItLacks)
{
    const auto gbk = makeCodePageCodec(kCodePageGbk);
    const EncodedText meeting = gbk->encode("开会");
    EXPECT_TRUE(meeting.exact);
    EXPECT_EQ(meeting.bytes, "\xBF\xAA\xBB\xE1");
    const DecodedText back = gbk->decode("\xBF\xAA\xBB\xE1");
    EXPECT_TRUE(back.exact);
    EXPECT_EQ(back.utf8, "开会");
    // Neither dropped nor quietly swapped for a look-alike.
    // (U+20000 is two UTF-16 units, which Wine replaces one by one.)
    for (const std::string& lacking : {kOutsideGbk, std::string("\xC3\x80")}) { // and À, best fit A
        const EncodedText encoded = gbk->encode("a" + lacking + "b");
        EXPECT_FALSE(encoded.exact) << encoded.bytes;
        EXPECT_TRUE(encoded.bytes == "a?b" || encoded.bytes == "a??b") << encoded.bytes;
    }
    EXPECT_FALSE(gbk->decode("a\x81").exact);
}

TEST(Win32Codec, TheFileUsesGb18030WhereTheSystemHasIt)
{
    const EncodedText encoded = settingsFileCodec().encode(kOutsideGbk);
    if (settingsFileCodePage() == kCodePageGb18030) {
        EXPECT_TRUE(encoded.exact);
        EXPECT_EQ(encoded.bytes, "\x95\x32\x82\x36");
    } else {
        EXPECT_EQ(settingsFileCodePage(), kCodePageGbk);
        EXPECT_FALSE(encoded.exact);
    }
}

// Where the system lacks GB18030 (Wine 8), a note with a character outside
// GBK is saved with '?', and the user is told which note.
TEST(Win32Codec, ASaveThatLosesCharactersSaysWhichNote)
{
    headless::HeadlessApp app;
    app.start();
    app.form.Text2.userTypedText("见" + kOutsideGbk);
    app.form.Command6.userPressed();
    int boxes = 0;
    for (const headless::Announcement& a : app.runtime.log)
        boxes += a.kind == headless::Announcement::Kind::Box;
    if (settingsFileCodePage() == kCodePageGb18030) {
        EXPECT_EQ(boxes, 0);
        EXPECT_NE(app.settingsStore.file->find("\x95\x32\x82\x36"), std::string::npos);
        return;
    }
    ASSERT_EQ(boxes, 1);
    EXPECT_EQ(app.runtime.log.back().text,
              std::string("设置文件 ") + std::string(headless::MemorySettingsStore::kLocation) +
                  " 已保存，但时间1的提醒事件中有本系统无法保存的字符，文件里这些字符已换成“?”。");
    EXPECT_TRUE(app.settingsStore.file->starts_with("\"\",\"\",\"\",\"5\",\"\xBC\xFB?")) << *app.settingsStore.file;
}

class Win32FileStore : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<SettingsStore> store = makeFileSettingsStore();
};

TEST_F(Win32FileStore, CreatesAMissingFileEmptyAndReplacesItWhole)
{
    const StoreRead read = store->readOrCreate();
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.bytes, "");
    EXPECT_EQ(fs::file_size("time.txt"), 0u);
    EXPECT_TRUE(store->location().ends_with("\\time.txt")) << store->location();

    store->keepCopyBeforeNextReplace();
    EXPECT_FALSE(store->replace(kOld));
    EXPECT_EQ(TempFolder::read("time.txt.bak"), "");
    EXPECT_FALSE(store->replace(kNew));
    EXPECT_EQ(TempFolder::read("time.txt"), kNew);
    EXPECT_EQ(TempFolder::read("time.txt.bak"), "");
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

TEST_F(Win32FileStore, AFolderNamedTimeTxtFailsReadAndSave)
{
    fs::create_directory("time.txt");
    const StoreRead read = store->readOrCreate();
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->kind, StoreErrorKind::IsFolder);
    const auto error = store->replace(kNew);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::IsFolder);
    EXPECT_TRUE(fs::is_directory("time.txt"));
}

TEST_F(Win32FileStore, AFileLockedByAnotherProgramIsNotHarmed)
{
    TempFolder::write("time.txt", kOld);
    HANDLE locked = CreateFileW(L"time.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const auto error = store->replace(kNew);
    const StoreRead read = store->readOrCreate();
    CloseHandle(locked);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::InUse) << error->systemCode;
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->kind, StoreErrorKind::InUse) << read.error->systemCode;
    EXPECT_EQ(TempFolder::read("time.txt"), kOld);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

TEST_F(Win32FileStore, AReadOnlyFileIsNotReplaced)
{
    TempFolder::write("time.txt", kOld);
    ASSERT_TRUE(SetFileAttributesW(L"time.txt", FILE_ATTRIBUTE_READONLY));
    const auto error = store->replace(kNew);
    const std::string after = TempFolder::read("time.txt");
    const StoreRead read = store->readOrCreate();
    SetFileAttributesW(L"time.txt", FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::PermissionDenied) << error->systemCode;
    EXPECT_EQ(after, kOld);
    EXPECT_EQ(read.bytes, kOld); // still read at start-up
}

TEST_F(Win32FileStore, ASaveStoppedBeforeTheReplaceLeavesTheOldFileWhole)
{
    TempFolder::write("time.txt", kOld);
    auto stopping = makeFileSettingsStore([] { throw std::runtime_error("stopped"); });
    EXPECT_THROW(stopping->replace(kNew), std::runtime_error);
    EXPECT_EQ(TempFolder::read("time.txt"), kOld);
    EXPECT_EQ(TempFolder::read("time.txt.new"), kNew);
    EXPECT_FALSE(store->replace(kNew));
    EXPECT_EQ(TempFolder::read("time.txt"), kNew);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

} // namespace
} // namespace tindora::settings
