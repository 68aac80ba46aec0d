#pragma once
// The forms-runtime services on Qt: the wall clock, message boxes, the alert
// clip, the one precise wake-up timer and program end.

#include "forms_runtime.h"
#include "sdl_clip_player.h"
#include "time_zone_watcher.h"
#include "wall_clock_timer.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

namespace tindora::qt {

class DesktopNotifier;

class QtRuntime : public FormsRuntime {
public:
    // `clip` may be empty: then play requests are dropped.
    explicit QtRuntime(PcmClip clip);
    ~QtRuntime() override;

    LocalMillis now() override;
    // The offset of the instant now() read last.
    std::int64_t utcOffsetMillis() override;
    void tellWhileEnding(std::string_view text) override;
    std::int64_t monotonicMillis() override;
    std::string formatTimeOfDay(TimeOfDay time) override;
    BoxAnswer messageBox(std::string_view text, BoxStyle style, std::string_view title) override;
    void playAlertClip() override;
    std::optional<std::string> armWakeUp(LocalMillis at) override;
    void endProgram() override;
    void quitAfterUnload() override;

    // The window a box that is not system-modal is centred on while it is shown.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

    // Where every announcing box is also posted, and withdrawn when the box
    // closes; the notification's default action brings the box forward.
    // nullptr: boxes only. The notifier must outlive the runtime's boxes.
    void setNotifier(DesktopNotifier* notifier);

    const WallClockTimer& wakeUpTimer() const { return m_wakeUp; }

    // What End does in place of ending the event loop (tests).
    void setEndAction(std::function<void()> action) { m_endAction = std::move(action); }

    // The clock seam (tests): how far the program's clocks run ahead of the
    // system's. A clock set by hand moves the wall clock alone; a sleep moves
    // the wall clock and the monotonic clock together; a new time zone (or
    // daylight saving) moves the wall clock and the UTC offset together.
    struct ClockShift {
        LocalMillis wall = 0;
        std::int64_t monotonic = 0;
        std::int64_t utcOffset = 0;
    };
    void shiftClocks(const ClockShift& shift) { m_shift = shift; }

private:
    void bringBoxForward(int ticket, const QString& activationToken);

    WallClockTimer m_wakeUp;
    TimeZoneWatcher m_zoneWatcher;
    DesktopNotifier* m_notifier = nullptr;
    // The open boxes that have a notification, by its ticket.
    std::map<int, QPointer<QWidget>> m_announcingBoxes;
    QTimer m_releaseSound;
    QPointer<QWidget> m_mainWindow;
    SdlClipPlayer m_player;
    std::int64_t m_clipMillis;
    std::function<void()> m_endAction;
    ClockShift m_shift;
    std::int64_t m_offsetAtNow = 0;
};

} // namespace tindora::qt
