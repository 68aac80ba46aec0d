// The tray icon as a StatusNotifierItem, against a small watcher of the
// test's own on a private session bus (with-session-bus.sh): the menu the
// item names and what a tray reads from it, a choice in that menu reaching
// the tray menu's item, and what the tray module is told when the watcher
// takes the item, drops it, or never lists it.
#include "dbus_menu.h"
#include "qt_tray_icon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QPixmap>
#include <QTest>

#include <unistd.h>

using namespace tindora;
using namespace tindora::qt;

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");

QString itemService() { return QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid()); }

// The watcher side of the tray: takes registrations and lists the items as
// the watchers of the desktops name them.
class FakeWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    // How the watcher names an item in its list and signals: Plasma and
    // waybar by bus name and path, GNOME's extension by unique name, "@" and
    // path, or by the service's name (an item registered by that name, or
    // one it found on the bus by itself).
    enum class Naming { NameAndPath, UniqueNameAtPath, ItsService };
    // What it does with a registration.
    enum class Answer { Lists, NeverLists, Refuses };
    // One answer a registration, the last one for all that follow.
    using Answers = QList<Answer>;

    FakeWatcher(Naming naming, Answers answers)
        : m_naming(naming), m_answers(std::move(answers)),
          m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName()))
    {
    }
    ~FakeWatcher() override
    {
        m_bus.unregisterService(kWatcherService);
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool start()
    {
        return m_bus.registerObject(kWatcherPath, this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
               m_bus.registerService(kWatcherService);
    }
    QDBusConnection& bus() { return m_bus; }
    void setAnswers(Answers answers) { m_answers = std::move(answers); }

    // Forgets an item and says so, as GNOME's extension does with an item
    // it cannot show.
    void drop(const QString& id)
    {
        m_items.removeAll(id);
        emitSignal(QStringLiteral("StatusNotifierItemUnregistered"), {id});
    }
    // A tray tells the watcher (again) that it shows items.
    void announceHost() { emitSignal(QStringLiteral("StatusNotifierHostRegistered"), {}); }

    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    int registrations = 0;
    QString registeredWith;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& serviceOrPath)
    {
        ++registrations;
        registeredWith = serviceOrPath;
        const Answer answer = m_answers.size() > 1 ? m_answers.takeFirst() : m_answers.value(0);
        if (answer == Answer::Refuses) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("the item is not to the tray's liking"));
            return;
        }
        if (answer == Answer::NeverLists)
            return;
        // A path comes with the sender's bus name, a name with the usual path.
        const bool byPath = serviceOrPath.startsWith('/');
        const QString name = byPath ? message().service() : serviceOrPath;
        const QString path = byPath ? serviceOrPath : kItemPath;
        const QString id = m_naming == Naming::NameAndPath        ? name + path
                           : m_naming == Naming::UniqueNameAtPath ? message().service() + '@' + path
                                                                  : itemService();
        m_items.append(id);
        emitSignal(QStringLiteral("StatusNotifierItemRegistered"), {id});
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    static QString connectionName()
    {
        static int count = 0;
        return QStringLiteral("fake-watcher-%1").arg(++count);
    }
    void emitSignal(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kWatcherPath, QStringLiteral("org.kde.StatusNotifierWatcher"),
                                                         name);
        signal.setArguments(arguments);
        m_bus.send(signal);
    }

    Naming m_naming;
    Answers m_answers;
    QDBusConnection m_bus;
    QStringList m_items;
};

// What the tray module would hear.
struct Listener : IconEventListener {
    QList<IconEvent> events;
    bool iconEvent(IconEvent event) override
    {
        events.append(event);
        return false;
    }
};

// mnuTray as Form1 has it, with a Click that counts.
struct TrayMenu {
    Menu menu{{"mnuTray", 0, 0, 0, 0, "右键菜单"}};
    MenuItem close{{"mnuTrayClose", 0, 0, 0, 0, "关闭"}};
    int closes = 0;
    TrayMenu()
    {
        menu.addItem(close);
        close.Click = [this] { ++closes; };
    }
};

QIcon testIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkCyan);
    return QIcon(pixmap);
}

// A call answered on the event loop (the item is served by this thread).
QDBusMessage callOn(QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
                    const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(itemService(), path, interface, method);
    call.setArguments(arguments);
    QDBusPendingCall pending = bus.asyncCall(call);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000))
        return QDBusMessage::createError(QDBusError::Timeout, QStringLiteral("no answer"));
    return pending.reply();
}

QDBusMessage callMenu(const QString& method, const QVariantList& arguments)
{
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    return callOn(client, QStringLiteral("/MenuBar"), kMenuInterface, method, arguments);
}

