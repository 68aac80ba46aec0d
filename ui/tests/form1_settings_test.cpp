// Form1 loading and saving its slots through the settings file, on the
// in-memory backend: what the window shows, which events run, what is written
// and what the user is told.
#include "headless_app.h"
#include "settings_messages.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace tindora {
namespace {

using headless::Announcement;
using headless::HeadlessApp;
using settings::StoreError;
using settings::StoreErrorKind;
using settings::StoreFile;
using testkit::kUntouchedLine;

const std::string kMeeting = "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n"; // 开会
const std::string kLocation = headless::MemorySettingsStore().location();

std::vector<Announcement> boxes(const HeadlessApp& app)
{
    std::vector<Announcement> found;
    for (const Announcement& a : app.runtime.log)
        if (a.kind == Announcement::Kind::Box)
            found.push_back(a);
    return found;
}

std::string pickers(const ReminderSlot& slot)
{
    auto one = [](const ComboBox& c) { return std::to_string(c.ListIndex()) + "/" + c.Text(); };
    return one(slot.hour) + " " + one(slot.minute) + " " + one(slot.second);
}

TEST(SettingsLoad, AMissingFileIsCreatedEmptyAndNothingChanges)
{
    HeadlessApp app;
    int events = 0;
    for (ComboBox* c : {&app.form.Combo2, &app.form.Combo3, &app.form.Combo7, &app.form.Combo9})
        c->Click = [&] { ++events; };
    app.form.Text1.Change = [&] { ++events; };
    app.start();
    EXPECT_EQ(app.settingsStore.file(), std::string());
    EXPECT_EQ(events, 0);
    EXPECT_EQ(pickers(app.form.slots()[0]), "-1/ -1/ -1/");
    EXPECT_EQ(app.form.Text1.Text(), "5");
    EXPECT_EQ(app.form.time1, TimeOfDay());
    EXPECT_TRUE(boxes(app).empty());
}

TEST(SettingsLoad, RaisesTheEventsOfEachAssignmentInOrderAndEndsWithTheStoredTimes)
{
    HeadlessApp app;
    app.settingsStore.setFile("\"8\",\"30\",\"0\",\"10\",\"\xBF\xAA\xBB\xE1\"\r\n" + kUntouchedLine +
                              "\"0\",\"2\",\"0\",\"05\",\"x\"\r\n");
    std::vector<std::string> events;
    auto watch = [&](Event& event, std::string name, TimeOfDay& pre, TimeOfDay& due) {
        event = [&, inner = event, name] {
            inner();
            events.push_back(name + " " + formatHhMmSs(pre) + " " + formatHhMmSs(due));
        };
    };
    Form1& f = app.form;
    watch(f.Combo2.Click, "Combo2", f.time1, f.time2);
    watch(f.Combo3.Click, "Combo3", f.time1, f.time2);
    watch(f.Combo4.Click, "Combo4", f.time1, f.time2);
    watch(f.Text1.Change, "Text1", f.time1, f.time2);
    watch(f.Combo7.Click, "Combo7", f.time3, f.time4);
    watch(f.Text4.Change, "Text4", f.time3, f.time4);
    watch(f.Combo11.Click, "Combo11", f.time5, f.time6);
    watch(f.Combo10.Click, "Combo10", f.time5, f.time6);
    watch(f.Combo9.Click, "Combo9", f.time5, f.time6);
    watch(f.Text6.Change, "Text6", f.time5, f.time6);
    app.start();

    const std::vector<std::string> expected = {
        "Combo2 07:55:00 08:00:00",  "Combo3 08:25:00 08:30:00", "Combo4 08:25:00 08:30:00",
        "Text1 08:20:00 08:30:00",   "Combo7 23:55:00 00:00:00", "Combo11 23:55:00 00:00:00",
        "Combo10 23:57:00 00:02:00", "Combo9 23:57:00 00:02:00",
    };
    EXPECT_EQ(events, expected); // "05" becomes "5": no change, no event
    EXPECT_EQ(f.Text2.Text(), "开会");
    EXPECT_EQ(f.Text6.Text(), "5");
    EXPECT_EQ(f.Text5.Text(), "x");
    EXPECT_EQ(f.slotSetUp, (std::array<bool, 3>{true, false, true}));
    EXPECT_TRUE(boxes(app).empty());
}

TEST(SettingsLoad, StoredNumbersSelectTheirItems)
{
    struct Case {
        std::string hour;
        std::string pickerState;
        std::string lead;
        std::string leadText;
    };
    const Case cases[] = {
        // A lead shows in whole minutes, as the warning comes (2.5: a half goes to the even 2).
        {"7", "7/7", "2.5", "2"}, {"7.5", "8/8", "10 min", "10"}, {"6.5", "6/6", "abc", "0"},
        {"-1", "-1/", "", "0"},   {"", "-1/", "05", "5"},         {" 07", "7/7", "-5", "-5"},
    };
    for (const Case& c : cases) {
        HeadlessApp app;
        app.settingsStore.setFile("\"" + c.hour + "\",\"0\",\"0\",\"" + c.lead + "\",\"\"\r\n" + kUntouchedLine +
                                  kUntouchedLine);
        app.start();
        EXPECT_EQ(std::to_string(app.form.Combo2.ListIndex()) + "/" + app.form.Combo2.Text(), c.pickerState) << c.hour;
        EXPECT_EQ(app.form.Text1.Text(), c.leadText) << c.lead;
        EXPECT_TRUE(boxes(app).empty()) << c.hour;
    }
}

TEST(SettingsSave, WritesTheControlsTextsByteForByte)
{
    HeadlessApp app;
    app.start();
    Form1& f = app.form;
    f.Combo2.userChoseItem(8);
    f.Combo3.userChoseItem(30);
    f.Combo4.userChoseItem(0);
    f.Text2.userTypedText("开会");
    f.Combo5.userTypedText("7"); // typed, not chosen
    f.Text3.userTypedText(" say \"hi\", ok ");
    f.Text6.userTypedText("3.50");
    f.Command6.userPressed();
    EXPECT_EQ(*app.settingsStore.file(),
              kMeeting + "\"\",\"\",\"7\",\"5\",\" say \"\"hi\"\", ok \"\r\n" + "\"\",\"\",\"\",\"4\",\"\"\r\n");
    EXPECT_TRUE(boxes(app).empty());

    // And the next start brings the window back as it was, the typed 7 as item 7.
    HeadlessApp next;
    next.settingsStore.files = app.settingsStore.files;
    next.start();
    EXPECT_EQ(pickers(next.form.slots()[0]), "8/8 30/30 0/0");
    EXPECT_EQ(pickers(next.form.slots()[1]), "-1/ -1/ 7/7");
    EXPECT_EQ(pickers(next.form.slots()[2]), "-1/ -1/ -1/");
    EXPECT_EQ(next.form.Text2.Text(), "开会");
    EXPECT_EQ(next.form.Text3.Text(), " say \"hi\", ok ");
    EXPECT_EQ(next.form.Text6.Text(), "4");
    EXPECT_EQ(next.form.time1, TimeOfDay::fromParts(8, 25, 0));
    EXPECT_EQ(next.form.time2, TimeOfDay::fromParts(8, 30, 0));
}

// A slot nobody touched stays out of the reminders after a restart, while one
// set to 0:00:00 on purpose announces itself at midnight.
TEST(SettingsLoad, AnUntouchedSlotDoesNotComeBackAsMidnight)
{
    const std::pair<std::string, std::size_t> cases[] = {
        {kUntouchedLine, 0},
        {"\"0\",\"0\",\"0\",\"5\",\"\"\r\n", 2}, // the pre-warning at 23:55 and the due time at 0:00
    };
    for (const auto& [slot1, expectedBoxes] : cases) {
        HeadlessApp app(headless::at(0, 23, 50, 0));
        app.settingsStore.setFile(slot1 + kUntouchedLine + kUntouchedLine);
        app.start();
        app.runUntil(headless::at(1, 0, 1, 0));
        EXPECT_EQ(boxes(app).size(), expectedBoxes) << slot1;
        if (expectedBoxes == 0) {
            EXPECT_FALSE(app.form.slotSetUp[0]);
            EXPECT_EQ(pickers(app.form.slots()[0]), "-1/ -1/ -1/");
        }
    }
}

TEST(SettingsLoad, ABadFieldIsNamedTheRestAppliedAndTheFileKeptAsBak)
{
    HeadlessApp app;
    const std::string original = kMeeting + "\"24\",\"15\",\"0\",\"7\",\"b\"\r\n" +
                                 "\"1\",\"99\",\"2\",\"5\",\"c\"\r\n";
    app.settingsStore.setFile(original);
    app.start();

    const auto shown = boxes(app);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "设置文件 " + kLocation +
                  " 第 2 行第 1 项（时间2的“时”）是“24”，不是 0 到 23 之间的整数，此外还有 1 "
                  "处类似问题。读不出的项保持默认值；下次保存前，原文件会先备份为 C:\\Tindora\\time.txt.bak。");
    EXPECT_EQ(shown[0].style, BoxStyle{BoxIcon::Exclamation});
    EXPECT_EQ(shown[0].title, "Tindora");
    EXPECT_EQ(pickers(app.form.slots()[0]), "8/8 30/30 0/0");
    EXPECT_EQ(pickers(app.form.slots()[1]), "-1/ 15/15 0/0");
    EXPECT_EQ(pickers(app.form.slots()[2]), "1/1 -1/ 2/2");
    EXPECT_EQ(app.form.Text4.Text(), "7");
    EXPECT_EQ(app.form.Text5.Text(), "c");

