#pragma once
// Form1 as it is designed: the window's own properties and every control's
// name, kind, place and size in twips, caption or initial text, initial value
// and tab index. Every backend builds its native window from this one table.

#include <array>
#include <string_view>

namespace tindora::layout {

inline constexpr int kTwipsPerPixelAt96Dpi = 15;

inline constexpr std::string_view kWindowTitle = "Tindora1.0";
inline constexpr int kClientWidthTwips = 10215;
inline constexpr int kClientHeightTwips = 1650;

enum class Kind { Label, ComboBox, TextBox, CheckBox, CommandButton, OleContainer };

struct ControlSpec {
    std::string_view name;
    Kind kind;
    int left;
    int top;
    int width;
    int height;
    std::string_view caption; // caption, or initial text
    int initialValue;         // check boxes: 1 set, 0 clear; -1 elsewhere
    int tabIndex;
};

// In tab order.
inline constexpr std::array<ControlSpec, 31> kControls{{
    {"Label1", Kind::Label, 120, 120, 735, 255, "时间1：", -1, 0},
    {"Combo2", Kind::ComboBox, 720, 0, 615, 300, "", -1, 1},
    {"Combo3", Kind::ComboBox, 1440, 0, 615, 300, "", -1, 2},
    {"Combo4", Kind::ComboBox, 2160, 0, 615, 300, "", -1, 3},
    {"Text1", Kind::TextBox, 3360, 0, 375, 270, "5", -1, 4},
    {"Text2", Kind::TextBox, 5520, 0, 4575, 270, "", -1, 5},
    {"Check1", Kind::CheckBox, 120, 1200, 1095, 375, "铃声提醒", 1, 6},
    {"Combo7", Kind::ComboBox, 720, 360, 615, 300, "", -1, 7},
    {"Combo6", Kind::ComboBox, 1440, 360, 615, 300, "", -1, 8},
    {"Combo5", Kind::ComboBox, 2160, 360, 615, 300, "", -1, 9},
    {"Text4", Kind::TextBox, 3360, 360, 375, 270, "5", -1, 10},
    {"Text3", Kind::TextBox, 5520, 360, 4575, 270, "", -1, 11},
    {"Check2", Kind::CheckBox, 1320, 1200, 1095, 375, "固定报时", 1, 12},
    {"Combo11", Kind::ComboBox, 720, 720, 615, 300, "", -1, 13},
    {"Combo10", Kind::ComboBox, 1440, 720, 615, 300, "", -1, 14},
    {"Combo9", Kind::ComboBox, 2160, 720, 615, 300, "", -1, 15},
    {"Text6", Kind::TextBox, 3360, 720, 375, 270, "5", -1, 16},
    {"Text5", Kind::TextBox, 5520, 720, 4575, 270, "", -1, 17},
    {"Check3", Kind::CheckBox, 2520, 1200, 1095, 375, "整点报时", 0, 18},
    {"Label2", Kind::Label, 2880, 120, 375, 255, "提前", -1, 19},
    {"Label3", Kind::Label, 3840, 120, 1695, 255, "分提醒，提醒事件：", -1, 20},
    {"Label4", Kind::Label, 3840, 480, 1695, 255, "分提醒，提醒事件：", -1, 21},
    {"Label5", Kind::Label, 2880, 480, 375, 255, "提前", -1, 22},
    {"Label6", Kind::Label, 120, 480, 735, 255, "时间2：", -1, 23},
    {"Label7", Kind::Label, 3840, 840, 1695, 255, "分提醒，提醒事件：", -1, 24},
    {"Label8", Kind::Label, 2880, 840, 375, 255, "提前", -1, 25},
    {"Label9", Kind::Label, 120, 840, 735, 255, "时间3：", -1, 26},
    {"OLE1", Kind::OleContainer, 4440, 1200, 495, 375, "SoundRec", -1, 27},
    {"Command4", Kind::CommandButton, 5520, 1200, 1455, 375, "关    于", -1, 28},
    {"Command6", Kind::CommandButton, 7080, 1200, 1455, 375, "最小化到托盘", -1, 29},
    {"Command5", Kind::CommandButton, 8640, 1200, 1455, 375, "退    出", -1, 30},
}};

inline constexpr int kTimerIntervalMillis = 1000;
inline constexpr std::string_view kTrayMenuCaption = "右键菜单";
inline constexpr std::string_view kTrayCloseCaption = "关闭";

constexpr const ControlSpec* find(std::string_view name)
{
    for (const ControlSpec& entry : kControls)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

// Twips to device pixels at a given DPI, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

} // namespace tindora::layout