QVariantMap allProperties(const QString& path, const QString& interface)
{
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
    const QDBusMessage reply = callOn(client, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                      QStringLiteral("GetAll"), {interface});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().value(0));
}

template <typename T> T firstArgument(const QDBusMessage& reply) { return qdbus_cast<T>(reply.arguments().value(0)); }

// "id{name=value,…}[children]", properties sorted by name.
QString describe(const QVariantMap& properties)
{
    QStringList parts;
    for (auto it = properties.begin(); it != properties.end(); ++it)
        parts.append(it.key() + '=' + it.value().toString());
    return '{' + parts.join(',') + '}';
}

QString describe(const DBusMenuLayout& layout)
{
    QString text = QString::number(layout.id) + describe(layout.properties);
    if (!layout.children.isEmpty()) {
        QStringList children;
        for (const DBusMenuLayout& child : layout.children)
            children.append(describe(child));
        text += '[' + children.join(',') + ']';
    }
    return text;
}

bool itemOnBus() { return QDBusConnection::sessionBus().interface()->isServiceRegistered(itemService()).value(); }

DBusMenuEvent menuEvent(int id, const QString& eventId) { return {id, eventId, QDBusVariant(0), 0}; }

} // namespace

Q_DECLARE_METATYPE(FakeWatcher::Naming)
Q_DECLARE_METATYPE(FakeWatcher::Answers)

class StatusNotifierTrayTest : public QObject {
    Q_OBJECT

    // The icon shown, with the tray menu, in a tray whose watcher takes it.
    struct Shown {
        FakeWatcher watcher{FakeWatcher::Naming::UniqueNameAtPath, {FakeWatcher::Answer::Lists}};
        QtTrayIcon icon{testIcon()};
        TrayMenu menu;
        Listener listener;
    };

    static bool show(Shown& shown)
    {
        if (!shown.watcher.start())
            return false;
        shown.icon.setListener(&shown.listener);
        shown.icon.setMenu(shown.menu.menu);
        shown.icon.show("Tindora");
        return QTest::qWaitFor([&] { return shown.icon.isShown(); }, 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerDBusMenuTypes();
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run under with-session-bus.sh");
    }

    // GNOME's extension drops an item without a Menu property; the menu it
    // names is there, and says what it is.
    void theItemNamesItsMenu()
    {
        Shown shown;
        QVERIFY(show(shown));
        const QVariantMap item = allProperties(kItemPath, QStringLiteral("org.kde.StatusNotifierItem"));
        QCOMPARE(item.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));
        QCOMPARE(item.value(QStringLiteral("Id")).toString(), QStringLiteral("tindora"));
        QCOMPARE(item.value(QStringLiteral("ItemIsMenu")).toBool(), false);

        const QVariantMap menu = allProperties(QStringLiteral("/MenuBar"), kMenuInterface);
        QCOMPARE(menu.value(QStringLiteral("Version")).toUInt(), 3u);
        QCOMPARE(menu.value(QStringLiteral("TextDirection")).toString(), QStringLiteral("ltr"));
        QCOMPARE(menu.value(QStringLiteral("Status")).toString(), QStringLiteral("normal"));
        QVERIFY(menu.contains(QStringLiteral("IconThemePath")));
        QCOMPARE(qdbus_cast<QStringList>(menu.value(QStringLiteral("IconThemePath"))), QStringList());
    }

    void menuLayout_data()
    {
        QTest::addColumn<int>("parentId");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("layout");
        const QString item = QStringLiteral("1{enabled=true,label=关闭,visible=true}");
        QTest::newRow("the whole menu") << 0 << -1 << QStringList() << "0{children-display=submenu}[" + item + ']';
        QTest::newRow("one level") << 0 << 1 << QStringList() << "0{children-display=submenu}[" + item + ']';
        QTest::newRow("the root alone") << 0 << 0 << QStringList() << QStringLiteral("0{children-display=submenu}");
        QTest::newRow("labels only") << 0 << -1 << QStringList{QStringLiteral("label")}
                                     << QStringLiteral("0{}[1{label=关闭}]");
        QTest::newRow("the item") << 1 << -1 << QStringList() << item;
    }

    // What trays read first (GetLayout), as GNOME's extension, Plasma and
    // waybar ask for it.
    void menuLayout()
    {
        QFETCH(int, parentId);
        QFETCH(int, depth);
        QFETCH(QStringList, names);
        QFETCH(QString, layout);
        Shown shown;
        QVERIFY(show(shown));
        const QDBusMessage reply = callMenu(QStringLiteral("GetLayout"), {parentId, depth, names});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(reply.signature(), QStringLiteral("u(ia{sv}av)"));
        QCOMPARE(describe(qdbus_cast<DBusMenuLayout>(reply.arguments().value(1))), layout);
    }