    app.form.Command6.userPressed();
    EXPECT_EQ(app.settingsStore.backup(), original);
    EXPECT_NE(app.settingsStore.file(), original);
    app.form.Combo7.userChoseItem(9);
    app.form.Command6.userPressed();
    EXPECT_EQ(app.settingsStore.backup(), original); // kept once, not overwritten
}

TEST(SettingsLoad, TellsWhereATruncatedOrUnreadableFileGoesWrongAndWhatTheFieldBecame)
{
    struct Case {
        std::string file;
        std::string message;
        std::string slot3;
        bool keptDefault = true; // the message says the field kept its default
    };
    const std::string tooLong(400, '9');
    const Case cases[] = {
        {kMeeting + kUntouchedLine + "\"1\",\"2\"", "第 3 行第 3 项（时间3的“秒”）缺失，文件在这里提前结束了",
         "1/1 2/2 -1/"},
        {kMeeting + kUntouchedLine + "\"1\",\"2\",\"3\",\"5\",\"cut off",
         "第 3 行第 5 项（时间3的提醒事件）缺失，文件在这里提前结束了", "1/1 2/2 3/3"},
        {kMeeting + kUntouchedLine + "\"1\",\"2\",\"3\",\"" + tooLong + "\",\"\"\r\n",
         "第 3 行第 4 项（时间3的提前分钟数）是一个过长的数字，无法读取", "1/1 2/2 3/3"},
        {kMeeting + kUntouchedLine + "\"1\",\"2\",\"70000\",\"5\",\"\"\r\n",
         "第 3 行第 3 项（时间3的“秒”）是“70000”，不是 0 到 59 之间的整数", "1/1 2/2 -1/"},
        // A note is shown with the characters it could not read replaced...
        {kMeeting + kUntouchedLine + "\"1\",\"2\",\"3\",\"5\",\"a\x81 b\"\r\n",
         "第 3 行第 5 项（时间3的提醒事件）含有无法识别的字符，这些字符显示为“\xEF\xBF\xBD”", "1/1 2/2 3/3", false},
        // ...a number is not guessed from mangled text: the picker stays unset.
        {kMeeting + kUntouchedLine + "\"8\xFF\",\"2\",\"3\",\"5\",\"\"\r\n",
         "第 3 行第 1 项（时间3的“时”）含有无法识别的字符", "-1/ 2/2 3/3"},
    };
    for (const Case& c : cases) {
        HeadlessApp app;
        app.settingsStore.setFile(c.file);
        app.start();
        const auto shown = boxes(app);
        ASSERT_EQ(shown.size(), 1u) << c.message;
        EXPECT_EQ(shown[0].text, "设置文件 " + kLocation + " " + c.message + "。" +
                                     (c.keptDefault ? "读不出的项保持默认值；" : "") +
                                     "下次保存前，原文件会先备份为 C:\\Tindora\\time.txt.bak。");
        EXPECT_EQ(pickers(app.form.slots()[0]), "8/8 30/30 0/0") << c.message;
        EXPECT_EQ(pickers(app.form.slots()[2]), c.slot3) << c.message;
        EXPECT_EQ(app.settingsStore.file(), c.file);    // the loader never writes
        EXPECT_TRUE(app.form.trayModule().iconShown()); // start-up went on
    }
}

