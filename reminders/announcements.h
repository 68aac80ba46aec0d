#pragma once
// The texts, titles and styles of the three kinds of announcement box.

#include "forms_runtime.h"

#include <string>
#include <string_view>
#include <vector>

namespace tindora::announcement {

inline constexpr std::string_view kFixedTimeTitle = "固定报时！";
inline constexpr std::string_view kHourlyTitle = "整点报时！";
// Every announcement stays above all windows, with an OK button only.
inline constexpr BoxStyle kPreWarningStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::Reminder};
inline constexpr BoxStyle kDueStyle{BoxIcon::Exclamation, BoxButtons::Ok, true, Announces::Reminder};
inline constexpr BoxStyle kHourlyStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::FullHour};

// dueTime is already written in the system's time format; leadMinutes is the
// whole minutes by which the warning comes ahead.
std::string preWarningText(std::string_view dueTime, double leadMinutes, std::string_view note);
std::string dueText(std::string_view dueTime, std::string_view note);
std::string hourlyText(int hour);

// The box that names the reminders whose due time passed while the computer
// slept: no sound, shown once the gap is over.
inline constexpr std::string_view kMissedTitle = "错过的提醒";
inline constexpr BoxStyle kMissedStyle{BoxIcon::Information, BoxButtons::Ok, true, Announces::Reminder};

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
