// The whole way through on the real file system: Form1, its store, time.txt.
#include "file_settings_store.h"
#include "headless_app.h"
#include "headless_runtime.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace tindora::settings {
namespace {

using testkit::TempFolder;

struct ProgramRun {
    ProgramRun() { form.Load(); }
    headless::HeadlessRuntime runtime;
    headless::HeadlessTrayIcon trayIcon;
    std::unique_ptr<SettingsStore> store = makeFileSettingsStore();
    Form1 form{FormServices{runtime, trayIcon, *store}};
};

TEST(ProgramOnRealFiles, CreatesSavesAndKeepsAHandEditedFile)
{
    const TempFolder folder;
    {
        ProgramRun first;
        EXPECT_EQ(TempFolder::read("time.txt"), ""); // created empty, nothing written
        first.form.Combo2.userChoseItem(8);
        first.form.Combo3.userChoseItem(30);
        first.form.Combo4.userChoseItem(0);
        headless::typeAndCommit(first.form.Text2, "开会");
        first.form.Command6.userPressed();
        EXPECT_TRUE(first.runtime.log.empty());
    }
    const std::string saved = TempFolder::read("time.txt");
    EXPECT_EQ(saved, "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n\"\",\"\",\"\",\"5\",\"\"\r\n"
                     "\"\",\"\",\"\",\"5\",\"\"\r\n");
    EXPECT_EQ(saved.size(), 25u + 17u + 17u);

    const std::string typo = "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n\"24\",\"0\",\"0\",\"5\",\"\"\r\n";
    TempFolder::write("time.txt", typo);
    {
        ProgramRun second;
        ASSERT_EQ(second.runtime.log.size(), 1u);
        EXPECT_NE(second.runtime.log[0].text.find(folder.path().string() + "/time.txt 第 2 行第 1 项"),
                  std::string::npos)
            << second.runtime.log[0].text;
        EXPECT_EQ(second.form.Text2.Text(), "开会");
        EXPECT_EQ(TempFolder::read("time.txt"), typo);
        second.form.Command5.userPressed();
        EXPECT_TRUE(second.runtime.ended);
    }
    EXPECT_EQ(TempFolder::read("time.txt.bak"), typo);
    // The bad hour stayed empty; the missing third line came back untouched.
    EXPECT_EQ(TempFolder::read("time.txt"), "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n"
                                            "\"\",\"0\",\"0\",\"5\",\"\"\r\n\"\",\"\",\"\",\"5\",\"\"\r\n");
}

} // namespace
} // namespace tindora::settings
