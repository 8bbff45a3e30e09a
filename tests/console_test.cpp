#include <cstdint>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/cp852.h"
#include "platform/keydecoder.h"
#include "platform/render.h"
#include "platform/terminal.h"
#include "platform/terminfo.h"
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
using platform::TimedKey;

std::vector<int> decode(const std::string &bytes, const std::string &charset = "") {
    platform::KeyDecoder d(charset);
    std::deque<TimedKey> out;
    for (unsigned char b : bytes)
        d.add(b, 0, out);
    d.idle(platform::kEscapeWaitMs, out);
    std::vector<int> codes;
    for (const TimedKey &k : out)
        codes.push_back(k.code);
    return codes;
}
} // namespace

TEST(KeyDecoder, TerminalBytesBecomeConsoleKeyCodes) {
    struct Case {
        std::string bytes;
        std::string charset;
        std::vector<int> keys;
    } cases[] = {
        {"a", "", {'a'}},
        {"\r", "", {13}},
        {"\x7f", "", {8}},
        {"\x1b", "", {27}},
        {"\x1b\x1b", "", {27, 27}},
        {"\x1b[A", "", {224, 72}},
        {"\x1b[D", "", {224, 75}},
        {"\x1b[B", "", {224, 80}},
        {"\x1b[C", "", {224, 77}},
        {"\x1bOA", "", {224, 72}},
        {"\x1b[H", "", {224, 71}},
        {"\x1b[4~", "", {224, 79}},
        {"\x1b[5~", "", {224, 73}},
        {"\x1b[6~", "", {224, 81}},
        {"\x1b[2~", "", {224, 82}},
        {"\x1b[3~", "", {224, 83}},
        {"\x1bOP", "", {0, 59}},
        {"\x1b[15~", "", {0, 63}},
        {"\x1b[21~", "", {0, 68}},
        {"\x1b[[A", "", {0, 59}},
        // Sequences the console has no code for are swallowed whole.
        {"\x1b[1;5A", "", {}},
        {"\x1b[24~x", "", {'x'}},
        // Esc and a byte that cannot continue a sequence: two keys.
        {"\x1bx", "", {27, 'x'}},
        {"\x1b"
         "1",
         "",
         {27, '1'}},
        {"\x1b\r", "", {27, 13}},
        {"\x1b\xc4\x85", "UTF-8", {27, 165}},
        // A byte no sequence holds breaks it off and counts on its own.
        {"\x1b[\x1b[A", "", {224, 72}},
        // Letters typed on the terminal arrive as code page 852 bytes.
        {"\xc4\x85", "UTF-8", {165}},
        {"\xc5\xbc"
         "a",
         "UTF-8",
         {190, 'a'}},
        {"\xe2\x82\xac", "UTF-8", {}},
        {"\xc4\x85", "", {0xc4, 0x85}},
        {"\xb1\xea\xbf", "ISO-8859-2", {165, 169, 190}},
        {"w\x1b[A]", "", {'w', 224, 72, ']'}},
        // Overlong forms, surrogates and values past U+10FFFF are no key at all.
        {"\xc0\x9b", "UTF-8", {}},
        {"\xc0\xaf", "UTF-8", {}},
        {"\xe0\x80\x9b", "UTF-8", {}},
        {"\xf0\x80\x80\xaf", "UTF-8", {}},
        {"\xed\xa0\x80", "UTF-8", {}},
        {"\xf4\x90\x80\x80", "UTF-8", {}},
        {"\xf5\x80\x80\x80", "UTF-8", {}},
        // A broken sequence never takes the valid byte after it.
        {"\xc4"
         "a",
         "UTF-8",
         {'a'}},
        {"\xe2\x82"
         "a",
         "UTF-8",
         {'a'}},
        {"\xc4\x1b[A", "UTF-8", {224, 72}},
        {"\xc4\xc4\x85", "UTF-8", {165}},
        {"\x85"
         "a",
         "UTF-8",
         {'a'}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decode(c.bytes, c.charset), c.keys)
            << "bytes " << ::testing::PrintToString(c.bytes) << " in " << c.charset;
}

// Each key carries the time its first byte came; a lone Esc is a key once
// nothing has followed it for the whole wait, and not a millisecond before.
TEST(KeyDecoder, EscWaitAndKeyTimes) {
    const int w = platform::kEscapeWaitMs;
    EXPECT_GE(w, 50);
    struct Case {
        const char *what;
        std::vector<std::pair<std::int64_t, std::string>> bytes; // arrival time, bytes
        std::int64_t idleAt;                                     // -1: no idle step
        std::vector<TimedKey> keys;
        std::int64_t deadline; // after the last step
    } cases[] = {
        {"Esc pending", {{10, "\x1b"}}, -1, {}, 10 + w},
        {"wait not over", {{10, "\x1b"}}, 10 + w - 1, {}, 10 + w},
        {"wait over", {{10, "\x1b"}}, 10 + w, {{27, 10}}, -1},
        {"arrow split, in time", {{10, "\x1b"}, {10 + w - 1, "[A"}}, -1, {{224, 10}, {72, 10}}, -1},
        {"arrow split, too late",
         {{10, "\x1b"}, {10 + w, "[A"}},
         -1,
         {{27, 10}, {'[', 10 + w}, {'A', 10 + w}},
         -1},
        {"sequence cut short", {{10, "\x1b["}}, 10 + w, {}, -1},
        {"sequence cut short waits", {{10, "\x1b[1"}}, 10 + w - 1, {}, 10 + w},
        {"a key after a sequence cut short",
         {{10, "\x1b["}, {10 + w, "x"}},
         -1,
         {{'x', 10 + w}},
         -1},
        {"letter time is its first byte",
         {{5, "a"}, {7, "\xc4"}, {9, "\x85"}},
         -1,
         {{'a', 5}, {165, 7}},
         -1},
        {"Esc then a letter", {{3, "\x1bq"}}, -1, {{27, 3}, {'q', 3}}, -1},
    };
    for (const Case &c : cases) {
        platform::KeyDecoder d("UTF-8");
        std::deque<TimedKey> out;
        for (const auto &[t, bytes] : c.bytes)
            for (unsigned char b : bytes)
                d.add(b, t, out);
        if (c.idleAt >= 0)
            d.idle(c.idleAt, out);
        EXPECT_EQ(std::vector<TimedKey>(out.begin(), out.end()), c.keys) << c.what;
        EXPECT_EQ(d.deadline(), c.deadline) << c.what;
    }
}

// The program's bytes as a terminal gets them: charset, the 80-column wrap of
// the program's own text, the column back at 0 after a line read, and
// control sequences outside the count.
TEST(Renderer, TextAsTheTerminalGetsIt) {
    struct Step {
        enum { Text, Control, LineRead } kind;
        std::string bytes;
    };
    const std::string d80(80, '-');
    struct Case {
        const char *what;
        std::string charset; // empty: no conversion
        int width;
        std::vector<Step> steps;
        std::string out;
    } cases[] = {
        {"banner",
         "UTF-8",
         80,
         {{Step::Text, "  Mirvo\n" + d80 + d80 + "  B\n"}},
         "  Mirvo\n" + d80 + "\n" + d80 + "\n  B\n"},
        {"own long line",
         "UTF-8",
         80,
         {{Step::Text, std::string(85, 'x') + "\n"}},
         std::string(80, 'x') + "\n" + std::string(5, 'x') + "\n"},
        {"prompts after echoed answers",
         "UTF-8",
         80,
         {{Step::Text, "Podaj nazwę pliku do zapisania(Bez spacji): "},
          {Step::LineRead, ""},
          {Step::Text, "Podaj nazwę utworu(bez spacji): "},
          {Step::LineRead, ""},
          {Step::Text, "Wpisz rok: \n"}},
         "Podaj nazw\xc4\x99 pliku do zapisania(Bez spacji): Podaj nazw\xc4\x99 utworu(bez "
         "spacji): Wpisz rok: \n"},
        {"controls take no column",
         "UTF-8",
         80,
         {{Step::Text, std::string(78, 'a')},
          {Step::Control, "\x1b[31m\x1b[40m"},
          {Step::Text, "bc"},
          {Step::Text, "d"}},
         std::string(78, 'a') + "\x1b[31m\x1b[40m" + "bc\nd"},
        {"a letter is one column",
         "UTF-8",
         80,
         {{Step::Text, std::string(79, 'a') + "ąę"}},
         std::string(79, 'a') + "\xc4\x85\n\xc4\x99"},
        {"UTF-8",
         "UTF-8",
         80,
         {{Step::Text, "Pograć ąćęłńóśźż"}},
         "Pogra\xc4\x87 \xc4\x85\xc4\x87\xc4\x99\xc5\x82\xc5\x84\xc3\xb3\xc5\x9b\xc5\xba\xc5\xbc"},
        {"ISO-8859-2",
         "ISO-8859-2",
         80,
         {{Step::Text, "Pograć ąćęłńóśźż"}},
         "Pogra\xe6 \xb1\xe6\xea\xb3\xf1\xf3\xb6\xbc\xbf"},
        {"ASCII",
         "ANSI_X3.4-1968",
         80,
         {{Step::Text, "Pograć ąćęłńóśźż ĄŻ"}},
         "Pograc acelnoszz AZ"},
        {"not a terminal",
         "",
         0,
         {{Step::Text, "Pograć" + std::string(100, 'x')}},
         "Pogra\x86" + std::string(100, 'x')},
    };
    for (const Case &c : cases) {
        std::unique_ptr<platform::Charset> cs;
        if (!c.charset.empty())
            cs = std::make_unique<platform::Charset>(c.charset);
        platform::Renderer r(cs.get(), c.width);
        std::string out;
        for (const Step &s : c.steps) {
            if (s.kind == Step::Text)
                r.text(s.bytes, out);
            else if (s.kind == Step::Control)
                r.control(s.bytes, out);
            else
                r.lineStart();
        }
        EXPECT_EQ(out, c.out) << c.what;
    }
}

TEST(Charset, PolishLettersDecideTheCodePageSwitch) {
    struct Case {
        const char *charset;
        bool polish;
    } cases[] = {{"UTF-8", true},
                 {"ISO-8859-2", true},
                 {"CP1250", true},
                 {"ANSI_X3.4-1968", false},
                 {"ISO-8859-1", false}};
    for (const Case &c : cases)
        EXPECT_EQ(platform::Charset(c.charset).showsPolish(), c.polish) << c.charset;
}

TEST(Charset, TypedTextBecomesCodePage852) {
    EXPECT_EQ(platform::toCp852("g\xea\xb6 x", "ISO-8859-2"), "gęś x");
    EXPECT_EQ(platform::toCp852("g\xc4\x99\xc5\x9b \xe2\x82\xac", "UTF-8"), "gęś ?");
    EXPECT_EQ(platform::toCp852("\xc0\xaf"
                                "a\xc4",
                                "UTF-8"),
              "??a?");
    EXPECT_EQ(platform::toCp852("g\xa9\x98", ""), "g\xa9\x98");
}

TEST(Attribute, ConsoleColoursThroughTerminfo) {
    platform::TerminalCaps xterm = platform::loadTerminalCaps("xterm-256color", true);
    ASSERT_TRUE(xterm.colours);
    struct Case {
        int attribute;
        const char *seq;
    } cases[] = {
        {0x07, "\x1b[37m\x1b[40m"},        // light grey on black
        {1 * 16 + 14, "\x1b[93m\x1b[44m"}, // yellow on dark blue: attribute 30
        {16, "\x1b[30m\x1b[44m"},          // letters 16 spill into the background
        {0xF0, "\x1b[30m\x1b[107m"},       // black on white
        {0x4C, "\x1b[91m\x1b[41m"},        // red on dark red
        {0x1234, "\x1b[31m\x1b[46m"},      // only the low byte is shown: red on dark cyan
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::attributeSequence(xterm, c.attribute), c.seq)
            << "attribute " << c.attribute;
    EXPECT_EQ(xterm.clear, "\x1b[H\x1b[2J");
    EXPECT_EQ(xterm.enterAlt, "\x1b[?1049h\x1b[22;0;0t");
    EXPECT_EQ(xterm.leaveAlt, "\x1b[?1049l\x1b[23;0;0t");

    platform::TerminalCaps noColour = platform::loadTerminalCaps("xterm-256color", false);
    EXPECT_EQ(platform::attributeSequence(noColour, 0x1E), "");
    EXPECT_EQ(noColour.clear, xterm.clear);
    for (const char *term : {"dumb", "no-such-terminal", ""}) {
        platform::TerminalCaps none = platform::loadTerminalCaps(term, true);
        EXPECT_EQ(none.clear + none.enterAlt + none.leaveAlt + none.resetAttrs, "") << term;
        EXPECT_EQ(platform::attributeSequence(none, 0x1E), "") << term;
    }
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

TEST(Messages, OwnMessagesBreakBetweenWords) {
    const std::string w9 = "xxxxxxxxx "; // ten columns
    std::string eight;
    for (int i = 0; i < 8; ++i)
        eight += w9;
    struct Case {
        std::string in, out;
    } cases[] = {
        {"krótki tekst", "krótki tekst"},
        {std::string(80, 'a'), std::string(80, 'a')},
        {std::string(79, 'a') + " b", std::string(79, 'a') + "\nb"},
        {std::string(80, 'a') + " b", std::string(80, 'a') + "\nb"},
        {eight + "koniec", eight.substr(0, 79) + "\nkoniec"},
        {"a\n" + std::string(79, 'b') + " c d", "a\n" + std::string(79, 'b') + "\nc d"},
        {std::string(90, 'a') + " b", std::string(90, 'a') + "\nb"}, // a word longer than a line
    };
    for (const Case &c : cases)
        EXPECT_EQ(Zawin(c.in), c.out) << c.in;
    // Every line of a long message fits the console.
    std::string notice = Zawin("Nie udało się otworzyć urządzenia dźwiękowego, dźwięki nie będą "
                               "słyszalne (wyjście można wybrać zmienną ALSOFT_DRIVERS, np. "
                               "ALSOFT_DRIVERS=pulse)!");
    EXPECT_EQ(notice, "Nie udało się otworzyć urządzenia dźwiękowego, dźwięki nie będą słyszalne\n"
                      "(wyjście można wybrać zmienną ALSOFT_DRIVERS, np. ALSOFT_DRIVERS=pulse)!");
}

TEST_F(Screen, NumberTooBigForAnIntIsWrongInput) {
    input("99999999999 4\n-2147483648\n");
    int n = 3;
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Zly);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(CzytajLiczbe(n), Odczyt::Ok);
    EXPECT_EQ(n, -2147483648);
}
