#pragma once
// What the Qt window tests do with the program's message boxes: a box is
// modal, so the test acts on it from the event loop once it is open.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace tindora::qt::testing {

// Runs `whileOpen` on the modal box once it is open; then closes it, unless
// `whileOpen` did (or the test wants it left open: `closeAfter` false).
inline void onNextBox(std::function<void(QMessageBox&)> whileOpen, bool closeAfter = true)
{
    // Posts a copy of itself until the box is there: nothing outlives the box.
    struct Poll {
        std::function<void(QMessageBox&)> whileOpen;
        bool closeAfter;
        void operator()() const
        {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) {
                QTimer::singleShot(10, *this);
                return;
            }
            whileOpen(*box);
            if (closeAfter && box->isVisible())
                box->close();
        }
    };
    QTimer::singleShot(0, Poll{std::move(whileOpen), closeAfter});
}

} // namespace tindora::qt::testing
