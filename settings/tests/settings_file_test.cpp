// The settings file's format: what the writer produces byte for byte, and what
// the reader makes of files however their fields are laid out.
#include "settings_file.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tindora::settings {
namespace {

const TextCodec& codec() { return settingsFileCodec(); }

const SettingsTexts kUntouched = {{{"", "", "", "5", ""}, {"", "", "", "5", ""}, {"", "", "", "5", ""}}};

std::vector<std::string> textsOf(const SettingsReading& reading)
{
    std::vector<std::string> texts;
    for (const ReadField& field : reading.fields)
        texts.push_back(field.text);
    return texts;
}

TEST(SettingsWriter, WritesTheTwoExamplesByteForByte)
{
    SettingsTexts texts = kUntouched;
    texts[0] = {"8", "30", "0", "5", "开会"};
    const WrittenSettings written = writeSettings(texts, codec());
    // "开会" in GBK: BF AA BB E1.
    const std::string meeting = "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n";
    const std::string untouched = "\"\",\"\",\"\",\"5\",\"\"\r\n";
    EXPECT_EQ(meeting.size(), 25u);
    EXPECT_EQ(untouched.size(), 17u);
    EXPECT_EQ(written.bytes, meeting + untouched + untouched);
    EXPECT_TRUE(written.inexact.empty());
}

TEST(SettingsWriter, KeepsNotesAsTypedAndDoublesQuotes)
{
    struct Case {
        std::string note;
        std::string field;
    };
    const Case cases[] = {
        {"a, b,c", "\"a, b,c\""},
        {"  padded  ", "\"  padded  \""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"", "\"\""},
    };
    for (const Case& c : cases) {
        SettingsTexts texts = kUntouched;
        texts[1].note = c.note;
        const std::string line2 = "\"\",\"\",\"\",\"5\"," + c.field + "\r\n";
        EXPECT_EQ(writeSettings(texts, codec()).bytes,
                  "\"\",\"\",\"\",\"5\",\"\"\r\n" + line2 + "\"\",\"\",\"\",\"5\",\"\"\r\n")
            << c.note;
    }
}

TEST(SettingsReader, FindsTheFifteenFieldsWhereverTheLinesBreak)
{
    const std::vector<std::string> expected = {"8", "30", "0",  "5",  "开会", "",   "",    "",
                                               "5", "",   "23", "59", "59",   "-5", "a, b"};
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"three CR LF lines", "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n\"\",\"\",\"\",\"5\",\"\"\r\n"
                              "\"23\",\"59\",\"59\",\"-5\",\"a, b\"\r\n"},
        {"one line, no final line end", "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\",\"\",\"\",\"\",\"5\",\"\","
                                        "\"23\",\"59\",\"59\",\"-5\",\"a, b\""},
        {"a field a line, LF and CR line ends",
         "\"8\"\n\"30\"\r\"0\"\n\"5\"\n\"\xBF\xAA\xBB\xE1\"\n\n\n\n5\n\n23\n59\n59\n-5\n\"a, b\"\n"},
        {"unquoted numbers, spaces ahead, extra fields after the last",
         "  8, 30,0 ,   5,\"\xBF\xAA\xBB\xE1\"\r\n,,,\"5\",\r\n23,59,59,-5,\"a, b\",\"extra\",x\r\n\"line 4\"\r\n"},
    };
    for (const Case& c : cases) {
        const SettingsReading reading = readSettings(c.bytes, codec());
        std::vector<std::string> want = expected;
        if (std::string(c.name).starts_with("unquoted"))
            want[2] = "0 "; // spaces after an unquoted field belong to it
        EXPECT_TRUE(reading.complete()) << c.name;
        EXPECT_EQ(textsOf(reading), want) << c.name;
    }
}

TEST(SettingsReader, ReadsQuotesInsideQuotedFields)
{
    struct Case {
        std::string field;
        std::string text;
    };
    const Case cases[] = {
        {"\"say \"\"hi\"\"\"", "say \"hi\""},     // doubled, as written now
        {"\"say \"hi\" now\"", "say \"hi\" now"}, // lone quotes, as earlier versions wrote them
        {"\"ab\"\"\"", "ab\""},
        {"\"say \"\"hi\"\",\"\"x\"\"\"", "say \"hi\",\"x\""}, // a doubled quote before a comma
        {"\"\"\"\"", "\""},
        {"\"a\"\"\"b\"", "a\"\"b"}, // a pair and a lone quote
        {"\"a,b\"", "a,b"},
        {"\" lead\"", " lead"},
    };
    for (const Case& c : cases) {
        const std::string bytes = "1,2,3,4," + c.field + "\r\n1,2,3,4,n\r\n1,2,3,4,n\r\n";
        const SettingsReading reading = readSettings(bytes, codec());
        ASSERT_TRUE(reading.complete()) << c.field;
        EXPECT_EQ(reading.fields[4].text, c.text) << c.field;
        EXPECT_EQ(reading.fields[5].text, "1") << c.field;
    }
}

