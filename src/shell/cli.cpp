#include "shell/cli.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "build_info.h"
#include "platform/charset.h"

namespace fs = std::filesystem;

namespace cli {

namespace {

// Where the installed demo lies relative to the installed executable.
#ifndef BRZDEKOMAT_DEMO_FROM_BIN
#define BRZDEKOMAT_DEMO_FROM_BIN "../share/brzdekomat/demo"
#endif

const char *const kDataFiles[] = {"Keys.tdf", "Levels.tdf", "Confing.tdf"};

// Writes all of text; false when the stream refuses it (a full disk, a
// closed pipe).
bool put(std::FILE *f, const std::string &text) {
    return std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0;
}

// An argument as the user typed it, on one line.
std::string shown(const std::string &arg) {
    std::string out;
    for (unsigned char c : arg)
        out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    return out;
}

std::string homeDirectory() {
    const char *home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd *pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::optional<CopyFailure> copyOne(const fs::path &from, const fs::path &to) {
    std::error_code ec;
    if (fs::symlink_status(to, ec).type() != fs::file_type::not_found)
        return std::nullopt; // the user's own, or copied before
    fs::create_directories(to.parent_path(), ec);
    if (ec)
        return CopyFailure{"Nie można utworzyć katalogu ", to.parent_path(), ec.message()};
    fs::path part = to;
    part += ".part";
    fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                        ec);
    if (!ec)
        fs::rename(part, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return CopyFailure{"Nie można skopiować ", from, ec.message()};
    }
    return std::nullopt;
}

int startDemo() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    std::optional<fs::path> demo = ec ? std::nullopt : findDemo(exe);
    const std::string codeset = localeCodeset();
    if (!demo) {
        std::string where;
        for (const fs::path &p : demoCandidates(exe))
            where += " " + p.string();
        put(stderr,
            toCharset("brzdekomat: nie znaleziono dema (szukano w:", codeset) + where + ")\n");
        return 1;
    }
    fs::path dst = userDemoDir(std::getenv("XDG_DATA_HOME"), homeDirectory());
    if (dst.empty()) {
        put(stderr, toCharset("brzdekomat: nie wiadomo, gdzie skopiować demo: brak HOME i "
                              "XDG_DATA_HOME\n",
                              codeset));
        return 1;
    }
    std::optional<CopyFailure> failure = copyDemo(*demo, dst);
    if (!failure && ::chdir(dst.c_str()) != 0)
        failure = CopyFailure{"Nie można wejść do ", dst, std::strerror(errno)};
    if (failure) {
        put(stderr, "brzdekomat: " + toCharset(failure->what, codeset) + failure->path.string() +
                        ": " + failure->reason + "\n");
        return 1;
    }
    return -1;
}

} // namespace

Action parse(const std::vector<std::string> &args) {
    if (args.empty())
        return Action::Start;
    if (args.size() > 1)
        return Action::Wrong;
    if (args[0] == "--help")
        return Action::Help;
    if (args[0] == "--version")
        return Action::Version;
    if (args[0] == "--demo")
        return Action::Demo;
    return Action::Wrong;
}

std::string helpText() {
    return "Użycie: brzdekomat [--demo | --help | --version]\n"
           "\n"
           "Brzdekomat zamienia klawiaturę komputera w fortepian: klawisze grają dźwięki\n"
           "przypisane im w mapie klawiszy, poziom po poziomie. Kreator melodii nagrywa\n"
           "to, co grasz, razem z rytmem, do pliku piosenki (.tsf), a odtwarzanie gra go\n"
           "tak, jak został zagrany. Wszystkie teksty programu są po polsku.\n"
           "\n"
           "Program pracuje w bieżącym katalogu: czyta z niego Keys.tdf (mapa klawiszy),\n"
           "Levels.tdf (poziomy) i Confing.tdf (ustawienia), zapisuje w nim Confing.tdf,\n"
           "piosenki i dziennik Log.txt. Bez pliku Keys.tdf nie wystartuje.\n"
           "\n"
           "  --demo     kopiuje dołączone demo do $XDG_DATA_HOME/brzdekomat/demo\n"
           "             (domyślnie ~/.local/share/brzdekomat/demo), jeśli go tam nie ma,\n"
           "             nigdy nie nadpisując Confing.tdf ani piosenek, i startuje w nim\n"
           "  --help     wypisuje ten opis\n"
           "  --version  wypisuje nazwę i wersję programu\n"
           "\n"
           "Bez argumentów program startuje w bieżącym katalogu. Więcej: man brzdekomat\n";
}

