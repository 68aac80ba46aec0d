#include "module1.h"

namespace tindora::tray {

Module1::~Module1() { m_icon.setListener(nullptr); }

void Module1::TrayAdd(FormWindow& form, Menu& menu)
{
    TrayForm = &form;
    TrayMenu = &menu;
    m_icon.setListener(this);
    m_added = true;
    m_icon.show({});
}

void Module1::TraySetTip(std::string_view tip)
{
    m_tip = tip;
    // Also where the notification area refused the icon: the tip is there
    // when the icon comes back.
    if (m_added)
        m_icon.setTip(m_tip);
}

void Module1::TrayRemove()
{
    if (!m_added)
        return;
    m_added = false;
    m_icon.remove();
}

bool Module1::iconEvent(IconEvent event)
{
    if (!m_added)
        return false;
    switch (event) {
    case IconEvent::LeftReleased:
        if (TrayForm->Visible())
            TrayForm->Hide();
        else
            TrayForm->Show();
        return false;
    case IconEvent::RightReleased:
        if (!m_menuOpen) {
            m_menuOpen = true;
            // The chosen item may save, unload the window and remove the icon
            // before PopupMenu returns.
            TrayForm->PopupMenu(*TrayMenu);
            m_menuOpen = false;
        }
        return true;
    case IconEvent::DoubleClicked:
        return false;
    case IconEvent::ShellRestarted:
        m_icon.show(m_tip);
        return false;
    case IconEvent::TrayGone:
        if (!TrayForm->Visible()) {
            TrayForm->setWindowState(FormWindow::kMinimized);
            TrayForm->Show();
        }
        return false;
    }
    return false;
}

} // namespace tindora::tray