// A file that is there but cannot be read is kept, and the user is told so
// and where; a folder in its place, or no file at all, keeps nothing.
TEST(SettingsLoad, AFileThatCannotBeReadIsReportedKeptAndStartUpGoesOn)
{
    const std::string kept =
        "三组提醒按默认设置开始。原文件不会被覆盖：下次保存前，它会原样改名为 C:\\Tindora\\time.txt.bak。";
    const std::string original = kMeeting + kUntouchedLine + kUntouchedLine;
    struct Case {
        StoreError fault;
        bool fileThere;
        std::string text;
    };
    const Case cases[] = {
        {{StoreErrorKind::IsFolder, 21}, false, "已有一个同名的文件夹。三组提醒按默认设置开始。"},
        {{StoreErrorKind::PermissionDenied, 13}, false, "没有读取或创建它的权限。三组提醒按默认设置开始。"},
        {{StoreErrorKind::PermissionDenied, 13}, true, "没有读取它的权限。" + kept},
        {{StoreErrorKind::InUse, 32}, true, "文件被其他程序占用。" + kept},
        {{StoreErrorKind::NotAFile, 0}, true, "它不是一个普通文件。" + kept},
        {{StoreErrorKind::TooLarge, 27}, true, "文件大于 8 MB，不是本程序写的设置文件。" + kept},
    };
    for (const Case& c : cases) {
        HeadlessApp app;
        if (c.fileThere)
            app.settingsStore.setFile(original);
        app.settingsStore.readFault = c.fault;
        app.start();
        const auto shown = boxes(app);
        ASSERT_EQ(shown.size(), 1u) << c.text;
        EXPECT_EQ(shown[0].text, "无法读取设置文件 " + kLocation + "：" + c.text);
        EXPECT_TRUE(app.form.trayModule().iconShown());
        EXPECT_TRUE(app.form.Visible());
        EXPECT_EQ(app.form.Text1.Text(), "5");

        app.settingsStore.readFault.reset();
        app.form.Command6.userPressed();
        EXPECT_EQ(app.settingsStore.backup(), c.fileThere ? std::optional(original) : std::nullopt) << c.text;
        EXPECT_EQ(app.settingsStore.file(), kUntouchedLine + kUntouchedLine + kUntouchedLine) << c.text;
    }
}

