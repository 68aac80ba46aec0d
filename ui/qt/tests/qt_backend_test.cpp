// The Qt backend's mapping, in a real window: what the user does to a widget
// reaches Form1 as the events a Windows form raises, what Form1 does shows on
// the widgets, the tray clicks reach the tray module, and the boxes carry
// the exact texts, titles and icons.
#include "box_on_screen.h"
#include "form1_window.h"
#include "memory_settings_store.h"
#include "qt_app.h"
#include "settings_file.h"
#include "time_format.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace tindora;
using namespace tindora::qt;

namespace {

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// Types into the focused widget: Latin text key by key, Chinese as an input
// method hands it over once a word is chosen.
void typeText(const QString& text)
{
    QWidget* focused = QApplication::focusWidget();
    if (text.toLatin1() == text.toUtf8()) {
        QTest::keyClicks(focused, text);
        return;
    }
    QInputMethodEvent chosen;
    chosen.setCommitString(text);
    QApplication::sendEvent(focused, &chosen);
}

// Counts an event while keeping Form1's own handler on it.
struct EventCounter {
    EventCounter(Event& event) : m_event(event), m_saved(event)
    {
        event = [this] {
            ++count;
            if (m_saved)
                m_saved();
        };
    }
    ~EventCounter() { m_event = m_saved; }
    int count = 0;

private:
    Event& m_event;
    Event m_saved;
};

} // namespace

class QtBackendTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QtApp> m_app;
    int m_ends = 0;

    template <typename T> T* widget(std::string_view name)
    {
        auto* found = m_app->window.findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
        if (!found)
            qFatal("no widget %s", std::string(name).c_str());
        return found;
    }

