// Start-up, the buttons, the tray menu's close item and every way out.
#include "form1.h"

namespace tindora {

const std::string& Form1::aboutText()
{
    static const std::string text = "Tindora，可以整点报时及固定报时，有文字和音乐提醒。\r\n"
                                    "             ------Tindora 开发组。";
    return text;
}

void Form1::Form_Load()
{
    for (int hour = 0; hour <= 23; ++hour)
        for (ComboBox* picker : {&Combo2, &Combo7, &Combo11})
            picker->AddItem(std::to_string(hour));
    for (int minute = 0; minute <= 59; ++minute)
        for (ComboBox* picker : {&Combo3, &Combo6, &Combo10})
            picker->AddItem(std::to_string(minute));
    for (int second = 0; second <= 59; ++second)
        for (ComboBox* picker : {&Combo4, &Combo5, &Combo9})
            picker->AddItem(std::to_string(second));
    载入固定时间();
    // The session may have ended while a box of the load was open.
    if (isUnloaded())
        return;
    m_loaded = true;
    m_tray.TrayAdd(*this, mnuTray);
    m_tray.TraySetTip(kTrayTip);
}

void Form1::hideToTray()
{
    if (m_tray.iconShown()) {
        Hide();
        setWindowState(kNormal);
    } else if (WindowState() != kMinimized) {
        setWindowState(kMinimized);
    }
}

void Form1::Form_Resize()
{
    if (WindowState() == kMinimized)
        hideToTray();
}

void Form1::Command4_Click() { runtime().messageBox(aboutText(), kAboutStyle, kAboutTitle); }

void Form1::Command5_Click()
{
    commitPendingEdits();
    if (!saveBeforeLeaving())
        return;
    m_tray.TrayRemove();
    runtime().endProgram();
}

void Form1::Command6_Click()
{
    commitPendingEdits();
    保存固定时间();
    hideToTray();
}

void Form1::mnuTrayClose_Click()
{
    commitPendingEdits();
    if (!saveBeforeLeaving())
        return;
    Unload();
}

void Form1::Form_Unload(std::int16_t& cancel)
{
    // At the end of the session nobody is there to answer a box, and
    // nothing may keep the program: a failed save is told on the way out.
    // Ending under the box of a load not yet done, the user has changed
    // nothing, and the file stays as it is for the next start to report.
    if (sessionEnding()) {
        if (m_loaded)
            saveAsTheSessionEnds();
        m_tray.TrayRemove();
        return;
    }
    commitPendingEdits();
    if (!saveBeforeLeaving()) {
        cancel = 1;
        return;
    }
    m_tray.TrayRemove();
}

} // namespace tindora
