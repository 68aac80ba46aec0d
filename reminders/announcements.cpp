#include "announcements.h"

#include "values.h"

namespace tindora::announcement {

std::string preWarningText(std::string_view dueTime, double leadMinutes, std::string_view note)
{
    std::string text = "请注意：";
    text += dueTime;
    text += "还有";
    text += numberToText(leadMinutes);
    text += "分钟就到了！\r\n别忘了：";
    text += note;
    return text;
}

std::string dueText(std::string_view dueTime, std::string_view note)
{
    std::string text = "请注意：";
    text += dueTime;
    text += "到了！\r\n别忘了：";
    text += note;
    return text;
}

std::string hourlyText(int hour) { return "请注意：" + std::to_string(hour) + "点已经到了！"; }

std::string missedText(const std::vector<MissedLine>& lines)
{
    // The ideographic space U+3000 keeps the columns apart as a Chinese text does.
    constexpr std::string_view kGap = "\xE3\x80\x80";
    std::string text = "电脑休眠期间错过了以下提醒：";
    for (const MissedLine& line : lines) {
        text += "\r\n时间";
        text += std::to_string(line.slotNumber);
        text += kGap;
        text += line.dueTime;
        if (!line.note.empty()) {
            text += kGap;
            text += line.note;
        }
        if (line.times > 1) {
            text += kGap;
            text += "共" + std::to_string(line.times) + "次";
        }
    }
    return text;
}

} // namespace tindora::announcement