    // What trays read after the layout (GNOME's extension reads the items'
    // properties in a group) and before they open the menu.
    void menuProperties()
    {
        Shown shown;
        QVERIFY(show(shown));
        const auto group = [](const QList<int>& ids, const QStringList& names) {
            QStringList found;
            for (const DBusMenuItemProperties& item : firstArgument<DBusMenuItemPropertiesList>(
                     callMenu(QStringLiteral("GetGroupProperties"), {QVariant::fromValue(ids), names})))
                found.append(QString::number(item.id) + describe(item.properties));
            return found.join(' ');
        };
        QCOMPARE(group({1}, {}), QStringLiteral("1{enabled=true,label=关闭,visible=true}"));
        QCOMPARE(group({}, {QStringLiteral("label")}), QStringLiteral("0{} 1{label=关闭}"));
        QCOMPARE(group({9, 1}, {QStringLiteral("label")}), QStringLiteral("1{label=关闭}"));
        QCOMPARE(firstArgument<QDBusVariant>(callMenu(QStringLiteral("GetProperty"), {1, QStringLiteral("label")}))
                     .variant()
                     .toString(),
                 QStringLiteral("关闭"));

        QDBusMessage reply = callMenu(QStringLiteral("AboutToShow"), {0});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(reply.arguments().value(0).toBool(), false);
        reply = callMenu(QStringLiteral("AboutToShowGroup"), {QVariant::fromValue(QList<int>{0, 1, 9})});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(qdbus_cast<QList<int>>(reply.arguments().value(0)), QList<int>());
        QCOMPARE(qdbus_cast<QList<int>>(reply.arguments().value(1)), QList<int>{9});
    }

