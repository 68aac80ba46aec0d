#include "window.h"

namespace tindora {

void FormWindow::Show()
{
    if (m_visible)
        return;
    m_visible = true;
    notifyView(WindowChange::Visible);
}

void FormWindow::Hide()
{
    if (!m_visible)
        return;
    m_visible = false;
    notifyView(WindowChange::Visible);
}

void FormWindow::setWindowState(int state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    notifyView(WindowChange::WindowState);
    Form_Resize();
}

void FormWindow::systemChangedWindowState(int state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    Form_Resize();
}

void FormWindow::PopupMenu(Menu& menu)
{
    if (!m_view)
        return;
    const int chosen = m_view->popupMenu(menu);
    const auto& items = menu.items();
    if (chosen >= 0 && chosen < static_cast<int>(items.size()))
        items[static_cast<std::size_t>(chosen)]->userChose();
}

void FormWindow::systemEndedSession()
{
    m_sessionEnding = true;
    Unload();
    // Nobody may keep the program at the end of the session.
    if (!m_unloaded) {
        m_unloaded = true;
        m_visible = false;
        notifyView(WindowChange::Unloaded);
        m_runtime.quitAfterUnload();
    }
}

void FormWindow::Unload()
{
    if (m_unloaded)
        return;
    std::int16_t cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        return;
    m_unloaded = true;
    m_visible = false;
    notifyView(WindowChange::Unloaded);
    m_runtime.quitAfterUnload();
}

} // namespace tindora