std::string versionText() {
    std::string build = BRZDEKOMAT_BUILD;
    return std::string("brzdekomat ") + BRZDEKOMAT_VERSION +
           (build.empty() ? "" : " (" + build + ")") + "\nLicencja MIT.\n";
}

std::string toCharset(std::string_view cp852, const std::string &codeset) {
    return platform::Charset(codeset).fromCp852(cp852);
}

std::string localeCodeset() {
    platform::initLocale();
    return platform::localeCharset();
}

std::vector<fs::path> demoCandidates(const fs::path &exe) {
    fs::path bin = exe.parent_path();
    return {(bin / BRZDEKOMAT_DEMO_FROM_BIN).lexically_normal(), bin / "demo"};
}

std::optional<fs::path> findDemo(const fs::path &exe) {
    for (const fs::path &dir : demoCandidates(exe)) {
        std::error_code ec;
        if (fs::is_regular_file(dir / "Keys.tdf", ec))
            return dir;
    }
    return std::nullopt;
}

fs::path userDemoDir(const char *xdgDataHome, const std::string &home) {
    fs::path base;
    if (xdgDataHome && xdgDataHome[0] == '/')
        base = xdgDataHome;
    else if (!home.empty())
        base = fs::path(home) / ".local" / "share";
    else
        return {};
    return base / "brzdekomat" / "demo";
}

std::optional<CopyFailure> copyDemo(const fs::path &src, const fs::path &dst) {
    std::error_code ec;
    fs::create_directories(dst, ec);
    if (ec)
        return CopyFailure{"Nie można utworzyć katalogu ", dst, ec.message()};
    std::vector<fs::path> files(std::begin(kDataFiles), std::end(kDataFiles));
    if (fs::is_directory(src / "sounds", ec)) {
        for (auto it = fs::recursive_directory_iterator(src / "sounds", ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            // The build's own marks (.made) are no part of the demo.
            if (it->path().filename().string().starts_with("."))
                continue;
            if (it->is_regular_file())
                files.push_back(it->path().lexically_relative(src));
        }
        if (ec)
            return CopyFailure{"Nie można odczytać ", src / "sounds", ec.message()};
    }
    for (const fs::path &rel : files) {
        if (!fs::exists(src / rel, ec))
            continue;
        if (auto failure = copyOne(src / rel, dst / rel))
            return failure;
    }
    return std::nullopt;
}

int handle(const std::vector<std::string> &args) {
    switch (parse(args)) {
    case Action::Start:
        return -1;
    case Action::Help:
    case Action::Version: {
        std::string text = parse(args) == Action::Help ? helpText() : versionText();
        if (put(stdout, toCharset(text, localeCodeset())))
            return 0;
        put(stderr, std::string("brzdekomat: ") + std::strerror(errno) + "\n");
        return 1;
    }
    case Action::Demo:
        return startDemo();
    case Action::Wrong:
        break;
    }
    const std::string codeset = localeCodeset();
    std::string line = args.size() > 1 ? toCharset("brzdekomat: za dużo argumentów", codeset)
                                       : toCharset("brzdekomat: nieznany argument '", codeset) +
                                             shown(args[0]) + "'";
    put(stderr, line + toCharset(" (opis użycia: brzdekomat --help)\n", codeset));
    return 2;
}

} // namespace cli
