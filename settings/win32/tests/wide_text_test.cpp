// The one Windows text conversion: exact where the text is whole, and every
// byte or character it could not keep replaced and reported.
#include "wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tindora::win32 {
namespace {

TEST(WideText, Utf8AndUtf16CarryEveryCharacterBothWays)
{
    // Chinese, ASCII, and U+20000, a surrogate pair in UTF-16.
    const std::string utf8 = "开会 a\xF0\xA0\x80\x80";
    const std::wstring wide = {0x5F00, 0x4F1A, L' ', L'a', 0xD840, 0xDC00};
    EXPECT_EQ(toWide(utf8), wide);
    EXPECT_EQ(toUtf8(wide), utf8);
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toUtf8(L""), "");

    bool exact = true;
    EXPECT_EQ(toWide(CP_UTF8, utf8, exact), wide);
    EXPECT_EQ(fromWide(CP_UTF8, wide, exact), utf8);
    EXPECT_TRUE(exact);
}

TEST(WideText, WhatCannotBeKeptIsReplacedAndReported)
{
    bool exact = true;
    // Each invalid byte is one U+FFFD; the byte after it is kept.
    EXPECT_EQ(toWide(CP_UTF8,
                     "a\xFF"
                     "b\xE5\xBC",
                     exact),
              (std::wstring{L'a', 0xFFFD, L'b', 0xFFFD, 0xFFFD}));
    EXPECT_FALSE(exact);
    EXPECT_EQ(toWide("a\xFF"
                     "b"),
              (std::wstring{L'a', 0xFFFD, L'b'}))
        << "the program's own text, unreported";

    exact = true;
    EXPECT_EQ(fromWide(936,
                       L"a\x00C0"
                       L"b",
                       exact),
              "a?b")
        << "no best fit: À is not quietly A";
    EXPECT_FALSE(exact);
}

} // namespace
} // namespace tindora::win32
