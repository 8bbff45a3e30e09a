#include <gtest/gtest.h>

#include "shell/log.h"
#include "support/harness.h"

using testing_support::ScreenTest;

class EventLog : public ScreenTest {};

const char kHeader[] = "               LOG Z BRZDEKOMAT\n";

TEST_F(EventLog, ClearLeavesTheHeaderAlone) {
    writeFile("Log.txt", "old content\n");
    LogClear();
    EXPECT_EQ(readFile("Log.txt"), kHeader);
}

TEST_F(EventLog, EntriesFollowTheHeaderWithTheirPrefix) {
    LogClear();
    struct Case {
        int type;
        const char *text;
        const char *line;
    } cases[] = {
        {1, "a", "    [NorInf] a\n"},
        {2, "abc", "    [FilErr] abc\n"},
        {3, "", "    [MusNot] \n"},
        {4, "x\ny", "    [SavErr] x\ny\n"},
        {5, "ż", "    [CrtErr] ż\n"},
        {0, "t", "    [LogErr] Zly typ bledu. Tresc bledu : t\n"},
        {6, "t", "    [LogErr] Zly typ bledu. Tresc bledu : t\n"},
        {-1, "t", "    [LogErr] Zly typ bledu. Tresc bledu : t\n"},
    };
    std::string expected = kHeader;
    for (const Case &c : cases) {
        Log(c.type, c.text);
        expected += c.line;
    }
    EXPECT_EQ(readFile("Log.txt"), expected);
}

TEST_F(EventLog, LogWithoutAFileCreatesItWithoutHeader) {
    Log(2, "abc");
    EXPECT_EQ(readFile("Log.txt"), "    [FilErr] abc\n");
}
