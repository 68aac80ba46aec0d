#pragma once
// What the Qt window tests do with the program's message boxes: a box is
// modal, so the test acts on it from the event loop once it is open.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

namespace tindora::qt::testing {

// Runs `whileOpen` on the modal box once it is open; then closes it, unless
// `whileOpen` did (or the test wants it left open: `closeAfter` false).
inline void onNextBox(std::function<void(QMessageBox&)> whileOpen, bool closeAfter = true)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [whileOpen, poll, closeAfter] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        whileOpen(*box);
        if (closeAfter && box->isVisible())
            box->close();
    };
    QTimer::singleShot(0, *poll);
}

} // namespace tindora::qt::testing