TEST(SettingsSave, AFailedSaveIsToldOnceAndChangesNothing)
{
    HeadlessApp app;
    app.settingsStore.setFile(kMeeting + kUntouchedLine + kUntouchedLine);
    app.start();
    const std::pair<StoreError, std::string> cases[] = {
        {{StoreErrorKind::InUse, 32}, "文件被其他程序占用"},
        {{StoreErrorKind::PermissionDenied, 13}, "没有写入权限"},
        {{StoreErrorKind::DiskFull, 28}, "磁盘已满"},
        {{StoreErrorKind::ReadOnlyDisk, 30}, "所在的磁盘是只读的"},
        {{StoreErrorKind::Other, 1234}, "系统错误（代码 1234）"},
        {{StoreErrorKind::ReadOnlyFile, 5}, "文件是只读的"},
        {{StoreErrorKind::IsFolder, 5, StoreFile::Pending},
         "写入临时文件 C:\\Tindora\\time.txt.new 时出错：已有一个同名的文件夹"},
        {{StoreErrorKind::Vanished, 2, StoreFile::Pending},
         "写入临时文件 C:\\Tindora\\time.txt.new 时出错：文件在保存途中被移走了，可能同一文件夹中还运行着另一个 "
         "Tindora"},
        {{StoreErrorKind::IsFolder, 5, StoreFile::Backup},
         "把原文件备份为 C:\\Tindora\\time.txt.bak 时出错：已有一个同名的文件夹"},
    };
    int hour = 9;
    for (const auto& [error, reason] : cases) {
        app.runtime.log.clear();
        app.form.Show();
        app.settingsStore.replaceFault = error;
        // The edit's own save fails and tells why; the minimize-to-tray save
        // tries again and fails alike, and the same cause is not told twice.
        app.form.Combo2.userChoseItem(++hour);
        app.form.Command6.userPressed();
        const auto shown = boxes(app);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "无法保存设置文件 " + kLocation + "：" + reason + "。原来的文件没有改动。");
        EXPECT_EQ(shown[0].style, BoxStyle{BoxIcon::Exclamation});
        EXPECT_EQ(app.settingsStore.file(), kMeeting + kUntouchedLine + kUntouchedLine);
        EXPECT_EQ(app.form.Combo2.Text(), std::to_string(hour));
        EXPECT_FALSE(app.form.Visible()); // off to the tray all the same
        EXPECT_FALSE(app.runtime.ended);
    }
}

