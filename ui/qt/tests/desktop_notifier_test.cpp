// The announcements' desktop notifications, against a small notification
// server of our own on a private session bus (with-session-bus.sh): which box
// posts what, withdrawn when the box closes, the default action bringing the
// box forward, and the box alone when the server is missing, fails or is
// slow.
#include "box_on_screen.h"
#include "announcements.h"
#include "desktop_notifier.h"
#include "qt_runtime.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace tindora;
using namespace tindora::qt;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

struct NotifyCall {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
};

// The server side of org.freedesktop.Notifications, recording every call.
class FakeServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    enum class Mode { Answers, Fails, AnswersLater };

    explicit FakeServer(Mode mode)
        : m_mode(mode), m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName()))
    {
    }
    ~FakeServer() override
    {
        m_bus.unregisterService(kService);
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool start()
    {
        return m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) && m_bus.registerService(kService);
    }

    // Answers the Notify calls held back (AnswersLater).
    void answerNow()
    {
        for (const QDBusMessage& call : m_held)
            m_bus.send(call.createReply(++m_lastId));
        m_held.clear();
    }
    void emitSignal(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
        signal.setArguments(arguments);
        m_bus.send(signal);
    }

    QList<NotifyCall> notified;
    QList<uint> closed;
    int pings = 0;
    uint lastId() const { return m_lastId; }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        notified.append({appName, replacesId, appIcon, summary, body, actions, hints, timeout});
        if (m_mode == Mode::Fails) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("the server is out of order"));
            return 0;
        }
        if (m_mode == Mode::AnswersLater) {
            setDelayedReply(true);
            m_held.append(message());
            return 0;
        }
        return ++m_lastId;
    }
    void CloseNotification(uint id) { closed.append(id); }
    // Not a part of the protocol we use: a call that the client under test
    // never makes, so a test can wait for its answer to know that every
    // earlier call has arrived.
    int Ping() { return ++pings; }

private:
    static QString connectionName()
    {
        static int count = 0;
        return QStringLiteral("fake-notification-server-%1").arg(++count);
    }

    Mode m_mode;
    QDBusConnection m_bus;
    QList<QDBusMessage> m_held;
    uint m_lastId = 40;
};

// The user goes on to another program: the keyboard focus leaves our windows
// (for the X server's root window, as no window manager runs here).
void focusElsewhere(QWidget& ours)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, root, XCB_CURRENT_TIME);
    // The X server ignores a later focus request stamped earlier than this
    // change, and Qt stamps its requests with the last event it saw: a
    // property touched on our window brings Qt a newer time, as the user's
    // next input would.
    const char name[] = "_TINDORA_TEST_CLOCK";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    QVERIFY(atom);
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(ours.winId()), atom->atom, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    std::free(atom);
    xcb_flush(connection);
}

// Waits until the server has seen every call the client sent before.
bool roundTrip(FakeServer& server)
{
    const int before = server.pings;
    QDBusMessage ping = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Ping"));
    QDBusConnection::sessionBus().asyncCall(ping);
    return QTest::qWaitFor([&] { return server.pings > before; }, 10000);
}