TEST(SettingsReader, SaysWhereEachFieldStartsAndWhereTheFileEnded)
{
    const SettingsReading reading = readSettings("\"1\",\"2\",\"3\",\"4\",\"n\"\r\n\"5\",\r\n\"6\",\"cut", codec());
    EXPECT_FALSE(reading.complete());
    ASSERT_EQ(reading.fields.size(), 8u);
    EXPECT_EQ(reading.fields[4].place, (FilePlace{1, 5}));
    EXPECT_EQ(reading.fields[5].place, (FilePlace{2, 1}));
    EXPECT_EQ(reading.fields[6].place, (FilePlace{2, 2})); // empty, before the line end
    EXPECT_EQ(reading.fields[7].place, (FilePlace{3, 1}));
    // A quoted field that the file cuts off before its closing quote is not read.
    EXPECT_EQ(reading.endedAt, (FilePlace{3, 2}));

    const SettingsReading twoLines = readSettings("1,2,3,4,5\r\n1,2,3,4,5\r\n", codec());
    EXPECT_EQ(twoLines.fields.size(), 10u);
    EXPECT_EQ(twoLines.endedAt, (FilePlace{3, 1}));
    EXPECT_TRUE(readSettings("", codec()).fields.empty());
}

TEST(SettingsReader, MarksBytesThatAreNotText)
{
    // 0x81 0x20 is no GB18030 character.
    const SettingsReading reading = readSettings("1,2,3,4,\"a\x81 b\"\r\n1,2,3,4,n\r\n1,2,3,4,n\r\n", codec());
    ASSERT_TRUE(reading.complete());
    EXPECT_FALSE(reading.fields[4].exactText);
    EXPECT_EQ(reading.fields[4].text, "a\xEF\xBF\xBD b");
    EXPECT_TRUE(reading.fields[3].exactText);
}

// What an editor writes when the user saves time.txt "as UTF-8": the mark
// belongs to no field, the text is UTF-8; bytes that are not UTF-8 are marked.
// Without the mark the same bytes are the file's own encoding.
TEST(SettingsReader, AFileWithTheUtf8ByteOrderMarkIsReadAsUtf8)
{
    struct Case {
        std::string bytes;
        bool utf8;
        std::string note;
        bool exact;
    };
    const std::string fields = "\"8\",\"30\",\"0\",\"5\",";
    const Case cases[] = {
        {"\xEF\xBB\xBF" + fields + "\"开会\"", true, "开会", true},
        {"\xEF\xBB\xBF" + fields + "\"\xF0\x9F\x98\x80 \xC0\xAF\xED\xA0\x80\"", true,
         "\xF0\x9F\x98\x80 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", false}, // overlong, surrogate
        {fields + "\"\xBF\xAA\xBB\xE1\"", false, "开会", true},
    };
    for (const Case& c : cases) {
        const SettingsReading reading = readSettings(c.bytes + "\r\n" + std::string(34, ','), codec());
        ASSERT_TRUE(reading.complete()) << c.note;
        EXPECT_EQ(reading.readAsUtf8, c.utf8) << c.note;
        EXPECT_EQ(reading.fields[0].text, "8");
        EXPECT_TRUE(reading.fields[0].exactText);
        EXPECT_EQ(reading.fields[0].place, (FilePlace{1, 1}));
        EXPECT_EQ(reading.fields[4].text, c.note);
        EXPECT_EQ(reading.fields[4].exactText, c.exact) << c.note;
    }
}

TEST(SettingsFile, WhatIsWrittenReadsBackTheSame)
{
    const SettingsTexts cases[] = {
        kUntouched,
        {{{"8", "30", "0", "5", "开会，带上“报告”"},
          {"07", "x", " 9", "2.5", "a,\"b\",\"\" c "},
          {"23", "59", "59", "-1440", "line\r\nbreak, \"quoted\"\" end\""}}},
    };
    for (const SettingsTexts& texts : cases) {
        const WrittenSettings written = writeSettings(texts, codec());
        const SettingsReading reading = readSettings(written.bytes, codec());
        ASSERT_TRUE(reading.complete());
        for (int i = 0; i < kFieldCount; ++i)
            EXPECT_EQ(reading.fields[i].text, texts[static_cast<std::size_t>(i / 5)][static_cast<FieldRole>(i % 5)])
                << "field " << i;
    }
}

TEST(StoredNumbers, PickerIndexRoundsHalvesToEvenAndStaysIn16Bits)
{
    const std::string tooLong(400, '9');
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"", -1},
        {"7", 7},
        {"07", 7},
        {"7.5", 8},
        {"6.5", 6},
        {"-1", -1},
        {"24", 24},
        {"abc", 0},
        {" 7 ", 7},
        {"32767", 32767},
        {"-32768", -32768},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {tooLong, std::nullopt},
    };
    for (const auto& [field, index] : cases)
        EXPECT_EQ(pickerIndexOf(field), index) << field;
}

TEST(StoredNumbers, LeadIsWrittenBackInShortestForm)
{
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"5", "5"},  {"05", "5"},        {"2.5", "2.5"},
        {"", "0"},   {"abc", "0"},       {"10 min", "10"},
        {"-0", "0"}, {"1440.0", "1440"}, {std::string(400, '9'), std::nullopt},
    };
    for (const auto& [field, lead] : cases)
        EXPECT_EQ(leadTextOf(field), lead) << field;
}

} // namespace
} // namespace tindora::settings
