#pragma once
// The forms-runtime services on Qt: the wall clock, message boxes, the alert
// clip, the one precise wake-up timer and program end.

#include "forms_runtime.h"
#include "sdl_clip_player.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tindora::qt {

class QtRuntime : public FormsRuntime {
public:
    // `clip` may be empty: then play requests are dropped.
    explicit QtRuntime(PcmClip clip);
    ~QtRuntime() override;

    LocalMillis now() override;
    std::int64_t monotonicMillis() override;
    std::string formatTimeOfDay(TimeOfDay time) override;
    int messageBox(std::string_view text, int flags, std::string_view title) override;
    void playAlertClip() override;
    void armWakeUp(LocalMillis at) override;
    void endProgram() override;
    void quitAfterUnload() override;

    // What a wake-up runs: Form1's tick driver.
    void setWakeUpHandler(std::function<void()> handler) { m_onWakeUp = std::move(handler); }
    // The window a box that is not system-modal is centred on while it is shown.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    // How the program ends; by default the application's event loops end.
    void setEndHandler(std::function<void()> handler) { m_onEnd = std::move(handler); }

    const QTimer& wakeUpTimer() const { return m_wakeUp; }

private:
    QTimer m_wakeUp;
    QTimer m_releaseSound;
    std::function<void()> m_onWakeUp;
    std::function<void()> m_onEnd;
    QPointer<QWidget> m_mainWindow;
    SdlClipPlayer m_player;
    std::int64_t m_clipMillis;
};

} // namespace tindora::qt
