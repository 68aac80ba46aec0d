#include "caret_blink.h"

#include <QGuiApplication>
#include <QStyleHints>

namespace tindora::qt {

CaretBlinkLimiter::CaretBlinkLimiter(int blinkMillis) : m_flashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    if (m_flashTime == 0) // stopped by an earlier limiter
        m_flashTime = 1000;
    m_stop.setSingleShot(true);
    m_stop.setInterval(blinkMillis);
    // The caret stays shown, it only stops blinking.
    connect(&m_stop, &QTimer::timeout, this, [] { QGuiApplication::styleHints()->setCursorFlashTime(0); });
    m_stop.start();
    qApp->installEventFilter(this);
}

bool CaretBlinkLimiter::blinking() const { return QGuiApplication::styleHints()->cursorFlashTime() != 0; }

bool CaretBlinkLimiter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
        if (!blinking())
            QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
        m_stop.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tindora::qt