// Standard error, caught in a file while it lives.
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture()
    {
        restore();
        std::fclose(m_file);
    }
    QStringList lines()
    {
        restore();
        std::rewind(m_file);
        QByteArray all;
        char buffer[512];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, m_file))
            all.append(buffer, qsizetype(n));
        return QString::fromUtf8(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    std::FILE* m_file;
    int m_saved = -1;
};

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<QtRuntime> m_runtime;

    void showBox(const std::string& text, BoxStyle style, std::string_view title,
                 std::function<void(QMessageBox&)> whileOpen)
    {
        testing::onNextBox(std::move(whileOpen), false);
        m_runtime->messageBox(text, style, title);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under with-session-bus.sh");
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(kService));
    }

    void init()
    {
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(QColor(10, 20, 30, 255));
        m_notifier = std::make_unique<DesktopNotifier>(QDBusConnection::sessionBus(), icon);
        m_runtime = std::make_unique<QtRuntime>(PcmClip{});
        m_runtime->setNotifier(m_notifier.get());
    }

    void cleanup()
    {
        m_runtime.reset();
        m_notifier.reset();
    }

    void everyAnnouncementIsPostedAndWithdrawnWithItsBox_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("posted");
        QTest::addColumn<int>("urgency");
        QTest::addColumn<int>("timeout");
        // 2 critical, never expires; 1 normal, as long as the server likes.
        QTest::newRow("warning ahead") << 0 << true << 2 << 0;
        QTest::newRow("due") << 1 << true << 2 << 0;
        QTest::newRow("missed while asleep") << 2 << true << 2 << 0;
        QTest::newRow("hourly chime") << 3 << true << 1 << -1;
        QTest::newRow("about box") << 4 << false << 0 << 0;
    }

    void everyAnnouncementIsPostedAndWithdrawnWithItsBox()
    {
        QFETCH(int, which);
        QFETCH(bool, posted);
        QFETCH(int, urgency);
        QFETCH(int, timeout);
        namespace a = announcement;
        struct Box {
            std::string text;
            BoxStyle style;
            std::string_view title;
        };
        const Box boxes[] = {
            {a::preWarningText("8:30:00", 5, "开会"), a::kPreWarningStyle, a::kFixedTimeTitle},
            {a::dueText("8:30:00", "开会"), a::kDueStyle, a::kFixedTimeTitle},
            {a::missedText({{1, "8:30:00", "开会", 2}}), a::kMissedStyle, a::kMissedTitle},
            {a::hourlyText(14), a::kHourlyStyle, a::kHourlyTitle},
            {"Tindora，关于", BoxStyle{}, "关于"},
        };
        const Box& box = boxes[which];
        FakeServer server(FakeServer::Mode::Answers);
        QVERIFY(server.start());

        bool seenWhileOpen = false;
        showBox(box.text, box.style, box.title, [&](QMessageBox& shown) {
            seenWhileOpen = posted ? QTest::qWaitFor([&] { return !server.notified.isEmpty(); }, 10000)
                                   : roundTrip(server) && server.notified.isEmpty();
            QVERIFY(server.closed.isEmpty());
            shown.close();
        });
        QVERIFY2(seenWhileOpen, "posted once the box was up, and not withdrawn before it closed");
        QVERIFY(roundTrip(server));
        if (!posted) {
            QVERIFY(server.notified.isEmpty());
            QVERIFY(server.closed.isEmpty());
            return;
        }
        QCOMPARE(server.notified.size(), 1);
        const NotifyCall& call = server.notified.first();
        QCOMPARE(call.appName, QStringLiteral("Tindora"));
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.appIcon, QStringLiteral("tindora"));
        QCOMPARE(call.summary, QString::fromUtf8(box.title.data(), qsizetype(box.title.size())));
        // The box's own text, with Qt's line breaks.
        QCOMPARE(call.body, QString::fromStdString(box.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(call.actions, (QStringList{QStringLiteral("default"), QStringLiteral("查看")}));
        QCOMPARE(call.timeout, timeout);
        QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")), QVariant(QStringLiteral("tindora")));
        QCOMPARE(call.hints.value(QStringLiteral("suppress-sound")), QVariant(true));
        const QVariant urgencyHint = call.hints.value(QStringLiteral("urgency"));
        QCOMPARE(urgencyHint.metaType(), QMetaType::fromType<uchar>()); // a byte, as the protocol says
        QCOMPARE(urgencyHint.toInt(), urgency);
        const auto image = qvariant_cast<QDBusArgument>(call.hints.value(QStringLiteral("image-data")));
        QCOMPARE(image.currentSignature(), QStringLiteral("(iiibiiay)"));
        QCOMPARE(call.hints.size(), 4);
        // Withdrawn once the box closed, by the id the server gave.
        QTRY_COMPARE_WITH_TIMEOUT(server.closed, QList<uint>{server.lastId()}, 10000);
        QCOMPARE(m_notifier->openCount(), 0u);
    }

    void aBoxClosedBeforeTheServerAnswersIsWithdrawnOnceNamed()
    {
        FakeServer server(FakeServer::Mode::AnswersLater);
        QVERIFY(server.start());
        showBox(announcement::dueText("9:00:00", ""), announcement::kDueStyle, announcement::kFixedTimeTitle,
                [&](QMessageBox& shown) {
                    QVERIFY(QTest::qWaitFor([&] { return !server.notified.isEmpty(); }, 10000));
                    shown.close();
                });
        // The box is gone although the server has not answered yet.
        QVERIFY(roundTrip(server));
        QVERIFY(server.closed.isEmpty());
        server.answerNow();
        QTRY_COMPARE_WITH_TIMEOUT(server.closed, QList<uint>{server.lastId()}, 10000);
        QCOMPARE(m_notifier->openCount(), 0u);
    }

    void aNotificationDismissedOnItsOwnLeavesTheBox()
    {
        FakeServer server(FakeServer::Mode::Answers);
        QVERIFY(server.start());
        bool stillOpen = false;
        showBox(announcement::hourlyText(9), announcement::kHourlyStyle, announcement::kHourlyTitle,
                [&](QMessageBox& shown) {
                    QVERIFY(QTest::qWaitFor([&] { return !server.notified.isEmpty(); }, 10000));
                    QVERIFY(QTest::qWaitFor([&] { return m_notifier->openCount() == 1; }, 10000));
                    // Expired (1) on the server.
                    server.emitSignal(QStringLiteral("NotificationClosed"), {server.lastId(), 1u});
                    QVERIFY(QTest::qWaitFor([&] { return m_notifier->openCount() == 0; }, 10000));
                    stillOpen = shown.isVisible();
                    shown.close();
                });
        QVERIFY2(stillOpen, "the box stays when its notification goes");
        QVERIFY(roundTrip(server));
        QVERIFY2(server.closed.isEmpty(), "nothing to withdraw any more");
    }

    void theDefaultActionBringsTheBoxForward()
    {
        FakeServer server(FakeServer::Mode::Answers);
        QVERIFY(server.start());
        bool forward = false;
        QByteArray token;
        showBox(
            announcement::dueText("9:00:00", "开会"), announcement::kDueStyle, announcement::kFixedTimeTitle,
            [&](QMessageBox& shown) {
                QVERIFY(QTest::qWaitFor([&] { return m_notifier->openCount() == 1; }, 10000));
                QVERIFY(QTest::qWaitFor([&] { return !server.notified.isEmpty(); }, 10000));
                QVERIFY(QTest::qWaitForWindowActive(&shown));
                focusElsewhere(shown);
                QVERIFY(QTest::qWaitFor([&] { return !shown.isActiveWindow(); }, 10000));
                // Another notification's action, and another action of ours: nothing.
                server.emitSignal(QStringLiteral("ActionInvoked"), {server.lastId() + 7, QStringLiteral("default")});
                server.emitSignal(QStringLiteral("ActionInvoked"), {server.lastId(), QStringLiteral("other")});
                QVERIFY(roundTrip(server));
                QTest::qWait(200); // time for a wrong activation to show
                QVERIFY(!shown.isActiveWindow());
                server.emitSignal(QStringLiteral("ActivationToken"), {server.lastId(), QStringLiteral("tok-1")});
                server.emitSignal(QStringLiteral("ActionInvoked"), {server.lastId(), QStringLiteral("default")});
                forward = QTest::qWaitFor([&] { return shown.isActiveWindow(); }, 10000);
                token = qgetenv("XDG_ACTIVATION_TOKEN");
                shown.close();
            });
        QVERIFY2(forward, "the box came forward");
        QCOMPARE(token, QByteArray("tok-1"));
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }

    void noServerOrAFailingOneLeavesTheBoxAloneWithOneLine_data()
    {
        QTest::addColumn<bool>("serverThere");
        QTest::newRow("no server") << false;
        QTest::newRow("a server that fails") << true;
    }

    void noServerOrAFailingOneLeavesTheBoxAloneWithOneLine()
    {
        QFETCH(bool, serverThere);
        std::unique_ptr<FakeServer> server;
        if (serverThere) {
            server = std::make_unique<FakeServer>(FakeServer::Mode::Fails);
            QVERIFY(server->start());
        }
        StderrCapture capture;
        for (int hour : {9, 10}) {
            bool shown = false;
            showBox(announcement::hourlyText(hour), announcement::kHourlyStyle, announcement::kHourlyTitle,
                    [&](QMessageBox& box) {
                        shown = true;
                        box.close();
                    });
            QVERIFY(shown);
        }
        QVERIFY(QTest::qWaitFor([&] { return m_notifier->openCount() == 0; }, 10000));
        const QStringList lines = capture.lines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("tindora: no desktop notification, only the box")),
                 qPrintable(lines.first()));
    }
};

QTEST_MAIN(DesktopNotifierTest)
#include "desktop_notifier_test.moc"
