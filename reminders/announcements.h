#pragma once
// The texts, titles and styles of the three kinds of announcement box.

#include <string>
#include <string_view>
#include <vector>

namespace tindora::announcement {

inline constexpr std::string_view kFixedTimeTitle = "固定报时！";
inline constexpr std::string_view kHourlyTitle = "整点报时！";
inline constexpr int kPreWarningStyle = 4160; // system-modal, information icon, OK only
inline constexpr int kDueStyle = 4144;        // system-modal, exclamation icon, OK only
inline constexpr int kHourlyStyle = 4160;

// dueTime is already written in the system's time format; lead is the lead
// field's text as typed.
std::string preWarningText(std::string_view dueTime, std::string_view leadField, std::string_view note);
std::string dueText(std::string_view dueTime, std::string_view note);
std::string hourlyText(int hour);

// The box that names the reminders whose due time passed while the computer
// slept: no sound, shown once the gap is over.
inline constexpr std::string_view kMissedTitle = "错过的提醒";
inline constexpr int kMissedStyle = 4160; // system-modal, information icon, OK only

struct MissedLine {
    int slotNumber;      // 1 to 3
    std::string dueTime; // in the system's time format
    std::string note;
    int times = 1; // how often it came due in the gap
};
// A heading line, then one line per reminder: "时间1　8:30:00　开会", the note
// left out when empty, "　共3次" added when it came due more than once.
std::string missedText(const std::vector<MissedLine>& lines);

} // namespace tindora::announcement
