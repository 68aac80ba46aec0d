#include "qt_runtime.h"

#include "backend_support.h"
#include "desktop_notifier.h"
#include "time_format.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTime>

#include <cstdio>
#include <ctime>

namespace tindora::qt {
namespace {

QMessageBox::Icon iconOf(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Exclamation:
        return QMessageBox::Warning;
    case BoxIcon::Error:
        break;
    }
    return QMessageBox::Critical;
}

} // namespace

QtRuntime::QtRuntime(PcmClip clip)
    // One single-shot timer armed for the instant the tick scheduler names: an
    // interval timer keeps an arbitrary phase within the second and drifts.
    : m_wakeUp([this] { wakeUpFired(); }, [this] { clockChanged(); }), m_zoneWatcher([this] { clockChanged(); }),
      m_player(clip), m_clipMillis(clip.durationMillis())
{
    m_releaseSound.setSingleShot(true);
    QObject::connect(&m_releaseSound, &QTimer::timeout, [this] {
        if (!m_player.releaseIfDone())
            m_releaseSound.start(500);
    });
}

QtRuntime::~QtRuntime() = default;

LocalMillis QtRuntime::now()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_offsetAtNow = std::int64_t{now.offsetFromUtc()} * 1000;
    return now.toMSecsSinceEpoch() + m_offsetAtNow + m_shift.wall;
}

std::int64_t QtRuntime::utcOffsetMillis()
{
    // The offset of the instant now() read last (the tick driver reads the
    // two in that order), so that a zone changing in between cannot pair one
    // zone's time with the other's offset.
    return m_offsetAtNow + m_shift.utcOffset;
}

void QtRuntime::tellWhileEnding(std::string_view text)
{
    // One line, whatever breaks the text has: a session's log keeps lines.
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line.push_back(text[i] == '\n' ? ' ' : text[i]);
    }
    std::fprintf(stderr, "tindora: %s\n", line.c_str());
    std::fflush(stderr);
}

std::string QtRuntime::formatTimeOfDay(TimeOfDay time)
{
    const QLocale locale = QLocale::system();
    const QTime qtime(time.hour(), time.minute(), time.second());
    return locale.toString(qtime, timeOfDayFormat(locale)).toStdString();
}

BoxAnswer QtRuntime::messageBox(std::string_view text, BoxStyle style, std::string_view title)
{
    QWidget* parent = boxHasOwner(style, m_mainWindow && m_mainWindow->isVisible()) ? m_mainWindow.data() : nullptr;
    const QString boxTitle = QString::fromUtf8(title.data(), qsizetype(title.size()));
    // Qt breaks lines at LF; a CR would show as a stray glyph.
    const QString boxText =
        QString::fromUtf8(text.data(), qsizetype(text.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(iconOf(style.icon), boxTitle, boxText,
                    style.buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    // Modality first: setting it after the stay-on-top hint drops the hint.
    box.setWindowModality(Qt::ApplicationModal);
    if (style.systemModal)
        box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    // Posted once the box is up: the notification never comes before it.
    const int ticket = m_notifier ? m_notifier->post(style.announces, boxTitle, boxText) : DesktopNotifier::kNoTicket;
    if (ticket != DesktopNotifier::kNoTicket)
        m_announcingBoxes[ticket] = &box;
    const int pressed = box.exec();
    if (ticket != DesktopNotifier::kNoTicket) {
        m_announcingBoxes.erase(ticket);
        m_notifier->withdraw(ticket);
    }
    if (pressed == QMessageBox::Yes)
        return BoxAnswer::Yes;
    if (pressed == QMessageBox::No)
        return BoxAnswer::No;
    return BoxAnswer::Ok;
}

void QtRuntime::setNotifier(DesktopNotifier* notifier)
{
    m_notifier = notifier;
    if (m_notifier)
        m_notifier->onActivated([this](int ticket, const QString& token) { bringBoxForward(ticket, token); });
}

void QtRuntime::bringBoxForward(int ticket, const QString& activationToken)
{
    const auto it = m_announcingBoxes.find(ticket);
    if (it == m_announcingBoxes.end() || !it->second)
        return;
    QWidget* box = it->second;
    // On Wayland only a token the compositor handed out lets a program in the
    // background take the focus; Qt's Wayland backend takes it from here when
    // the window asks to be activated.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    box->setWindowState(box->windowState() & ~Qt::WindowMinimized);
    box->show();
    box->raise();
    box->activateWindow();
}

void QtRuntime::playAlertClip()
{
    m_player.play();
    if (m_player.isOpen())
        m_releaseSound.start(static_cast<int>(m_clipMillis) + 500);
}

std::int64_t QtRuntime::monotonicMillis()
{
    // CLOCK_BOOTTIME, unlike CLOCK_MONOTONIC, goes on counting while the computer sleeps.
    timespec t{};
    clock_gettime(CLOCK_BOOTTIME, &t);
    return std::int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1000000 + m_shift.monotonic;
}

std::optional<std::string> QtRuntime::armWakeUp(LocalMillis at)
{
    // Armed on UTC, as a distance from now: local time repeats an hour when
    // daylight saving ends and skips one when it begins, so a local instant
    // may name two absolute ones or none (one in the past would fire at once,
    // over and over). The plan is never more than a minute ahead, and the
    // scheduler puts right a wake-up that an offset change made early or late.
    const QDateTime current = QDateTime::currentDateTime();
    const std::int64_t utc = current.toMSecsSinceEpoch();
    const LocalMillis local = utc + std::int64_t{current.offsetFromUtc()} * 1000 + m_shift.wall;
    return m_wakeUp.arm(utc + wakeUpDelay(at, local));
}

void QtRuntime::endProgram()
{
    if (m_endAction)
        m_endAction();
    else
        QCoreApplication::exit(0);
}

void QtRuntime::quitAfterUnload()
{
    // Queued: the event that unloaded the window (a menu choice, a close)
    // finishes before the loop ends.
    QTimer::singleShot(0, &m_releaseSound, [this] { endProgram(); });
}

} // namespace tindora::qt