    void menuRefusesItemsItDoesNotHave_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::newRow("GetLayout") << "GetLayout" << QVariantList{2, -1, QStringList()};
        QTest::newRow("GetProperty") << "GetProperty" << QVariantList{2, QStringLiteral("label")};
        QTest::newRow("a property it lacks") << "GetProperty" << QVariantList{1, QStringLiteral("icon-name")};
        QTest::newRow("Event") << "Event"
                               << QVariantList{-1, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u};
        QTest::newRow("AboutToShow") << "AboutToShow" << QVariantList{2};
    }

    void menuRefusesItemsItDoesNotHave()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        Shown shown;
        QVERIFY(show(shown));
        const QDBusMessage reply = callMenu(method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    }

    void menuEvents_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<int>("closes");
        const auto event = [](int id, const char* eventId) {
            return QVariantList{id, QString::fromLatin1(eventId), QVariant::fromValue(QDBusVariant(0)), 0u};
        };
        const auto group = [](const DBusMenuEventList& events) { return QVariantList{QVariant::fromValue(events)}; };
        QTest::newRow("关闭 clicked") << "Event" << event(1, "clicked") << 1;
        QTest::newRow("关闭 hovered") << "Event" << event(1, "hovered") << 0;
        QTest::newRow("the menu opened") << "Event" << event(0, "opened") << 0;
        QTest::newRow("the root clicked") << "Event" << event(0, "clicked") << 0;
        QTest::newRow("opened and clicked at once")
            << "EventGroup" << group({menuEvent(0, "opened"), menuEvent(1, "clicked")}) << 1;
        QTest::newRow("a group with an unknown id")
            << "EventGroup" << group({menuEvent(9, "clicked"), menuEvent(1, "clicked")}) << 1;
    }

    // A choice in the menu the tray draws runs mnuTrayClose's Click, as a
    // choice in the popup menu does; nothing else the tray sends does.
    void menuEvents()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(int, closes);
        Shown shown;
        QVERIFY(show(shown));
        const QDBusMessage reply = callMenu(method, arguments);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
        // The clicks run in the order the tray sent them: one more, and the
        // count then tells what the first call did.
        callMenu(QStringLiteral("Event"), {1, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        QTRY_COMPARE(shown.menu.closes, closes + 1);
        QCOMPARE(shown.listener.events, QList<IconEvent>{IconEvent::ShellRestarted});
    }

    void watcherDropsTheItem_data()
    {
        QTest::addColumn<FakeWatcher::Naming>("naming");
        QTest::newRow("by name and path (Plasma, waybar)") << FakeWatcher::Naming::NameAndPath;
        QTest::newRow("by unique name @ path (GNOME)") << FakeWatcher::Naming::UniqueNameAtPath;
        QTest::newRow("by its service (GNOME, found on the bus)") << FakeWatcher::Naming::ItsService;
    }

    // The tray lists the icon: shown. It drops it: TrayGone, so that the
    // tray module brings a hidden window back, and the item leaves the bus.
    // The item tries once more a moment later (GNOME's extension drops an
    // item it shows at the next attempt now and then): ShellRestarted. A
    // second drop: gone until a tray announces itself.
    void watcherDropsTheItem()
    {
        QFETCH(FakeWatcher::Naming, naming);
        FakeWatcher watcher(naming, {FakeWatcher::Answer::Lists});
        QVERIFY(watcher.start());
        QtTrayIcon icon(testIcon());
        Listener listener;
        icon.setListener(&listener);
        icon.show("Tindora");
        QTRY_VERIFY(icon.isShown());
        QCOMPARE(listener.events, QList<IconEvent>{IconEvent::ShellRestarted});
        QCOMPARE(watcher.registeredItems().size(), 1);
        // By path: GNOME's extension drops an item registered by its
        // service's name now and then.
        QCOMPARE(watcher.registeredWith, kItemPath);

        // Another item dropped: ours stays. The watcher's next call reaches
        // the item after the signal.
        TrayMenu menu;
        icon.setMenu(menu.menu);
        watcher.drop(QStringLiteral("org.kde.StatusNotifierItem-1-1/StatusNotifierItem"));
        QDBusConnection watcherBus = watcher.bus();
        callOn(watcherBus, QStringLiteral("/MenuBar"), kMenuInterface, QStringLiteral("Event"),
               {1, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        QTRY_COMPARE(menu.closes, 1);
        QVERIFY(icon.isShown());

        watcher.drop(watcher.registeredItems().value(0));
        QTRY_COMPARE(listener.events, (QList<IconEvent>{IconEvent::ShellRestarted, IconEvent::TrayGone}));
        QVERIFY(!icon.isShown());
        QVERIFY(!itemOnBus());
        QTRY_VERIFY(icon.isShown());
        QCOMPARE(watcher.registrations, 2);

        watcher.drop(watcher.registeredItems().value(0));
        QTRY_VERIFY(!itemOnBus());
        QVERIFY(!icon.isShown());
        watcher.announceHost();
        QTRY_VERIFY(icon.isShown());
        QCOMPARE(watcher.registrations, 3);
        QCOMPARE(listener.events,
                 (QList<IconEvent>{IconEvent::ShellRestarted, IconEvent::TrayGone, IconEvent::ShellRestarted,
                                   IconEvent::TrayGone, IconEvent::ShellRestarted}));
    }

    void trayThatDoesNotTakeTheIcon_data()
    {
        using A = FakeWatcher::Answer;
        QTest::addColumn<FakeWatcher::Answers>("answers");
        QTest::newRow("registration refused") << FakeWatcher::Answers{A::Refuses};
        QTest::newRow("registered, never listed") << FakeWatcher::Answers{A::NeverLists};
        QTest::newRow("refused once") << FakeWatcher::Answers{A::Refuses, A::Lists};
        QTest::newRow("not listed once") << FakeWatcher::Answers{A::NeverLists, A::Lists};
    }

    // A watcher that does not list the icon is no tray: show() stays false
    // (so the window is minimized, never hidden) and the item leaves the
    // bus. The item tries once more a moment later, and again when a tray
    // announces itself.
    void trayThatDoesNotTakeTheIcon()
    {
        QFETCH(FakeWatcher::Answers, answers);
        const bool takenAtLast = answers.size() > 1;
        FakeWatcher watcher(FakeWatcher::Naming::NameAndPath, answers);
        QVERIFY(watcher.start());
        QtTrayIcon icon(testIcon());
        Listener listener;
        icon.setListener(&listener);
        QVERIFY(!icon.show("Tindora"));
        QTRY_COMPARE(watcher.registrations, 1);
        QTRY_VERIFY(!itemOnBus());
        QVERIFY(!icon.isShown());
        QVERIFY(!icon.show("Tindora"));
        QCOMPARE(listener.events, QList<IconEvent>());

        QTRY_COMPARE(watcher.registrations, 2);
        if (takenAtLast) {
            QTRY_VERIFY(icon.isShown());
            QCOMPARE(listener.events, QList<IconEvent>{IconEvent::ShellRestarted});
            return;
        }
        QTRY_VERIFY(!itemOnBus());
        QVERIFY(!icon.isShown());
        QCOMPARE(listener.events, QList<IconEvent>());

        watcher.setAnswers({FakeWatcher::Answer::Lists});
        watcher.announceHost();
        QTRY_VERIFY(icon.isShown());
        QCOMPARE(watcher.registrations, 3);
        QCOMPARE(listener.events, QList<IconEvent>{IconEvent::ShellRestarted});
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StatusNotifierTrayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "status_notifier_tray_test.moc"
