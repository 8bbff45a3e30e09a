// The command line: --help, --version and --demo. Without arguments the
// program starts as it always did; anything else is refused before any file
// or the terminal is touched.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Action { Start, Help, Version, Demo, Wrong };

// What the arguments after the program's name ask for.
Action parse(const std::vector<std::string> &args);

// The texts of --help and --version, in code page 852.
std::string helpText();
std::string versionText();

// Code page 852 text in the charset codeset (as nl_langinfo names it); a
// letter the charset lacks is transliterated, or '?' when nothing fits.
std::string toCharset(std::string_view cp852, const std::string &codeset);

// The charset of the user's locale (LC_ALL, LC_CTYPE, LANG); takes the
// user's locale for the process.
std::string localeCodeset();

// Where the demo is looked for, beside the executable exe: the installed one
// first, then the build tree's.
std::vector<std::filesystem::path> demoCandidates(const std::filesystem::path &exe);
// The first candidate that holds a Keys.tdf.
std::optional<std::filesystem::path> findDemo(const std::filesystem::path &exe);

// The user's copy of the demo: $XDG_DATA_HOME/brzdekomat/demo, or
// HOME/.local/share/brzdekomat/demo when XDG_DATA_HOME is unset, empty or
// relative. Empty when neither gives a directory.
std::filesystem::path userDemoDir(const char *xdgDataHome, const std::string &home);

struct CopyFailure {
    std::string what; // code page 852
    std::filesystem::path path;
    std::string reason; // the system's words
};

// Copies into dst what it lacks of the demo in src (its three data files and
// its sounds/); nothing that dst holds is ever replaced, so the user's
// settings and songs stay. Each file appears whole or not at all.
std::optional<CopyFailure> copyDemo(const std::filesystem::path &src,
                                    const std::filesystem::path &dst);

// Acts on the arguments: prints help or version, refuses a wrong argument,
// or prepares and enters the demo. Returns the exit status when the program
// must end now, or -1 when it should start as usual.
int handle(const std::vector<std::string> &args);

} // namespace cli