enum class Way { Exit, TrayClose, CloseBox };

void leave(HeadlessApp& app, Way way)
{
    switch (way) {
    case Way::Exit:
        app.form.Command5.userPressed();
        break;
    case Way::TrayClose:
        app.form.mnuTrayClose.userChose();
        break;
    case Way::CloseBox:
        app.form.systemRequestedClose();
        break;
    }
}

bool left(const HeadlessApp& app) { return app.runtime.ended || app.form.isUnloaded(); }

TEST(SettingsSave, AFailedSaveOnAWayOutAsksWhetherToStay)
{
    for (const Way way : {Way::Exit, Way::TrayClose, Way::CloseBox}) {
        for (const BoxAnswer answer : {BoxAnswer::Yes, BoxAnswer::No}) {
            HeadlessApp app;
            app.start();
            app.settingsStore.replaceFault = StoreError{StoreErrorKind::PermissionDenied, 13};
            app.runtime.whileBoxOpen = [&](const Announcement&) { return answer; };
            leave(app, way);
            const auto shown = boxes(app);
            const std::string label = "way " + std::to_string(static_cast<int>(way)) + " answer " +
                                      (answer == BoxAnswer::Yes ? "yes" : "no");
            ASSERT_EQ(shown.size(), 1u) << label; // asked once, also where the tray close saves twice
            EXPECT_EQ(shown[0].text, "无法保存设置文件 " + kLocation +
                                         "：没有写入权限。原来的文件没有改动。要留在程序中，处理后再试一次吗？"
                                         "选“否”将不保存，直接退出。");
            EXPECT_EQ(shown[0].style, (BoxStyle{BoxIcon::Exclamation, BoxButtons::YesNo}));
            EXPECT_EQ(left(app), answer == BoxAnswer::No) << label;
            if (answer == BoxAnswer::Yes) {
                // The user fixes the cause and tries again: the save goes through.
                app.settingsStore.replaceFault.reset();
                leave(app, way);
                EXPECT_TRUE(left(app)) << label;
                EXPECT_EQ(app.settingsStore.file(), kUntouchedLine + kUntouchedLine + kUntouchedLine) << label;
                EXPECT_EQ(boxes(app).size(), 1u) << label;
            }
        }
    }
}

// The end of the session waits for nobody: a failed save is told on the way
// out (standard error, the event log), never with the stay-or-leave question,
// and what the user typed last is saved with the rest.
TEST(SettingsSave, TheEndOfTheSessionSavesWhatItCanAndNeverWaits)
{
    for (const bool fails : {false, true}) {
        HeadlessApp app;
        app.start();
        app.form.Combo2.userChoseItem(8);
        app.form.Text2.userTypedText("开会"); // still being typed
        app.form.Combo3.userTypedText("99");  // refused, quietly: nobody is there to see a box
        if (fails)
            app.settingsStore.replaceFault = StoreError{StoreErrorKind::ReadOnlyDisk, 30};
        app.form.systemEndedSession();
        app.form.systemEndedSession(); // a second signal changes nothing
        EXPECT_TRUE(app.form.isUnloaded()) << fails;
        EXPECT_TRUE(app.runtime.quit) << fails;
        EXPECT_TRUE(boxes(app).empty()) << fails;
        EXPECT_TRUE(app.trayIcon.calls.back().kind == headless::HeadlessTrayIcon::Call::Kind::Remove) << fails;
        if (fails) {
            EXPECT_EQ(app.runtime.toldWhileEnding,
                      (std::vector<std::string>{"无法保存设置文件 " + kLocation +
                                                "：所在的磁盘是只读的。原来的文件没有改动。"}));
            continue;
        }
        EXPECT_TRUE(app.runtime.toldWhileEnding.empty());
        EXPECT_EQ(app.settingsStore.file(),
                  "\"8\",\"\",\"\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n" + kUntouchedLine + kUntouchedLine);
    }
}

