#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/cp852.h"
#include "platform/keydecoder.h"
#include "platform/terminal.h"
#include "shell/screen.h"
#include "shell/state.h"
#include "support/harness.h"

using testing_support::ScreenTest;

// A build without the code page flag would print the wrong bytes everywhere.
TEST(CodePage, LiteralsAreCodePage852Bytes) {
    const std::string letters = "ąćęłńóśźż";
    const std::vector<unsigned char> bytes = {165, 134, 169, 136, 228, 162, 152, 171, 190};
    ASSERT_EQ(letters.size(), bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(letters[i]), bytes[i]) << "letter " << i;
}

TEST(CodePage, RoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        std::string utf8;
        platform::appendUtf8(utf8, static_cast<unsigned char>(b));
        EXPECT_EQ(platform::utf8ToCp852(utf8), std::string(1, static_cast<char>(b)))
            << "byte " << b;
    }
    EXPECT_EQ(platform::utf8ToCp852("Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 \xe2\x82\xacx"),
              std::string("Zażółć ?x"));
}

namespace {
std::vector<int> decode(const std::string &bytes, bool utf8, bool idleAtEnd = true) {
    platform::setKeyDecoderUtf8(utf8);
    platform::KeyDecoder d;
    std::deque<int> out;
    for (unsigned char b : bytes)
        d.add(b, out);
    if (idleAtEnd)
        d.timeout(out);
    platform::setKeyDecoderUtf8(false);
    return {out.begin(), out.end()};
}
} // namespace

TEST(KeyDecoder, TerminalBytesBecomeConsoleKeyCodes) {
    struct Case {
        std::string bytes;
        bool utf8;
        std::vector<int> keys;
    } cases[] = {
        {"a", false, {'a'}},
        {"\r", false, {13}},
        {"\x7f", false, {8}},
        {"\x1b", false, {27}},
        {"\x1b\x1b", false, {27, 27}},
        {"\x1b[A", false, {224, 72}},
        {"\x1b[D", false, {224, 75}},
        {"\x1b[B", false, {224, 80}},
        {"\x1b[C", false, {224, 77}},
        {"\x1bOA", false, {224, 72}},
        {"\x1b[H", false, {224, 71}},
        {"\x1b[4~", false, {224, 79}},
        {"\x1b[5~", false, {224, 73}},
        {"\x1b[6~", false, {224, 81}},
        {"\x1b[2~", false, {224, 82}},
        {"\x1b[3~", false, {224, 83}},
        {"\x1bOP", false, {0, 59}},
        {"\x1b[15~", false, {0, 63}},
        {"\x1b[21~", false, {0, 68}},
        {"\x1b[[A", false, {0, 59}},
        // Sequences the console has no code for are swallowed whole.
        {"\x1b[1;5A", false, {}},
        {"\x1b[24~x", false, {'x'}},
        {"\x1bx", false, {}},
        // Letters typed on a UTF-8 terminal arrive as code page 852 bytes.
        {"\xc4\x85", true, {165}},
        {"\xc5\xbc"
         "a",
         true,
         {190, 'a'}},
        {"\xe2\x82\xac", true, {}},
        {"\xc4\x85", false, {0xc4, 0x85}},
        {"w\x1b[A]", false, {'w', 224, 72, ']'}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decode(c.bytes, c.utf8), c.keys) << "bytes " << ::testing::PrintToString(c.bytes);
}

TEST(KeyDecoder, EscWaitsForTheRestOfASequence) {
    EXPECT_EQ(decode("\x1b", false, false), std::vector<int>{});
    EXPECT_EQ(decode("\x1b[", false, false), std::vector<int>{});
    EXPECT_EQ(decode("\x1b[", false, true), std::vector<int>{});
}

TEST(Attribute, ConsoleColoursAsSgr) {
    struct Case {
        int attribute;
        const char *sgr;
    } cases[] = {
        {0x07, "\x1b[0;37;40m"},        // light grey on black
        {1 * 16 + 14, "\x1b[0;93;44m"}, // yellow on dark blue: attribute 30
        {16, "\x1b[0;30;44m"},          // letters 16 spill into the background
        {0xF0, "\x1b[0;30;107m"},       // black on white
        {0x4C, "\x1b[0;91;41m"},        // red on dark red
        {0x1234, "\x1b[0;31;46m"},      // only the low byte is shown: red on dark cyan
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::sgrForAttribute(c.attribute), c.sgr) << "attribute " << c.attribute;
}

class Screen : public ScreenTest {};

TEST_F(Screen, TkSetsTheAttributeAndDrawsTheBanner) {
    struct Case {
        int background, letters, attribute;
    } cases[] = {{1, 14, 30}, {0, 16, 16}, {0, 8, 8}, {17, 0, 272}};
    for (const Case &c : cases) {
        settings(5, c.background, c.letters);
        clearOutput();
        tk();
        EXPECT_EQ(currentAttribute(), c.attribute) << c.background << "/" << c.letters;
        EXPECT_EQ(out(), testing_support::banner());
    }
}

TEST_F(Screen, ReadsTakeWhatTheyNeedAndLeaveTheRest) {
    input("12 1 2\n7x\nabc 9\n  hello world\nq");
    std::string word;
    int n = -5;
    char c = 0;
    EXPECT_EQ(CzytajSlowo(word), Odczyt::Ok);
    EXPECT_EQ(word, "12");
    EXPECT_EQ(CzytajSlowo(word), Odczyt::Ok);
    EXPECT_EQ(word, "1");
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Ok);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Ok);
    EXPECT_EQ(n, 7);
    // The x left by 7x is not a number: the rest of its line goes with it.
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Zly);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Zly); // "abc 9": the 9 is discarded with the line
    EXPECT_EQ(CzytajZnak(c), Odczyt::Ok);
    EXPECT_EQ(c, 'h');
    std::string line;
    EXPECT_EQ(CzytajLinie(line), Odczyt::Ok);
    EXPECT_EQ(line, "ello world");
    EXPECT_EQ(CzytajSlowo(word), Odczyt::Ok);
    EXPECT_EQ(word, "q");
    EXPECT_EQ(CzytajSlowo(word), Odczyt::Koniec);
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Koniec);
    EXPECT_EQ(CzytajZnak(c), Odczyt::Koniec);
    EXPECT_EQ(CzytajLinie(line), Odczyt::Koniec);
}

TEST_F(Screen, NumberTooBigForAnIntIsWrongInput) {
    input("99999999999 4\n-2147483648\n");
    int n = 3;
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Zly);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Ok);
    EXPECT_EQ(n, -2147483648);
}
