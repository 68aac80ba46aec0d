#pragma once
// The value helpers every part of the program shares: the leading number of a
// text, numbers written back as text, whole-number rounding, and the time of day.

#include <cstdint>
#include <string>
#include <string_view>

namespace tindora {

// The number a text begins with: blanks ahead of it skipped, an optional sign,
// digits, an optional full stop and more digits, read up to the first
// character that cannot continue it; 0 when the text begins with no number.
// The decimal point is always a full stop, whatever the locale. A digit run too
// long for a double gives an infinity: callers that need a finite number
// check std::isfinite.
double Val(std::string_view text);

// A number in its shortest plain decimal form: 5, 2.5, 0 (never -0, never an
// exponent). Not for infinities or NaN.
std::string numberToText(double value);

// The nearest whole number, a half going to the even neighbour (6.5 -> 6, 7.5 -> 8).
double roundHalfEven(double value);

// A time of day to the whole second, with no date: 00:00:00 to 23:59:59.
class TimeOfDay {
public:
    static constexpr int kSecondsPerDay = 24 * 60 * 60;

    constexpr TimeOfDay() = default;
    // Reduces any count of seconds around the clock.
    static constexpr TimeOfDay fromSeconds(std::int64_t seconds)
    {
        std::int64_t s = seconds % kSecondsPerDay;
        if (s < 0)
            s += kSecondsPerDay;
        return TimeOfDay(static_cast<int>(s));
    }
    // Only for hours 0-23, minutes and seconds 0-59.
    static constexpr TimeOfDay fromParts(int hour, int minute, int second)
    {
        return TimeOfDay(hour * 3600 + minute * 60 + second);
    }

    constexpr int hour() const { return m_seconds / 3600; }
    constexpr int minute() const { return m_seconds / 60 % 60; }
    constexpr int second() const { return m_seconds % 60; }

    // This time moved by a whole number of minutes around the clock; any finite
    // count works, however large.
    TimeOfDay movedByMinutes(double wholeMinutes) const;

    friend constexpr bool operator==(TimeOfDay, TimeOfDay) = default;

private:
    constexpr explicit TimeOfDay(int seconds) : m_seconds(seconds) {}
    int m_seconds = 0;
};

// "hh:mm:ss": two digits each, 24-hour clock.
std::string formatHhMmSs(TimeOfDay time);

// Local wall-clock time as milliseconds since 1970-01-01 00:00 local time.
using LocalMillis = std::int64_t;
// A whole local second since 1970-01-01 00:00 local time.
using LocalSecond = std::int64_t;

constexpr LocalSecond secondOf(LocalMillis millis) { return millis >= 0 ? millis / 1000 : -((-millis + 999) / 1000); }
constexpr TimeOfDay timeOfDayOf(LocalSecond second) { return TimeOfDay::fromSeconds(second); }

} // namespace tindora