private Q_SLOTS:
    void init()
    {
        m_ends = 0;
        m_app = std::make_unique<QtApp>(std::make_unique<headless::MemorySettingsStore>());
        m_app->runtime.setEndAction([this] { ++m_ends; });
        m_app->start();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->window));
    }

    void cleanup() { m_app.reset(); }

    void windowFollowsTheTable()
    {
        QtApp& app = *m_app;
        QCOMPARE(app.window.windowTitle(), QStringLiteral("Tindora1.0"));
        QCOMPARE(app.window.size(), QSize(681, 110));
        QCOMPARE(app.window.minimumSize(), app.window.maximumSize());
        QCOMPARE(widget<QComboBox>("Combo7")->geometry(), QRect(48, 24, 41, 20));
        QCOMPARE(widget<QLineEdit>("Text2")->geometry(), QRect(368, 0, 305, 18));
        QCOMPARE(widget<QPushButton>("Command4")->text(), QStringLiteral("关    于"));
        QCOMPARE(widget<QPushButton>("Command6")->text(), QStringLiteral("最小化到托盘"));
        QCOMPARE(widget<QLabel>("Label3")->text(), QStringLiteral("分提醒，提醒事件："));
        QCOMPARE(widget<QCheckBox>("Check1")->isChecked(), true);
        QCOMPARE(widget<QCheckBox>("Check3")->isChecked(), false);
        QCOMPARE(widget<QLineEdit>("Text4")->text(), QStringLiteral("5"));
        // Filled by Form_Load, nothing selected yet.
        QCOMPARE(widget<QComboBox>("Combo11")->count(), 24);
        QCOMPARE(widget<QComboBox>("Combo9")->count(), 60);
        QCOMPARE(widget<QComboBox>("Combo2")->currentText(), QString());
        QVERIFY(!app.window.windowIcon().isNull());
    }

    void focusStartsInCombo2AndFollowsTheTabOrder()
    {
        m_app->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_app->window));
        QCOMPARE(QApplication::focusWidget(), widget<QComboBox>("Combo2"));

        widget<QLineEdit>("Text2")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), widget<QCheckBox>("Check1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), widget<QComboBox>("Combo7"));
        widget<QCheckBox>("Check3")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), widget<QPushButton>("Command4"));
    }

    void aPickRaisesClickOnceAndTypingRaisesNone()
    {
        Form1& form = m_app->form;
        QComboBox* combo = widget<QComboBox>("Combo3");
        EventCounter clicks(form.Combo3.Click);

        // The user picks 30 from the drop-down list.
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QModelIndex item = combo->model()->index(30, 0);
        list->scrollTo(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item).center());
        QCOMPARE(clicks.count, 1);
        QCOMPARE(form.Combo3.ListIndex(), 30);
        QCOMPARE(form.Combo3.Text(), "30");

        // The program selects 45: Click once, and the widget shows it.
        form.Combo3.setListIndex(45);
        QCOMPARE(clicks.count, 2);
        QCOMPARE(combo->currentText(), QStringLiteral("45"));

        // The user types: the text waits in the model, nothing takes effect.
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("07"));
        QCOMPARE(clicks.count, 2);
        QCOMPARE(form.Combo3.Text(), "45");
        QCOMPARE(form.Combo3.typedText().value_or(""), "07");
        // Enter commits it: the item it names is selected, Click once.
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(clicks.count, 3);
        QCOMPARE(form.Combo3.ListIndex(), 7);
        QCOMPARE(combo->currentText(), QStringLiteral("7"));

        // The keyboard's Down picks the next item: Click once more.
        combo->setCurrentIndex(10);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(clicks.count, 4);
        QCOMPARE(form.Combo3.ListIndex(), 11);
    }

    void textAndCheckBoxesFollowTheUser()
    {
        Form1& form = m_app->form;
        QLineEdit* lead = widget<QLineEdit>("Text1");
        EventCounter changes(form.Text1.Change);
        lead->selectAll();
        QTest::keyClicks(lead, QStringLiteral("10"));
        QCOMPARE(form.Text1.Text(), "5");
        QCOMPARE(changes.count, 0); // neither "1" nor "10" is in effect yet
        // Enter commits it.
        QTest::keyClick(lead, Qt::Key_Return);
        QCOMPARE(form.Text1.Text(), "10");
        QCOMPARE(changes.count, 1);

        form.Text1.setText("3");
        QCOMPARE(lead->text(), QStringLiteral("3"));
        QCOMPARE(changes.count, 2);

        QCheckBox* chime = widget<QCheckBox>("Check3");
        QTest::mouseClick(chime, Qt::LeftButton);
        QCOMPARE(form.Check3.Value(), CheckBox::kChecked);
        form.Check3.setValue(CheckBox::kUnchecked);
        QVERIFY(!chime->isChecked());
    }

    // The ways a user commits a field in a real window: Enter, Tab, a click
    // into another field. Until then the typed text waits and nothing is
    // saved, also while another window has the keyboard (a reminder's box,
    // another program); then the field shows, and the file holds, the value
    // in effect.
    void typedTextTakesEffectWhenCommitted_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("inEffect");
        struct Row {
            const char* name;
            const char* field;
            const char* typed;
            const char* commit;
            const char* inEffect;
        };
        static const Row rows[] = {
            {"minute, Enter", "Combo3", "07", "Enter", "7"},
            {"minute, Tab", "Combo3", "5.0", "Tab", "5"},
            {"minute, click", "Combo3", " 5", "click", "5"},
            {"minute as listed, Tab", "Combo3", "12", "Tab", "12"},
            {"lead, Enter", "Text1", "2.6", "Enter", "3"},
            {"lead, Tab", "Text1", "10", "Tab", "10"},
            {"lead, click", "Text1", "7", "click", "7"},
            {"note, Enter", "Text2", "开会", "Enter", "开会"},
            {"note, Tab", "Text2", "买菜", "Tab", "买菜"},
            {"note, click", "Text2", "取快递", "click", "取快递"},
            {"note, another window and back, Tab", "Text2", "寄信", "window", "寄信"},
            {"minute as listed, another window and back, Tab", "Combo3", "1", "window", "1"},
        };
        for (const Row& row : rows)
            QTest::newRow(row.name) << QString::fromUtf8(row.field) << QString::fromUtf8(row.typed)
                                    << QString::fromUtf8(row.commit) << QString::fromUtf8(row.inEffect);
    }

    void typedTextTakesEffectWhenCommitted()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, commit);
        QFETCH(QString, inEffect);
        Form1& form = m_app->form;
        auto& store = static_cast<headless::MemorySettingsStore&>(*m_app->settingsStore);
        m_app->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_app->window));
        QWidget* target = m_app->window.findChild<QWidget*>(field);
        QVERIFY(target);
        auto* combo = qobject_cast<QComboBox*>(target);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(target);
        // Slot 1's minute, lead or note: the model and its place in time.txt.
        const int fileField = combo ? 1 : field == QLatin1String("Text1") ? 3 : 4;
        const auto inEffectNow = [&]() -> std::string {
            return combo ? form.Combo3.Text() : fileField == 3 ? form.Text1.Text() : form.Text2.Text();
        };
        const auto typedNow = [&]() -> std::optional<std::string> {
            return combo ? form.Combo3.typedText() : fileField == 3 ? form.Text1.typedText() : form.Text2.typedText();
        };
        const std::string before = inEffectNow();
        EventCounter pickerClicks(form.Combo3.Click);

        // The user clicks into the field, selects what is there and types.
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeText(typed);
        QCOMPARE(edit->text(), typed);
        QCOMPARE(inEffectNow(), before);
        QCOMPARE(typedNow().value_or(""), typed.toStdString());
        const int savesBefore = store.replaceCalls;

        QWidget* elsewhere = widget<QLineEdit>("Text5");
        QWidget otherWindow;
        if (commit == QLatin1String("Enter")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (commit == QLatin1String("Tab")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } else if (commit == QLatin1String("click")) {
            QTest::mouseClick(elsewhere, Qt::LeftButton);
        } else {
            otherWindow.show();
            otherWindow.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&otherWindow));
            QCoreApplication::processEvents();
            QCOMPARE(typedNow().value_or(""), typed.toStdString());
            QCOMPARE(store.replaceCalls, savesBefore);
            // Back in the window, the user leaves the field with Tab.
            m_app->window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&m_app->window));
            QTRY_COMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Enter at once; a focus change once the focus has moved.
        if (commit == QLatin1String("Enter"))
            QVERIFY(!typedNow());
        QTRY_VERIFY(!typedNow());
        QCOMPARE(qs(inEffectNow()), inEffect);
        QCOMPARE(edit->text(), inEffect);
        if (combo) {
            QCOMPARE(combo->currentIndex(), inEffect.toInt());
            QCOMPARE(pickerClicks.count, 1);
        }
        // Saved at once.
        QVERIFY(store.replaceCalls > savesBefore);
        const settings::SettingsReading saved = settings::readSettings(store.file().value_or(""), store.codec());
        QVERIFY(saved.fields.size() > std::size_t(fileField));
        QCOMPARE(qs(saved.fields[std::size_t(fileField)].text), inEffect);
        // The focus went where the user sent it.
        if (commit == QLatin1String("Enter"))
            QCOMPARE(QApplication::focusWidget(), target);
        else if (commit == QLatin1String("click"))
            QCOMPARE(QApplication::focusWidget(), elsewhere);
        else
            QVERIFY(QApplication::focusWidget() != target);
    }

    // A picker's text that names no item is refused with one box, however it
    // was committed, and the picker shows the item in effect again.
    void aRefusedPickerTextIsPutBackWithItsBox_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("Tab") << "Tab";
        QTest::newRow("click") << "click";
    }

    void aRefusedPickerTextIsPutBackWithItsBox()
    {
        QFETCH(QString, commit);
        Form1& form = m_app->form;
        form.Combo3.setListIndex(45);
        m_app->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_app->window));
        QComboBox* combo = widget<QComboBox>("Combo3");
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("77"));
        EventCounter clicks(form.Combo3.Click);

        QStringList texts;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            // Closed as the user closes it: once it has the focus.
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                box && box->isVisible() && box->isActiveWindow()) {
                texts.append(box->text());
                box->close();
            }
        });
        closer.start(10);
        QLineEdit* elsewhere = widget<QLineEdit>("Text5");
        if (commit == QLatin1String("Enter"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (commit == QLatin1String("Tab"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        else
            QTest::mouseClick(elsewhere, Qt::LeftButton);
        QTRY_COMPARE(texts.size(), 1);
        QCOMPARE(texts[0], qs(describeSlotInputError(1, {SlotField::Minute, "77"})));
        QCOMPARE(combo->currentText(), QStringLiteral("45"));
        QCOMPARE(combo->currentIndex(), 45);
        QCOMPARE(form.Combo3.Text(), "45");
        QVERIFY(!form.Combo3.typedText());
        QCOMPARE(clicks.count, 0);
        // Only one box, also once the focus settles.
        // The focus is where the user sent it, in the window (which a window
        // manager activates again once the box closes; bare Xvfb has none).
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QWidget* focused = m_app->window.focusWidget();
        if (commit == QLatin1String("Enter"))
            QCOMPARE(focused, static_cast<QWidget*>(combo));
        else if (commit == QLatin1String("Tab"))
            QCOMPARE(focused, static_cast<QWidget*>(widget<QComboBox>("Combo4")));
        else
            QCOMPARE(focused, static_cast<QWidget*>(elsewhere));
        QCOMPARE(texts.size(), 1);
    }

    void trayClicksReachTheTrayModule()
    {
        QtApp& app = *m_app;
        QSystemTrayIcon& icon = app.trayIcon.icon();
        QCOMPARE(icon.toolTip(), QStringLiteral("Tindora"));
        QVERIFY(!icon.icon().isNull());

        // Left click: hidden, then shown.
        Q_EMIT icon.activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(!app.window.isVisible());
        QVERIFY(!app.form.Visible());
        Q_EMIT icon.activated(QSystemTrayIcon::Trigger);
        QTRY_VERIFY(app.window.isVisible());

        // Right click: mnuTray pops up with its one item; dismissed, nothing happens.
        QString shown;
        auto dismiss = std::make_shared<std::function<void()>>();
        *dismiss = [&shown, dismiss] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                QTimer::singleShot(10, *dismiss);
                return;
            }
            shown = menu->actions().value(0)->text() + QString::number(menu->actions().size());
            menu->close();
        };
        QTimer::singleShot(0, *dismiss);
        Q_EMIT icon.activated(QSystemTrayIcon::Context);
        QTRY_COMPARE(shown, QStringLiteral("关闭1"));
        QVERIFY(!app.form.isUnloaded());

        // Right click, "关闭": the window unloads and the program ends.
        auto choose = std::make_shared<std::function<void()>>();
        *choose = [choose] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                QTimer::singleShot(10, *choose);
                return;
            }
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        };
        QTimer::singleShot(0, *choose);
        Q_EMIT icon.activated(QSystemTrayIcon::Context);
        QTRY_VERIFY(app.form.isUnloaded());
        QTRY_COMPARE(m_ends, 1);
        QVERIFY(!app.window.isVisible());
        // The icon is gone: a click that still arrives does nothing.
        Q_EMIT icon.activated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(!app.window.isVisible());
        QVERIFY(!app.trayIcon.isShown());
    }

    void theCloseBoxUnloadsTheWindow()
    {
        m_app->window.close();
        QVERIFY(m_app->form.isUnloaded());
        QTRY_COMPARE(m_ends, 1);
    }

    void aboutBoxFromItsButton()
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QAbstractButton*> buttons;
        testing::onNextBox([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            buttons = box.buttons();
        });
        QTest::mouseClick(widget<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Tindora"));
        QCOMPARE(text, qs(Form1::aboutText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(text.count(QLatin1Char('\n')), 1);
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.value(0)->text(), QStringLiteral("确定")); // Qt's translation for zh_CN
        QVERIFY(!QApplication::activeModalWidget());
    }

    void boxesCarryTheirStyle_data()
    {
        QTest::addColumn<int>("boxIcon");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<bool>("yesNo");
        QTest::addColumn<int>("icon");
        QTest::newRow("fixed-time warning")
            << int(BoxIcon::Information) << true << false << int(QMessageBox::Information);
        QTest::newRow("due") << int(BoxIcon::Exclamation) << true << false << int(QMessageBox::Warning);
        QTest::newRow("error") << int(BoxIcon::Error) << false << false << int(QMessageBox::Critical);
        QTest::newRow("stay or leave") << int(BoxIcon::Exclamation) << false << true << int(QMessageBox::Warning);
    }

    void boxesCarryTheirStyle()
    {
        QFETCH(int, boxIcon);
        QFETCH(bool, onTop);
        QFETCH(bool, yesNo);
        QFETCH(int, icon);
        const BoxStyle style{static_cast<BoxIcon>(boxIcon), yesNo ? BoxButtons::YesNo : BoxButtons::Ok, onTop};
        // Announcements come while the window is in the tray too.
        m_app->form.Hide();
        QVERIFY(!m_app->window.isVisible());

        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        QString title, text;
        bool stayOnTop = false, visible = false, modal = false;
        int buttons = 0;
        testing::onNextBox([&](QMessageBox& box) {
            shownIcon = box.icon();
            title = box.windowTitle();
            text = box.text();
            stayOnTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            visible = box.isVisible();
            modal = box.windowModality() == Qt::ApplicationModal;
            buttons = int(box.buttons().size());
            if (yesNo)
                box.button(QMessageBox::No)->click();
        });
        const BoxAnswer result = m_app->runtime.messageBox("到时间了！\r\n开会", style, "固定报时！");
        QCOMPARE(int(shownIcon), icon);
        QCOMPARE(title, QStringLiteral("固定报时！"));
        QCOMPARE(text, QStringLiteral("到时间了！\n开会"));
        QCOMPARE(stayOnTop, onTop);
        QVERIFY(visible);
        QVERIFY(modal);
        QCOMPARE(buttons, yesNo ? 2 : 1);
        QVERIFY(result == (yesNo ? BoxAnswer::No : BoxAnswer::Ok));
    }

    // The wake-up is one timerfd on the wall clock, armed for the UTC instant
    // of the local one the tick driver plans, 20 ms into a second: it fires
    // then, reaches the tick driver and Timer1, is armed again at once, and
    // goes on while a box is open. The clock is moved to just before a second
    // and told, each time, so that no wake-up waits a real second.
    void ticksComeFromOneWallClockTimerAndGoOnUnderABox()
    {
        QtApp& app = *m_app;
        const WallClockTimer& timer = app.runtime.wakeUpTimer();
        QVERIFY2(timer.onWallClock(), "timerfd on CLOCK_REALTIME");
        // Every second ticks: no reminder is needed to see a tick.
        app.form.tickDriver().setPace(TickScheduler::Pace::EverySecond);
        QtRuntime::ClockShift shift;
        const auto utcOf = [&](LocalMillis local) {
            return local - (app.runtime.utcOffsetMillis() - shift.utcOffset) - shift.wall;
        };
        // 100 ms before the next second begins, told; returns that second.
        const auto justBeforeASecond = [&] {
            shift.wall += 900 - app.runtime.now() % 1000;
            app.runtime.shiftClocks(shift);
            const LocalSecond next = secondOf(app.runtime.now()) + 1;
            app.runtime.clockChanged();
            return next;
        };

        std::vector<LocalMillis> phases; // where in its second each wake-up lands
        std::vector<std::int64_t> armedAfter;
        app.runtime.setWakeUpHandler([&] {
            phases.push_back(app.runtime.now() % 1000);
            app.form.tickDriver().wakeUp();
            armedAfter.push_back(timer.isArmed() ? timer.armedFor() : 0);
        });
        std::vector<LocalSecond> judged;
        const Event tick = app.form.Timer1.TimerEvent;
        app.form.Timer1.TimerEvent = [&] {
            judged.push_back(app.form.clock().now());
            tick();
        };

        const LocalSecond first = justBeforeASecond();
        QVERIFY(timer.isArmed());
        QCOMPARE(timer.armedFor(), utcOf(first * 1000 + 20));
        QTRY_VERIFY(!judged.empty());
        QCOMPARE(judged.front(), first);
        QCOMPARE(armedAfter.front(), utcOf((first + 1) * 1000 + 20));

        // Under a box, in its own event loop: two wake-ups, each a tick.
        std::vector<LocalSecond> underBox, judgedWhileOpen;
        testing::onNextBox([&](QMessageBox&) {
            for (int i = 0; i < 2; ++i) {
                const std::size_t before = judged.size();
                underBox.push_back(justBeforeASecond());
                QTRY_VERIFY(judged.size() > before);
                judgedWhileOpen.push_back(judged.back());
            }
        });
        QTest::mouseClick(widget<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(judgedWhileOpen, underBox);
        QVERIFY(timer.isArmed());
        // Each wake-up lands just after a new second begins (about 20 ms in),
        // never at an arbitrary phase.
        QVERIFY(phases.size() >= 3);
        for (const LocalMillis phase : phases)
            QVERIFY2(phase >= 15 && phase < 250, qPrintable(QString::number(phase)));
    }

    // What the platform does to time reaches the runtime through its clock
    // seam (a clock set by hand moves the wall clock alone, a sleep the
    // monotonic clock too, a new zone the offset from UTC too), and once told
    // the wake-up is armed anew at once for 20 ms into the next second of the
    // clock as it now reads, where the next tick comes. What each jump
    // announces is the tick driver's business (TickDriver.*, TimeZoneChange.*).
    void aClockJumpReachesTheRuntimeAndArmsTheWakeUpAnew_data()
    {
        constexpr qint64 kMinute = 60 * 1000;
        QTest::addColumn<qint64>("wall");
        QTest::addColumn<qint64>("monotonic");
        QTest::addColumn<qint64>("utcOffset");
        QTest::newRow("set forward by hand") << 10 * kMinute << qint64(0) << qint64(0);
        QTest::newRow("set back by hand") << -kMinute << qint64(0) << qint64(0);
        QTest::newRow("asleep for ten minutes") << 10 * kMinute << 10 * kMinute << qint64(0);
        QTest::newRow("a new zone 5 h 45 min ahead") << 345 * kMinute << qint64(0) << 345 * kMinute;
    }

    void aClockJumpReachesTheRuntimeAndArmsTheWakeUpAnew()
    {
        QFETCH(qint64, wall);
        QFETCH(qint64, monotonic);
        QFETCH(qint64, utcOffset);
        QtApp& app = *m_app;
        const WallClockTimer& timer = app.runtime.wakeUpTimer();
        app.form.tickDriver().setPace(TickScheduler::Pace::EverySecond);
        std::vector<LocalSecond> judged;
        const Event tick = app.form.Timer1.TimerEvent;
        app.form.Timer1.TimerEvent = [&] {
            judged.push_back(app.form.clock().now());
            tick();
        };
        // 100 ms before a second begins, so that the wake-up planned anew
        // comes without a real second's wait.
        QtRuntime::ClockShift shift;
        shift.wall = 900 - app.runtime.now() % 1000;
        app.runtime.shiftClocks(shift);
        const LocalMillis wallBefore = app.runtime.now();
        const std::int64_t monotonicBefore = app.runtime.monotonicMillis();
        const std::int64_t offsetBefore = app.runtime.utcOffsetMillis();
        const std::int64_t armedBefore = timer.armedFor();

        shift.wall += wall;
        shift.monotonic += monotonic;
        shift.utcOffset += utcOffset;
        app.runtime.shiftClocks(shift);
        const LocalMillis wallAfter = app.runtime.now();
        QVERIFY2(qAbs(wallAfter - wallBefore - wall) < 1000, qPrintable(QString::number(wallAfter - wallBefore)));
        const std::int64_t monotonicMoved = app.runtime.monotonicMillis() - monotonicBefore;
        QVERIFY2(qAbs(monotonicMoved - monotonic) < 1000, qPrintable(QString::number(monotonicMoved)));
        QCOMPARE(app.runtime.utcOffsetMillis(), offsetBefore + utcOffset);
        QCOMPARE(timer.armedFor(), armedBefore); // nothing planned anew until told

        app.runtime.clockChanged();
        const LocalSecond next = secondOf(wallAfter) + 1;
        const std::int64_t realOffset = app.runtime.utcOffsetMillis() - shift.utcOffset;
        QVERIFY(timer.isArmed());
        QCOMPARE(timer.armedFor(), next * 1000 + 20 - realOffset - shift.wall);
        QTRY_VERIFY(!judged.empty());
        QCOMPARE(judged.front(), next);
    }

    void theCaretStopsBlinkingWhenIdleAndBlinksAgainOnInput()
    {
        CaretBlinkLimiter limiter(100);
        QVERIFY(limiter.blinking());
        QTRY_VERIFY(!limiter.blinking());
        QTest::keyClick(widget<QLineEdit>("Text2"), Qt::Key_A);
        QVERIFY(limiter.blinking());
        QTRY_VERIFY(!limiter.blinking());
        QTest::mouseClick(widget<QLineEdit>("Text3"), Qt::LeftButton);
        QVERIFY(limiter.blinking());
    }

    void timeOfDayInTheLocalesFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zh_CN") << "zh_CN"
                               << "8:05:09";
        QTest::newRow("en_US") << "en_US"
                               << "8:05:09 AM";
        QTest::newRow("de_DE") << "de_DE"
                               << "08:05:09";
    }

    void timeOfDayInTheLocalesFormat()
    {
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        const QLocale qlocale(locale);
        QCOMPARE(qlocale.toString(QTime(8, 5, 9), timeOfDayFormat(qlocale)), shown);
    }
};

int main(int argc, char* argv[])
{
    // The users' locale, whatever the machine's: Qt's texts then come in Chinese.
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QApplication app(argc, argv);
    configureApplication(app);
    QtBackendTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "qt_backend_test.moc"
