// What the terminal named by TERM can do, from its terminfo entry.
#pragma once

#include <string>

namespace platform {

// Empty strings where the terminal lacks a capability: nothing is sent then.
struct TerminalCaps {
    std::string clear;      // clear the screen, cursor top left
    std::string enterAlt;   // the alternate screen, the user's screen kept
    std::string leaveAlt;   // the user's screen back
    std::string resetAttrs; // the terminal's own colours back
    std::string fg[16];     // letter colours by console number
    std::string bg[16];     // background colours by console number
    bool colours = false;
};

// The capabilities of terminal type term; TERM=dumb, a type terminfo does not
// know, or an empty type give none at all; withColours false leaves colours out.
TerminalCaps loadTerminalCaps(const std::string &term, bool withColours);

// The console attribute (background * 16 + letters, low byte shown) as the
// terminal's colour sequences; empty without colours.
std::string attributeSequence(const TerminalCaps &caps, int attribute);

} // namespace platform