// The session can end while a box of the start-up is open: the program ends
// there, puts no icon into the tray on its way out and leaves time.txt as it is.
TEST(SettingsLoad, TheSessionEndingUnderTheLoadsBoxEndsTheStart)
{
    HeadlessApp app;
    const std::string file = "\"99\",\"0\",\"0\",\"5\",\"\"\r\n" + kUntouchedLine + kUntouchedLine;
    app.settingsStore.setFile(file);
    app.runtime.whileBoxOpen = [&](const Announcement&) {
        app.form.systemEndedSession();
        return BoxAnswer::Ok;
    };
    app.start();
    EXPECT_TRUE(app.form.isUnloaded());
    EXPECT_FALSE(app.trayIcon.added);
    EXPECT_FALSE(app.form.Visible());
    EXPECT_EQ(app.settingsStore.file(), file) << "left for the next start to report";
    EXPECT_EQ(app.settingsStore.backup(), std::nullopt);
}

// Another program (or the user in an editor) rewrote time.txt while Tindora
// ran: the next save keeps that version as time.txt.bak and says so once.
TEST(SettingsSave, AFileChangedByAnotherProgramIsKeptAsBakAndTold)
{
    HeadlessApp app;
    app.settingsStore.setFile(kMeeting + kUntouchedLine + kUntouchedLine);
    app.start();
    const std::string theirs = "\"9\",\"0\",\"0\",\"5\",\"theirs\"\r\n" + kUntouchedLine + kUntouchedLine;
    app.settingsStore.setFile(theirs);
    app.form.Combo7.userChoseItem(7); // a committed edit saves
    EXPECT_EQ(app.settingsStore.backup(), theirs);
    EXPECT_EQ(app.settingsStore.file(), kMeeting + "\"7\",\"\",\"\",\"5\",\"\"\r\n" + kUntouchedLine);
    const auto shown = boxes(app);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "设置文件 " + kLocation +
                  " 在 Tindora 运行时被其他程序改动过。改动后的那一份已另存为 C:\\Tindora\\time.txt.bak，" + kLocation +
                  " 中现在是窗口里的设置。");
    EXPECT_EQ(shown[0].style, BoxStyle{BoxIcon::Exclamation});

    // Once: the program's own saves that follow keep nothing and tell nothing.
    app.form.Combo6.userChoseItem(1);
    app.form.Command6.userPressed();
    EXPECT_EQ(boxes(app).size(), 1u);
    EXPECT_EQ(app.settingsStore.backup(), theirs);
}

// A save-failure message names the full path tried, the real reason and what
// became of the original file.
TEST(SettingsSave, ASaveFailureSaysWhatBecameOfTheOriginal)
{
    HeadlessApp app;
    app.settingsStore.setFile(kMeeting + kUntouchedLine + kUntouchedLine);
    app.start();
    // The folder is gone, and time.txt with it.
    app.settingsStore.files.clear();
    app.settingsStore.replaceFault = StoreError{StoreErrorKind::BadPath, 2, StoreFile::Pending};
    app.form.Combo2.userChoseItem(9);
    const auto shown = boxes(app);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "无法保存设置文件 " + kLocation +
                                 "：写入临时文件 C:\\Tindora\\time.txt.new 时出错：所在的文件夹不存在。"
                                 "原来的文件也不在了。");
}

TEST(SettingsSave, ASuccessfulWayOutAsksNothingAndTheTrayCloseWritesTwice)
{
    HeadlessApp app;
    app.start();
    app.form.mnuTrayClose.userChose();
    EXPECT_TRUE(app.form.isUnloaded());
    EXPECT_EQ(app.settingsStore.replaceCalls, 2);
    EXPECT_TRUE(boxes(app).empty());
}

