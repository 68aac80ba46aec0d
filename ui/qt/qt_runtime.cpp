#include "qt_runtime.h"

#include "time_format.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTime>

#include <ctime>

namespace tindora::qt {
namespace {

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & mb::kIconMask) {
    case mb::kIconError:
        return QMessageBox::Critical;
    case mb::kIconQuestion:
        return QMessageBox::Question;
    case mb::kIconExclamation:
        return QMessageBox::Warning;
    case mb::kIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QtRuntime::QtRuntime(PcmClip clip)
    // One single-shot timer armed for the instant the tick scheduler names: an
    // interval timer keeps an arbitrary phase within the second and drifts.
    : m_wakeUp([this] { wakeUpFired(); }, [this] { clockChanged(); }), m_player(clip),
      m_clipMillis(clip.durationMillis())
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
    return now.toMSecsSinceEpoch() + std::int64_t{now.offsetFromUtc()} * 1000 + m_wallShift;
}

std::string QtRuntime::formatTimeOfDay(TimeOfDay time)
{
    const QLocale locale = QLocale::system();
    const QTime qtime(time.hour(), time.minute(), time.second());
    return locale.toString(qtime, timeOfDayFormat(locale)).toStdString();
}

int QtRuntime::messageBox(std::string_view text, int flags, std::string_view title)
{
    const bool systemModal = (flags & mb::kSystemModal) != 0;
    QWidget* parent = boxHasOwner(flags, m_mainWindow && m_mainWindow->isVisible()) ? m_mainWindow.data() : nullptr;
    QMessageBox box(
        iconOf(flags), QString::fromUtf8(title.data(), qsizetype(title.size())),
        // Qt breaks lines at LF; a CR would show as a stray glyph.
        QString::fromUtf8(text.data(), qsizetype(text.size())).replace(QLatin1String("\r\n"), QLatin1String("\n")),
        (flags & mb::kButtonsMask) == mb::kYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    // Modality first: setting it after the stay-on-top hint drops the hint.
    box.setWindowModality(Qt::ApplicationModal);
    if (systemModal)
        box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    const int pressed = box.exec();
    if (pressed == QMessageBox::Yes)
        return mb::kIdYes;
    if (pressed == QMessageBox::No)
        return mb::kIdNo;
    return mb::kIdOk;
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
    return std::int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1000000 + m_monotonicShift;
}

std::optional<std::string> QtRuntime::armWakeUp(LocalMillis at)
{
    // The local instant as the zone has it on that day (a daylight-saving
    // change in between moves it), clamped as every backend clamps it.
    const LocalMillis local = now() + wakeUpDelay(at, now());
    const QDateTime asWritten = QDateTime::fromMSecsSinceEpoch(local - m_wallShift, Qt::UTC);
    const QDateTime instant(asWritten.date(), asWritten.time(), Qt::LocalTime);
    return m_wakeUp.arm(instant.toMSecsSinceEpoch());
}

void QtRuntime::endProgram()
{
    if (!endHandled())
        QCoreApplication::exit(0);
}

void QtRuntime::quitAfterUnload()
{
    // Queued: the event that unloaded the window (a menu choice, a close)
    // finishes before the loop ends.
    QTimer::singleShot(0, &m_releaseSound, [this] { endProgram(); });
}

} // namespace tindora::qt
