#include "support/harness.h"

#include <fstream>
#include <iostream>

#include "platform/terminal.h"
#include "shell/state.h"

namespace testing_support {

void resetState() {
    delete[] MapaDzwiekow;
    delete[] MapaKlawiszy;
    delete[] MapaPoziomow;
    delete[] NazwaPoziomow;
    delete[] OpisPoziomow;
    delete[] Konfiguracja;
    MapaDzwiekow = nullptr;
    MapaKlawiszy = nullptr;
    MapaPoziomow = nullptr;
    NazwaPoziomow = nullptr;
    OpisPoziomow = nullptr;
    Konfiguracja = nullptr;
    IloscDzwiekow = IloscPoziomow = Glosnosc = 0;
    for (std::string &s : Klawiszowe)
        s.clear();
}

std::string banner() {
    return "                             Mirvo Information\n" + std::string(160, '-') +
           "                             Brzdekomat 0.3\n";
}

void ScreenTest::SetUp() {
    resetState();
    oldDir_ = std::filesystem::current_path();
    std::string tmpl = (std::filesystem::temp_directory_path() / "brzdekomat-XXXXXX").string();
    dir = mkdtemp(tmpl.data());
    std::filesystem::current_path(dir);
    oldIn_ = std::cin.rdbuf(in_.rdbuf());
    oldOut_ = std::cout.rdbuf(out_.rdbuf());
    oldErr_ = std::cerr.rdbuf(err_.rdbuf());
    std::cin.clear();
    platform::setClock(&clock);
    platform::setTimedKeyReader([this] {
        if (keys_.empty()) {
            ++pastEnd_;
            return platform::TimedKey{27,
                                      clock.now}; // as at the end of input: every mode can leave
        }
        Key k = keys_.front();
        keys_.pop_front();
        if (k.at > clock.now)
            clock.now = k.at;
        platform::TimedKey pressed{k.code, clock.now};
        clock.now += k.late;
        return pressed;
    });
    settings(5, 0, 7);
}

void ScreenTest::TearDown() {
    platform::setTimedKeyReader({});
    platform::setClock(nullptr);
    std::cin.rdbuf(oldIn_);
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
    std::cin.clear();
    std::filesystem::current_path(oldDir_);
    std::filesystem::remove_all(dir);
    resetState();
}

void ScreenTest::input(const std::string &text) {
    in_.str(text);
    in_.clear();
    std::cin.clear();
}

void ScreenTest::keys(std::vector<Key> k) {
    keys_.assign(k.begin(), k.end());
}

void ScreenTest::writeFile(const std::string &name, const std::string &content) {
    std::ofstream(name, std::ios::binary) << content;
}

std::string ScreenTest::readFile(const std::string &name) {
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool ScreenTest::exists(const std::string &name) {
    return std::filesystem::exists(name);
}

void ScreenTest::keyMap(const std::vector<KeyMapEntry> &entries) {
    IloscDzwiekow = static_cast<int>(entries.size());
    MapaDzwiekow = new std::string[entries.size()];
    MapaKlawiszy = new unsigned char[entries.size()];
    MapaPoziomow = new int[entries.size()];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        MapaDzwiekow[i] = entries[i].file;
        MapaKlawiszy[i] = entries[i].key;
        MapaPoziomow[i] = entries[i].level;
    }
}

void ScreenTest::levels(const std::vector<Level> &ls) {
    IloscPoziomow = static_cast<int>(ls.size());
    NazwaPoziomow = new std::string[ls.size()];
    OpisPoziomow = new std::string[ls.size()];
    for (std::size_t i = 0; i < ls.size(); ++i) {
        NazwaPoziomow[i] = ls[i].name;
        OpisPoziomow[i] = ls[i].description;
    }
}

void ScreenTest::settings(int volume, int background, int letters, std::vector<std::string> slots) {
    delete[] Konfiguracja;
    Konfiguracja = new int[3]{0, background, letters};
    Glosnosc = volume;
    for (int i = 0; i < 4; ++i)
        Klawiszowe[i] = slots[i];
}

} // namespace testing_support
