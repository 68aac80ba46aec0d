#pragma once
// Stops the text caret blinking after a while without input, as GNOME does:
// a blinking caret repaints its field twice a second, which is most of what
// a shown but idle window costs. Any key or mouse press starts it again.

#include <QObject>
#include <QTimer>

namespace tindora::qt {

class CaretBlinkLimiter : public QObject {
public:
    static constexpr int kBlinkMillis = 10000;

    // Watches the application's input from now on.
    explicit CaretBlinkLimiter(int blinkMillis = kBlinkMillis);

    bool blinking() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer m_stop;
    int m_flashTime;
};

} // namespace tindora::qt
