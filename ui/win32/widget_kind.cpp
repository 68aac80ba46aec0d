#include "widget_kind.h"

namespace tindora::win32 {

WidgetKind widgetKindOf(const Label&)
{
    return {L"STATIC", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, 0, false, true};
}
WidgetKind widgetKindOf(const ComboBox&)
{
    return {L"COMBOBOX",
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
            true};
}
WidgetKind widgetKindOf(const TextBox&)
{
    return {L"EDIT", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
}
WidgetKind widgetKindOf(const CheckBox&)
{
    return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_AUTOCHECKBOX};
}
WidgetKind widgetKindOf(const CommandButton&)
{
    return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON};
}

} // namespace tindora::win32
