#include "values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <string>

namespace tindora {
namespace {

TEST(Val, ReadsTheLeadingNumberOnly)
{
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"", 0},        {"abc", 0},   {"5", 5},       {"05", 5},          {"10 min", 10}, {"2.5", 2.5},
        {"-5", -5},     {"+7", 7},    {".5", 0.5},    {"-.5", -0.5},      {"5.", 5},      {"1e3", 1},
        {"3,5", 3},     {"  12", 12}, {"\t8", 8},     {"-", 0},           {".", 0},       {"+-3", 0},
        {"1.2.3", 1.2}, {"７", 0},    {"12分钟", 12}, {"0.0001", 0.0001},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Val, IgnoresTheLocaleDecimalComma)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    // The same German locale by its glibc name and by the Windows C runtime's names.
    const bool commaLocale = std::ranges::any_of(
        std::array{"de_DE.UTF-8", "de-DE", "German_Germany.1252"},
        [](const char* name) { return std::setlocale(LC_NUMERIC, name) != nullptr; });
    const bool decimalComma = commaLocale && *std::localeconv()->decimal_point == ',';
    const double withPoint = Val("2.5");
    const double withComma = Val("2,5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!decimalComma)
        GTEST_SKIP() << "no locale with a decimal comma installed (scripts/install-deps.sh makes de_DE.UTF-8)";
    EXPECT_EQ(withPoint, 2.5);
    EXPECT_EQ(withComma, 2);
}

TEST(Val, ADigitRunTooLongForADoubleIsInfinite)
{
    EXPECT_TRUE(std::isinf(Val(std::string(400, '9'))));
    EXPECT_TRUE(std::isinf(Val("-" + std::string(400, '9'))));
    EXPECT_EQ(Val("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(Val(std::string(300, '9')), 1e300);
}

TEST(NumberToText, WritesTheShortestPlainDecimal)
{
    EXPECT_EQ(numberToText(5), "5");
    EXPECT_EQ(numberToText(2.5), "2.5");
    EXPECT_EQ(numberToText(-0.0), "0");
    EXPECT_EQ(numberToText(0.1), "0.1");
    EXPECT_EQ(numberToText(-5), "-5");
    EXPECT_EQ(numberToText(1e21), "1000000000000000000000");
    EXPECT_EQ(numberToText(Val("05.50")), "5.5");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const double cases[][2] = {{6.5, 6},   {7.5, 8},   {2.4, 2}, {2.6, 3}, {2.5, 2}, {-2.5, -2},
                               {-3.5, -4}, {-2.6, -3}, {0.5, 0}, {1.5, 2}, {0, 0},   {1e300, 1e300}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c[0]), c[1]) << c[0];
}

TEST(TimeOfDay, MovesAroundTheClockByAnyFiniteCountOfMinutes)
{
    const TimeOfDay due = TimeOfDay::fromParts(0, 2, 0);
    EXPECT_EQ(due.movedByMinutes(-5), TimeOfDay::fromParts(23, 57, 0));
    EXPECT_EQ(due.movedByMinutes(-1440), due);
    EXPECT_EQ(due.movedByMinutes(1440 * 1000), due);
    EXPECT_EQ(due.movedByMinutes(-1445), TimeOfDay::fromParts(23, 57, 0));
    EXPECT_EQ(TimeOfDay::fromParts(23, 58, 0).movedByMinutes(5), TimeOfDay::fromParts(0, 3, 0));
    // 1e300 minutes is an exact multiple of 1440 away from 1e300 mod 1440, which fmod finds.
    const double huge = 1e300;
    const int rest = static_cast<int>(std::fmod(huge, 1440.0));
    EXPECT_EQ(due.movedByMinutes(-huge), due.movedByMinutes(-rest));
}

TEST(TimeOfDay, FormatsAsHhMmSs)
{
    EXPECT_EQ(formatHhMmSs(TimeOfDay::fromParts(8, 5, 0)), "08:05:00");
    EXPECT_EQ(formatHhMmSs(TimeOfDay{}), "00:00:00");
    EXPECT_EQ(formatHhMmSs(TimeOfDay::fromParts(23, 59, 59)), "23:59:59");
}

TEST(TimeOfDay, LocalSecondsReduceToTheTimeOfDay)
{
    EXPECT_EQ(secondOf(1999), 1);
    EXPECT_EQ(secondOf(-1), -1);
    EXPECT_EQ(secondOf(-1000), -1);
    EXPECT_EQ(secondOf(-1001), -2);
    EXPECT_EQ(timeOfDayOf(86400 * 3 + 3600 * 14), TimeOfDay::fromParts(14, 0, 0));
    EXPECT_EQ(timeOfDayOf(-1), TimeOfDay::fromParts(23, 59, 59));
}

} // namespace
} // namespace tindora
