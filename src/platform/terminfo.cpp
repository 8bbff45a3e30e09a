#include "platform/terminfo.h"

#include <curses.h>
#include <term.h>

namespace platform {
namespace {

std::string capability(const char *name) {
    char *s = tigetstr(const_cast<char *>(name));
    if (s == nullptr || s == reinterpret_cast<char *>(-1))
        return {};
    return s;
}

// The console's colour bits are blue 1, green 2, red 4; ANSI's red 1, green 2, blue 4.
int ansiColour(int console) {
    return ((console & 4) ? 1 : 0) | ((console & 2) ? 2 : 0) | ((console & 1) ? 4 : 0);
}

std::string colour(const std::string &cap, int n) {
    if (cap.empty())
        return {};
    char *s = tiparm(cap.c_str(), n);
    return s ? s : "";
}

} // namespace

TerminalCaps loadTerminalCaps(const std::string &term, bool withColours) {
    TerminalCaps caps;
    if (term.empty() || term == "dumb")
        return caps;
    int err = 0;
    TERMINAL *old = cur_term;
    if (setupterm(term.c_str(), -1, &err) != OK)
        return caps;
    caps.clear = capability("clear");
    caps.enterAlt = capability("smcup");
    caps.leaveAlt = capability("rmcup");
    caps.resetAttrs = capability("sgr0");
    int colours = tigetnum(const_cast<char *>("colors"));
    std::string setaf = capability("setaf"), setab = capability("setab");
    if (withColours && colours >= 8 && !setaf.empty() && !setab.empty()) {
        caps.colours = true;
        for (int c = 0; c < 16; ++c) {
            // Bright colours where the terminal has sixteen, else the plain one.
            int n = ansiColour(c) + ((c & 8) && colours >= 16 ? 8 : 0);
            caps.fg[c] = colour(setaf, n);
            caps.bg[c] = colour(setab, n);
        }
    }
    del_curterm(cur_term);
    set_curterm(old);
    return caps;
}

std::string attributeSequence(const TerminalCaps &caps, int attribute) {
    if (!caps.colours)
        return {};
    int low = attribute & 0xFF;
    return caps.fg[low & 15] + caps.bg[(low >> 4) & 15];
}

} // namespace platform
