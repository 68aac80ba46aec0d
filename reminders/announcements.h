#pragma once
// The texts, titles and styles of the three kinds of announcement box.

#include <string>
#include <string_view>

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

} // namespace tindora::announcement
