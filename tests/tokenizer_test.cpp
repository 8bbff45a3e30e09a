#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/tokenizer.h"

using platform::NumberRead;

namespace {
std::string utf8(const char8_t *s) {
    return reinterpret_cast<const char *>(s);
}
} // namespace

TEST(Tokenizer, FieldsKnowTheirLineAndColumn) {
    platform::Tokenizer t("  ab\n\tc  d\r\n\n");
    struct Want {
        const char *text;
        int line, column;
    } want[] = {{"ab", 1, 3}, {"c", 2, 2}, {"d", 2, 5}, {"", 4, 1}, {"", 4, 1}};
    for (const Want &w : want) {
        platform::Token k = t.next();
        EXPECT_EQ(k.text, w.text);
        EXPECT_EQ(k.at.line, w.line) << w.text;
        EXPECT_EQ(k.at.column, w.column) << w.text;
    }
}

TEST(Tokenizer, ByteTakesOneByteAndLeavesTheRest) {
    platform::Tokenizer t("x.wav q7\n  10");
    EXPECT_EQ(t.next().text, "x.wav");
    EXPECT_EQ(t.nextByte().text, "q");
    platform::Token level = t.next();
    EXPECT_EQ(level.text, "7");
    EXPECT_EQ(level.at.column, 8);
    EXPECT_EQ(t.nextByte().text, "1");
    EXPECT_EQ(t.next().text, "0");
    EXPECT_TRUE(t.nextByte().end());
}

TEST(Tokenizer, WholeTokenNumbers) {
    struct Case {
        const char *token;
        NumberRead result;
        int value;
    } cases[] = {
        {"0", NumberRead::Ok, 0},
        {"+5", NumberRead::Ok, 5},
        {"-5", NumberRead::Ok, -5},
        {"007", NumberRead::Ok, 7},
        {"2147483647", NumberRead::Ok, 2147483647},
        {"-2147483648", NumberRead::Ok, -2147483647 - 1},
        {"2147483648", NumberRead::OutOfRange, 0},
        {"-99999999999", NumberRead::OutOfRange, 0},
        {"99999999999x", NumberRead::NotANumber, 0},
        {"1x", NumberRead::NotANumber, 0},
        {"-", NumberRead::NotANumber, 0},
        {"+", NumberRead::NotANumber, 0},
        {"+-1", NumberRead::NotANumber, 0},
        {"++1", NumberRead::NotANumber, 0},
        {"0x10", NumberRead::NotANumber, 0},
        {"", NumberRead::NotANumber, 0},
    };
    for (const Case &c : cases) {
        int v = 0;
        EXPECT_EQ(platform::parseInt32(c.token, v), c.result) << c.token;
        EXPECT_EQ(v, c.value) << c.token;
    }
}

TEST(Tokenizer, DataFilesAreUtf8OrCodePage852) {
    struct Case {
        std::string bytes, text;
        bool utf8;
    } cases[] = {
        {"3 a.wav a 0", "3 a.wav a 0", false},
        {"\xa5 \x86", "\xa5 \x86", false},               // code page 852 as it is
        {utf8(u8"ą ć"), "\xa5 \x86", true},              // UTF-8 converted
        {utf8(u8"\uFEFFx ż"), "x \xbe", true},           // byte order mark dropped
        {"\xc0\xaf", "\xc0\xaf", false},                 // overlong: not UTF-8
        {"\xed\xa0\x80", "\xed\xa0\x80", false},         // a surrogate: not UTF-8
        {"ab\xc4", "ab\xc4", false},                     // cut off at the end
        {"\xf4\x90\x80\x80", "\xf4\x90\x80\x80", false}, // past U+10FFFF
    };
    for (const Case &c : cases) {
        platform::DataText d = platform::decodeDataFile(c.bytes);
        EXPECT_EQ(d.text, c.text) << c.bytes;
        EXPECT_EQ(d.wasUtf8, c.utf8) << c.bytes;
        EXPECT_EQ(d.unmappedLine, 0) << c.bytes;
    }
    platform::DataText d = platform::decodeDataFile(utf8(u8"ab\n c€ ą"));
    EXPECT_EQ(d.text, "ab\n c? \xa5");
    EXPECT_EQ(d.unmappedLine, 2);
    EXPECT_EQ(d.unmappedColumn, 3);
}

// Whatever code page 852 text is written, reading gives it back: every text
// of up to two bytes.
TEST(Tokenizer, WrittenTextReadsBackUnchanged) {
    for (int a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            std::string s(1, static_cast<char>(a));
            if (b >= 0)
                s += static_cast<char>(b);
            ASSERT_EQ(platform::decodeDataFile(platform::encodeDataFile(s)).text, s)
                << a << " " << b;
        }
    }
    EXPECT_EQ(platform::encodeDataFile("\xa5.wav"), "\xa5.wav");
    EXPECT_EQ(platform::encodeDataFile("\xe4\x98\x86"), utf8(u8"ńść"));
}
