#include "values.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tindora {

double Val(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;

    // from_chars ignores the locale; it wants no sign and at least one digit
    // before an exponent, which our run never has.
    std::string_view run = text.substr(numberStart, i - numberStart);
    std::string buffer;
    if (run.front() == '.') {
        buffer = "0";
        buffer += run;
        run = buffer;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too many digits for a double, or too small to matter: decide which by
        // whether any non-zero digit comes before the point.
        bool large = false;
        for (char c : run) {
            if (c == '.')
                break;
            if (c != '0') {
                large = true;
                break;
            }
        }
        value = large ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

std::string numberToText(double value)
{
    assert(std::isfinite(value) && "numberToText needs a finite number");
    if (value == 0.0)
        return "0";
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    assert(error == std::errc() && "a double always fits 400 characters in fixed form");
    (void)error;
    return std::string(buffer, end);
}

double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

TimeOfDay TimeOfDay::movedByMinutes(double wholeMinutes) const
{
    assert(std::isfinite(wholeMinutes) && "a move needs a finite count of minutes");
    // fmod is exact, so even a lead of 1e300 minutes lands on the right minute.
    const double minutesInDay = std::fmod(wholeMinutes, 24.0 * 60.0);
    return fromSeconds(m_seconds + static_cast<std::int64_t>(minutesInDay) * 60);
}

std::string formatHhMmSs(TimeOfDay time)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", time.hour(), time.minute(), time.second());
    return buffer;
}

} // namespace tindora
