#include "announcements.h"

#include "values.h"

#include <cmath>

namespace tindora::announcement {

std::string preWarningText(std::string_view dueTime, std::string_view leadField, std::string_view note)
{
    // The lead as its leading number in shortest form ("05" reads 5). A lead too
    // large for a number is shown as typed rather than not at all.
    const double lead = Val(leadField);
    const std::string leadText = std::isfinite(lead) ? numberToText(lead) : std::string(leadField);
    std::string text = "请注意：";
    text += dueTime;
    text += "还有";
    text += leadText;
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

std::string hourlyText(int hour)
{
    return "请注意：" + std::to_string(hour) + "点已经到了！";
}

} // namespace tindora::announcement