// A codec that knows ASCII only, standing in for a system without GB18030.
class AsciiCodec : public settings::TextCodec {
public:
    settings::DecodedText decode(std::string_view bytes) const override
    {
        settings::DecodedText text;
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) {
                text.utf8.push_back(c);
                continue;
            }
            text.exact = false;
            text.utf8 += "\xEF\xBF\xBD";
        }
        return text;
    }
    settings::EncodedText encode(std::string_view utf8) const override
    {
        settings::EncodedText text;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                text.bytes.push_back(static_cast<char>(c));
                continue;
            }
            text.exact = false;
            text.bytes.push_back('?');
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
        return text;
    }
};

TEST(SettingsSave, CharactersTheSystemCannotStoreAreNotDroppedSilently)
{
    const AsciiCodec ascii;
    for (const bool leaving : {false, true}) {
        HeadlessApp app;
        app.settingsStore.setCodec(ascii);
        app.start();
        app.form.Text3.userTypedText("开会 at 9");
        app.form.Text5.userTypedText("é");
        app.runtime.whileBoxOpen = [](const Announcement&) { return BoxAnswer::Yes; };
        if (leaving)
            app.form.Command5.userPressed();
        else
            app.form.Command6.userPressed();
        const auto shown = boxes(app);
        ASSERT_EQ(shown.size(), 1u);
        const std::string told =
            "设置文件 " + kLocation +
            " 已保存，但时间2的提醒事件、时间3的提醒事件中有本系统无法保存的字符，文件里这些字符已换成“?”。";
        EXPECT_EQ(shown[0].text, leaving ? told + "要留在程序中修改吗？选“否”将直接退出。" : told);
        EXPECT_EQ(shown[0].style, (BoxStyle{BoxIcon::Exclamation, leaving ? BoxButtons::YesNo : BoxButtons::Ok}));
        EXPECT_EQ(app.settingsStore.file(),
                  kUntouchedLine + "\"\",\"\",\"\",\"5\",\"?? at 9\"\r\n\"\",\"\",\"\",\"5\",\"?\"\r\n");
        EXPECT_FALSE(app.runtime.ended); // Yes: stay and fix the note
    }
}

// One cause, one box: characters the file cannot hold are told about once,
// and again only when the field changes, at whatever save or way out.
TEST(SettingsSave, CharactersThatCannotBeStoredAreToldOncePerChange)
{
    const AsciiCodec ascii;
    HeadlessApp app;
    app.settingsStore.setCodec(ascii);
    app.start();
    app.runtime.whileBoxOpen = [](const Announcement&) { return BoxAnswer::Yes; };
    app.form.Text2.userTypedText("开会");
    for (int save = 0; save < 3; ++save) {
        app.form.Show();
        app.form.Command6.userPressed();
    }
    EXPECT_EQ(boxes(app).size(), 1u);
    app.form.Text2.userTypedText("开会2");
    app.form.Show();
    app.form.Command6.userPressed();
    EXPECT_EQ(boxes(app).size(), 2u);
    app.form.Command5.userPressed(); // nothing new to tell: no question, the program ends
    EXPECT_EQ(boxes(app).size(), 2u);
    EXPECT_TRUE(app.runtime.ended);
    EXPECT_TRUE(app.settingsStore.file()->starts_with("\"\",\"\",\"\",\"5\",\"??2\"")) << *app.settingsStore.file();

    // Bytes the load could not read were told about at the load: the saves
    // that write their replacements do not tell it again.
    HeadlessApp loaded;
    loaded.settingsStore.setCodec(ascii);
    loaded.settingsStore.setFile("\"8\",\"30\",\"0\",\"5\",\"caf\xE9\"\r\n" + kUntouchedLine + kUntouchedLine);
    loaded.start();
    ASSERT_EQ(boxes(loaded).size(), 1u);
    EXPECT_EQ(loaded.form.Text2.Text(), "caf\xEF\xBF\xBD");
    loaded.form.Command6.userPressed();
    loaded.form.Command5.userPressed();
    EXPECT_EQ(boxes(loaded).size(), 1u);
    EXPECT_TRUE(loaded.runtime.ended);
    EXPECT_TRUE(loaded.settingsStore.backup()->starts_with("\"8\",\"30\",\"0\",\"5\",\"caf\xE9\""))
        << *loaded.settingsStore.backup();
    EXPECT_TRUE(loaded.settingsStore.file()->starts_with("\"8\",\"30\",\"0\",\"5\",\"caf?\""))
        << *loaded.settingsStore.file();
}

} // namespace
} // namespace tindora
