#include "shell/log.h"

#include <fstream>

namespace {
const char *const kLogFile = "Log.txt";
}

void LogClear() {
    std::ofstream f(kLogFile, std::ios::trunc);
    f << "               LOG Z BRZDEKOMAT\n";
}

void Log(int type, std::string text) {
    static const char *const prefixes[] = {
        "    [NorInf] ", "    [FilErr] ", "    [MusNot] ", "    [SavErr] ", "    [CrtErr] ",
    };
    const char *prefix =
        type >= 1 && type <= 5 ? prefixes[type - 1] : "    [LogErr] Zly typ bledu. Tresc bledu : ";
    std::ofstream f(kLogFile, std::ios::app);
    f << prefix << text << '\n';
}
