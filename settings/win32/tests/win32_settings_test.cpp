// The settings file on Windows: code-page conversion with its GBK fallback,
// and time.txt through the wide-character file API, in a fresh folder: the
// store contract, a file another program holds, a save stopped midway.
#include "file_settings_store.h"
#include "file_store_under_test.h"
#include "headless_app.h"
#include "test_support.h"
#include "win32_codec.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <windows.h>

namespace tindora::settings {
namespace {

namespace fs = std::filesystem;
using namespace testkit;

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
        EXPECT_NE(app.settingsStore.file()->find("\x95\x32\x82\x36"), std::string::npos);
        return;
    }
    ASSERT_EQ(boxes, 1);
    EXPECT_EQ(app.runtime.log.back().text,
              "设置文件 " + app.settingsStore.location() +
                  " 已保存，但时间1的提醒事件中有本系统无法保存的字符，文件里这些字符已换成“?”。");
    EXPECT_TRUE(app.settingsStore.file()->starts_with("\"\",\"\",\"\",\"5\",\"\xBC\xFB?")) << *app.settingsStore.file();
}

// Another program (hold_file.exe, beside this test) holding a file with
// share mode 0, until it is ended.
class HeldByAnotherProgram {
public:
    explicit HeldByAnotherProgram(const std::wstring& file)
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring helper(self);
        helper.resize(helper.find_last_of(L"\\/") + 1);
        helper += L"hold_file.exe";
        std::wstring commandLine = L"\"" + helper + L"\" \"" + file + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            throw std::runtime_error("cannot start hold_file.exe");
        // Held once nobody else can open it, whatever sharing they offer. A
        // new Wine process can take seconds to start on a loaded machine.
        for (int tries = 0; tries < 3000; ++tries) {
            HANDLE probe = CreateFileW(file.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
            if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
                return;
            if (probe != INVALID_HANDLE_VALUE)
                CloseHandle(probe);
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0)
                break; // it gave up
            Sleep(10);
        }
        release();
        throw std::runtime_error("hold_file.exe did not take the file");
    }
    ~HeldByAnotherProgram() { release(); }
    HeldByAnotherProgram(const HeldByAnotherProgram&) = delete;
    HeldByAnotherProgram& operator=(const HeldByAnotherProgram&) = delete;

    void release()
    {
        if (!m_process.hProcess)
            return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 10000);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
        m_process = {};
    }

private:
    PROCESS_INFORMATION m_process{};
};

class Win32StoreUnderTest : public contract::FileStoreUnderTest {
public:
    bool makeUnreadable() override
    {
        m_holder = std::make_unique<HeldByAnotherProgram>(L"time.txt");
        return true;
    }
    void release() override { m_holder.reset(); }

private:
    std::unique_ptr<HeldByAnotherProgram> m_holder;
};

} // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Win32, SettingsStoreContract,
                         ::testing::Values(StoreKind{"Win32File",
                                                     [] { return std::make_unique<Win32StoreUnderTest>(); }}),
                         storeName);
} // namespace contract

namespace {

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
    EXPECT_FALSE(store->replace(kOldLine));
    EXPECT_EQ(TempFolder::read("time.txt.bak"), "");
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_EQ(TempFolder::read("time.txt.bak"), "");
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

// While another program holds the file, neither the read nor the save harms
// it; the save that would move it aside fails and says why.
TEST_F(Win32FileStore, AFileLockedByAnotherProgramIsNotHarmed)
{
    TempFolder::write("time.txt", kOldLine);
    HeldByAnotherProgram holder(L"time.txt");
    const auto error = store->replace(kNewLine);
    const StoreRead read = store->readOrCreate();
    const auto moveError = store->replace(kNewLine); // now moving it aside first
    holder.release();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, StoreErrorKind::InUse) << error->systemCode;
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->kind, StoreErrorKind::InUse) << read.error->systemCode;
    EXPECT_TRUE(read.unreadableFileKept);
    ASSERT_TRUE(moveError);
    EXPECT_EQ(moveError->kind, StoreErrorKind::InUse) << moveError->systemCode;
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);
    EXPECT_FALSE(fs::exists("time.txt.new"));
    EXPECT_FALSE(fs::exists("time.txt.bak"));
}

TEST_F(Win32FileStore, ASaveStoppedBeforeTheReplaceLeavesTheOldFileWhole)
{
    TempFolder::write("time.txt", kOldLine);
    auto stopping = makeFileSettingsStore([] { throw std::runtime_error("stopped"); });
    EXPECT_THROW(stopping->replace(kNewLine), std::runtime_error);
    EXPECT_EQ(TempFolder::read("time.txt"), kOldLine);
    EXPECT_EQ(TempFolder::read("time.txt.new"), kNewLine);
    EXPECT_FALSE(store->replace(kNewLine));
    EXPECT_EQ(TempFolder::read("time.txt"), kNewLine);
    EXPECT_FALSE(fs::exists("time.txt.new"));
}

} // namespace
} // namespace tindora::settings
