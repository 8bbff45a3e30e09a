#include "render/render.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <getopt.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "piano/sounds.h"
#include "platform/audio_openal.h"
#include "platform/charset.h"
#include "platform/cp852.h"
#include "settings/config.h"
#include "shell/state.h"

namespace render {

// --- Formats ---------------------------------------------------------------

namespace {

const Format kFormaty[] = {
    {".wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, true},
    {".flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, false},
    {".ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, false},
    {".aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, true},
    {".opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, false},
};

// Whether this libsndfile writes the format at all.
bool dostepny(const Format &f) {
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = kDomyslnaCzestotliwosc;
    info.format = f.sf;
    return sf_format_check(&info) != 0;
}

std::string rozszerzenie(const std::string &sciezka) {
    std::size_t kropka = sciezka.rfind('.');
    std::size_t ukosnik = sciezka.rfind('/');
    if (kropka == std::string::npos || (ukosnik != std::string::npos && kropka < ukosnik))
        return "";
    std::string r = sciezka.substr(kropka);
    for (char &c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

} // namespace

const Format *FormatDla(const std::string &sciezka) {
    std::string r = rozszerzenie(sciezka);
    for (const Format &f : kFormaty)
        if (r == f.rozszerzenie && dostepny(f))
            return &f;
    return nullptr;
}

std::string ListaFormatow() {
    std::string lista;
    for (const Format &f : kFormaty)
        if (dostepny(f))
            lista += (lista.empty() ? "" : ", ") + std::string(f.rozszerzenie);
    return lista;
}

std::string SprawdzFormat(const Format &format, int czestotliwosc) {
    if ((format.sf & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS) {
        for (int r : {8000, 12000, 16000, 24000, 48000})
            if (r == czestotliwosc)
                return "";
        return "format .opus zapisuje tylko częstotliwości 8000, 12000, 16000, 24000 i 48000 Hz";
    }
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = czestotliwosc;
    info.format = format.sf;
    if (!sf_format_check(&info))
        return std::string("format ") + format.rozszerzenie + " nie przyjmuje częstotliwości " +
               std::to_string(czestotliwosc) + " Hz";
    return "";
}

// --- Schedule ----------------------------------------------------------------

std::int64_t Ramka(std::int64_t ms, int czestotliwosc) {
    // Whole seconds apart, so that no product can overflow however long the song.
    return ms / 1000 * czestotliwosc + ((ms % 1000) * czestotliwosc + 500) / 1000;
}

Plan Zaplanuj(const Utwor &u, int czestotliwosc) {
    Plan p;
    std::int64_t ms = 0;
    bool gra = true;
    for (std::size_t i = 0; i < u.dzwieki.size(); ++i) {
        // The same distinct-sound table as playback builds.
        std::size_t j = 0;
        while (j < p.dzwieki.size() && p.dzwieki[j] != u.dzwieki[i])
            ++j;
        if (j == p.dzwieki.size())
            p.dzwieki.push_back(u.dzwieki[i]);
        if (!gra)
            continue;
        p.nuty.push_back({Ramka(ms, czestotliwosc), static_cast<int>(j)});
        if (u.pauzy[i] == kKoniecUtworu) {
            gra = false;
            continue;
        }
        ms += u.pauzy[i];
    }
    p.koniecPauz = Ramka(ms, czestotliwosc);
    return p;
}

// --- Reasons -------------------------------------------------------------------

namespace {

std::string powodSystemu(int e) {
    switch (e) {
    case ENOENT:
        return "nie ma takiego pliku ani katalogu";
    case EACCES:
    case EPERM:
        return "brak uprawnień";
    case EISDIR:
        return "to jest katalog";
    case ENOTDIR:
        return "część ścieżki nie jest katalogiem";
    case ENOSPC:
        return "brak miejsca na urządzeniu";
    case EDQUOT:
        return "przekroczony przydział miejsca na dysku";
    case EROFS:
        return "system plików tylko do odczytu";
    case ENAMETOOLONG:
        return "za długa nazwa pliku";
    case EIO:
        return "błąd wejścia/wyjścia";
    }
    // English and plain ASCII, whatever the locale: it passes any conversion.
    const char *opis = strerrordesc_np(e);
    return opis ? opis : "błąd nr " + std::to_string(e);
}

bool katalog(const std::string &sciezka) {
    struct stat st {};
    return ::stat(sciezka.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why a file cannot be read: its own reason, or "" when it opens.
std::string czemuNieczytelny(const std::string &sciezka) {
    if (katalog(sciezka))
        return powodSystemu(EISDIR);
    int fd = ::open(sciezka.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return powodSystemu(errno);
    ::close(fd);
    return "";
}

// Why the adapter could not open a sound: the system's own reason for a file
// that is missing or unreadable, else the adapter's.
std::string czemuNieDzwiek(const std::string &nazwa) {
    using audiere::OpenFailure;
    OpenFailure f = audiere::lastOpenFailure();
    if (f == OpenFailure::NoFile || f == OpenFailure::Unreadable ||
        katalog(platform::pathToOpen(nazwa))) {
        std::string powod = czemuNieczytelny(platform::pathToOpen(nazwa));
        if (!powod.empty())
            return powod;
    }
    switch (f) {
    case OpenFailure::NoFile:
        return powodSystemu(ENOENT);
    case OpenFailure::Unreadable:
        return powodSystemu(EACCES);
    case OpenFailure::TooLong:
        return "dźwięk jest za długi";
    case OpenFailure::TooManySounds:
        return "za dużo dźwięków naraz, mikser nie ma dla niego miejsca";
    default:
        return "to nie jest plik dźwiękowy, który ten program umie odczytać";
    }
}

// Frames of a sound file at the output rate, as far as its header tells.
std::int64_t dlugoscDzwieku(const std::string &plik, int czestotliwosc) {
    SF_INFO info{};
    SNDFILE *f = sf_open(plik.c_str(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    if (info.samplerate <= 0 || info.frames <= 0)
        return 0;
    long double n = static_cast<long double>(info.frames) * czestotliwosc / info.samplerate;
    return static_cast<std::int64_t>(std::ceil(n));
}

} // namespace

// --- Mixing --------------------------------------------------------------------

bool Mikser::otworz(const Plan &plan, int czestotliwosc, int glosnosc, Blad &blad) {
    plan_ = plan;
    urzadzenie_ = audiere::AudioDevicePtr(audiere::openLoopbackDevice(czestotliwosc));
    if (!urzadzenie_) {
        blad = {"", false,
                "nie można otworzyć miksera OpenAL Soft (ALC_SOFT_loopback) dla " +
                    std::to_string(czestotliwosc) + " Hz",
                1};
        return false;
    }
    // The sounds get their volume as playback's do: from Glosnosc.
    Glosnosc = glosnosc;
    std::vector<std::int64_t> ostatni(plan_.dzwieki.size(), -1);
    for (const Nuta &n : plan_.nuty)
        ostatni[n.dzwiek] = n.ramka;
    dlugosc_ = plan_.koniecPauz;
    for (std::size_t j = 0; j < plan_.dzwieki.size(); ++j) {
        const std::string &nazwa = plan_.dzwieki[j];
        dzwieki_.push_back(OtworzDzwiek(urzadzenie_.get(), nazwa));
        if (!dzwieki_.back()) {
            blad = {nazwa, true, "nie można otworzyć dźwięku: " + czemuNieDzwiek(nazwa), 1};
            return false;
        }
        UstawGlosnosc(dzwieki_.back().get());
        if (ostatni[j] >= 0)
            dlugosc_ = std::max(
                dlugosc_, ostatni[j] + dlugoscDzwieku(platform::pathToOpen(nazwa), czestotliwosc));
    }
    pozycja_ = 0;
    nastepna_ = 0;
    return true;
}

int Mikser::dalej(float *out, int n) {
    const std::vector<Nuta> &nuty = plan_.nuty;
    // Notes due now are triggered before the block, so they start at its first frame.
    while (nastepna_ < nuty.size() && nuty[nastepna_].ramka <= pozycja_) {
        Wyzwol(dzwieki_[nuty[nastepna_].dzwiek].get(), 0);
        ++nastepna_;
    }
    if (pozycja_ >= dlugosc_)
        return wybrzmij(out, n);
    std::int64_t cel = dlugosc_;
    if (nastepna_ < nuty.size())
        cel = std::min(cel, nuty[nastepna_].ramka);
    int k = static_cast<int>(std::min<std::int64_t>(n, cel - pozycja_));
    if (!audiere::renderLoopback(urzadzenie_.get(), out, k))
        return 0;
    pozycja_ += k;
    return k;
}

// Past the end that the files' lengths give (a resampled sound runs a frame or
// so longer): the sounds ring out while OpenAL still plays them, up to their
// last sample that is not silent.
int Mikser::wybrzmij(float *out, int n) {
    constexpr int kKrok = 16;
    while (ogon_.empty()) {
        bool gra = false;
        for (const auto &d : dzwieki_)
            gra = gra || d->isPlaying();
        if (!gra)
            return 0;
        float blok[2 * kKrok];
        if (!audiere::renderLoopback(urzadzenie_.get(), blok, kKrok))
            return 0;
        int ostatnia = -1;
        for (int f = 0; f < kKrok; ++f)
            if (blok[2 * f] != 0.0f || blok[2 * f + 1] != 0.0f)
                ostatnia = f;
        if (ostatnia < 0) {
            cisza_ += kKrok; // silence is kept back until something follows it
            continue;
        }
        ogon_.assign(static_cast<std::size_t>(2 * cisza_), 0.0f);
        ogon_.insert(ogon_.end(), blok, blok + 2 * (ostatnia + 1));
        cisza_ = kKrok - 1 - ostatnia;
    }
    int k = std::min(n, static_cast<int>(ogon_.size() / 2));
    std::copy(ogon_.begin(), ogon_.begin() + 2 * k, out);
    ogon_.erase(ogon_.begin(), ogon_.begin() + 2 * k);
    pozycja_ += k;
    dlugosc_ = pozycja_;
    return k;
}

// --- Output file -----------------------------------------------------------------

namespace {

// What the signal handler may touch: plain bytes and flags.
char gTymczasowy[PATH_MAX + 16];
volatile sig_atomic_t gJestTymczasowy = 0;
volatile sig_atomic_t gPasek = 0;

class BlokadaSygnalow {
  public:
    BlokadaSygnalow() {
        sigset_t s;
        sigemptyset(&s);
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&s, sig);
        sigprocmask(SIG_BLOCK, &s, &stare_);
    }
    ~BlokadaSygnalow() { sigprocmask(SIG_SETMASK, &stare_, nullptr); }

  private:
    sigset_t stare_;
};

const char kCzyszczenie[] =
    "\r                                                                               \r";

void poSygnale(int sig) {
    int e = errno;
    if (gJestTymczasowy)
        ::unlink(gTymczasowy);
    if (gPasek) {
        ssize_t w = ::write(STDERR_FILENO, kCzyszczenie, sizeof kCzyszczenie - 1);
        (void)w;
    }
    errno = e;
    // Delivered again once the handler returns, now with its default action.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

bool tenSamPlik(const std::string &a, const std::string &b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string bladZapisu(SNDFILE *f) {
    if (errno != 0)
        return powodSystemu(errno);
    return sf_strerror(f);
}

} // namespace

void ZainstalujSprzatanie() {
    struct sigaction sa {};
    sa.sa_handler = poSygnale;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

bool PlikWyjsciowy::otworz(const std::string &sciezka, const Format &format, int czestotliwosc,
                           Blad &blad) {
    auto nie = [&](const std::string &powod) {
        blad = {sciezka, false, "nie można utworzyć pliku: " + powod, 1};
        porzuc();
        return false;
    };
    if (katalog(sciezka))
        return nie(powodSystemu(EISDIR));
    std::string wzor = sciezka + ".XXXXXX";
    if (wzor.size() >= sizeof gTymczasowy)
        return nie(powodSystemu(ENAMETOOLONG));
    {
        BlokadaSygnalow blokada;
        std::memcpy(gTymczasowy, wzor.c_str(), wzor.size() + 1);
        fd_ = ::mkostemp(gTymczasowy, O_CLOEXEC);
        if (fd_ < 0)
            return nie(powodSystemu(errno));
        gJestTymczasowy = 1;
        sciezka_ = sciezka;
    }
    // mkstemp makes the file private; give it the mode a plain create would.
    mode_t maska = ::umask(0);
    ::umask(maska);
    ::fchmod(fd_, 0666 & ~maska);
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = czestotliwosc;
    info.format = format.sf;
    errno = 0;
    SNDFILE *f = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
    if (!f)
        return nie(std::string("libsndfile: ") + sf_strerror(nullptr));
    plik_ = f;
    pcm16_ = (format.sf & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    // Lossy encoders take floats; should one convert, it clips instead of wrapping.
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool PlikWyjsciowy::zapisz(const float *ramki, int n, Blad &blad) {
    auto *f = static_cast<SNDFILE *>(plik_);
    constexpr int kKawalek = 2048;
    float wartosci[2 * kKawalek];
    short probki[2 * kKawalek];
    for (int at = 0; at < n;) {
        int k = std::min(n - at, kKawalek);
        // Clipped here for every format alike (lossy encoders take floats as
        // they come); 16-bit samples are rounded here too, so that every
        // lossless format holds the same samples: a 16-bit sound file at
        // volume 10 comes out bit for bit.
        for (int i = 0; i < 2 * k; ++i) {
            float v = ramki[2 * at + i];
            wartosci[i] = v != v ? 0.0f : std::clamp(v, -1.0f, 1.0f);
            probki[i] =
                static_cast<short>(std::clamp(std::lrint(wartosci[i] * 32768.0f), -32768L, 32767L));
        }
        errno = 0;
        sf_count_t zapisane =
            pcm16_ ? sf_writef_short(f, probki, k) : sf_writef_float(f, wartosci, k);
        if (zapisane != k) {
            blad = {sciezka_, false, "nie można zapisać pliku: " + bladZapisu(f), 1};
            porzuc();
            return false;
        }
        at += k;
    }
    return true;
}

bool PlikWyjsciowy::zakoncz(Blad &blad) {
    auto *f = static_cast<SNDFILE *>(plik_);
    plik_ = nullptr;
    errno = 0;
    int zamkniecie = sf_close(f);
    std::string powod;
    if (zamkniecie != 0)
        powod = bladZapisu(nullptr);
    else if (::fsync(fd_) != 0)
        powod = powodSystemu(errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && powod.empty())
        powod = powodSystemu(errno);
    if (powod.empty()) {
        BlokadaSygnalow blokada;
        if (std::rename(gTymczasowy, sciezka_.c_str()) == 0) {
            gJestTymczasowy = 0;
            return true;
        }
        powod = powodSystemu(errno);
    }
    blad = {sciezka_, false, "nie można zapisać pliku: " + powod, 1};
    porzuc();
    return false;
}

void PlikWyjsciowy::porzuc() {
    if (plik_)
        sf_close(static_cast<SNDFILE *>(plik_));
    plik_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    BlokadaSygnalow blokada;
    if (gJestTymczasowy)
        ::unlink(gTymczasowy);
    gJestTymczasowy = 0;
}

PlikWyjsciowy::~PlikWyjsciowy() {
    porzuc();
}

// --- Progress --------------------------------------------------------------------

Postep::Postep(bool terminal, Zegar zegar, Pisz pisz)
    : terminal_(terminal), zegar_(std::move(zegar)), pisz_(std::move(pisz)), start_(zegar_()) {}

std::string Postep::pasek(std::int64_t zrobione, std::int64_t wszystkie) {
    constexpr int kSzerokosc = 50;
    int procent = wszystkie > 0 ? static_cast<int>(zrobione * 100 / wszystkie) : 100;
    procent = std::clamp(procent, 0, 100);
    int pelne = procent * kSzerokosc / 100;
    std::string p = "Renderowanie [";
    p += std::string(pelne, '#') + std::string(kSzerokosc - pelne, '.');
    std::string liczba = std::to_string(procent);
    p += "] " + std::string(3 - liczba.size(), ' ') + liczba + "%";
    return p;
}

void Postep::pokaz(std::int64_t zrobione, std::int64_t wszystkie) {
    if (!terminal_)
        return;
    std::int64_t teraz = zegar_() - start_;
    if (teraz < 1000 || (ostatnio_ >= 0 && teraz - ostatnio_ < 100))
        return;
    ostatnio_ = teraz;
    widoczny_ = true;
    gPasek = 1;
    pisz_("\r" + pasek(zrobione, wszystkie));
}

void Postep::zakoncz() {
    if (!widoczny_)
        return;
    pisz_(kCzyszczenie);
    widoczny_ = false;
    gPasek = 0;
}

// --- Text ------------------------------------------------------------------------

Tekst::Tekst(const std::string &kodowanie) : zestaw_(kodowanie) {}

std::string Tekst::zCp852(const std::string &cp852) const {
    return zestaw_.fromCp852(cp852);
}

std::string Tekst::linia(const Blad &blad) const {
    std::string l = "brzdekomat-render: ";
    if (!blad.plik.empty())
        l += (blad.plikZDanych ? zCp852(blad.plik) : blad.plik) + ": ";
    return l + zCp852(blad.powod) + "\n";
}

// --- The tool --------------------------------------------------------------------

namespace {

const char kUzycie[] = "Użycie: brzdekomat-render [OPCJE] UTWÓR.tsf WYJŚCIE\n";

std::string pomoc() {
    return std::string(kUzycie) +
           "Zapisuje utwór Brzdekomatu (plik .tsf) jako plik dźwiękowy, tak jak brzmi\n"
           "przy odtwarzaniu. Format wynika z rozszerzenia pliku WYJŚCIE: " +
           ListaFormatow() +
           ".\n"
           "\n"
           "  --rate HZ        częstotliwość próbkowania w Hz (domyślnie 48000)\n"
           "  --volume 0..10   głośność w dziesiątych (domyślnie ta z Confing.tdf\n"
           "                   w katalogu roboczym, bez niego 8)\n"
           "  -h, --help       ten opis\n"
           "      --version    wersja programu\n"
           "\n"
           "Nazwy dźwięków utworu odnoszą się do katalogu roboczego, jak przy odtwarzaniu.\n"
           "Status wyjścia: 0 gotowe, 1 błąd, 2 złe użycie.\n";
}

bool liczbaCala(const char *tekst, long &wartosc) {
    if (!tekst || !*tekst)
        return false;
    char *koniec = nullptr;
    errno = 0;
    long v = std::strtol(tekst, &koniec, 10);
    if (errno != 0 || *koniec != '\0' || std::isspace(static_cast<unsigned char>(*tekst)))
        return false;
    wartosc = v;
    return true;
}

std::int64_t teraz() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int zadanie(int argc, char **argv, const Tekst &tekst) {
    auto zglos = [&](const Blad &b) {
        std::fputs(tekst.linia(b).c_str(), stderr);
        return b.status;
    };
    auto uzycie = [&](const std::string &powod) {
        return zglos({"", false, powod + " (zobacz brzdekomat-render --help)", 2});
    };
    const option opcje[] = {{"rate", required_argument, nullptr, 'r'},
                            {"volume", required_argument, nullptr, 'v'},
                            {"help", no_argument, nullptr, 'h'},
                            {"version", no_argument, nullptr, 'V'},
                            {nullptr, 0, nullptr, 0}};
    int czestotliwosc = kDomyslnaCzestotliwosc;
    long glosnosc = -1;
    opterr = 0;
    optind = 1;
    for (;;) {
        int o = getopt_long(argc, argv, ":h", opcje, nullptr);
        if (o == -1)
            break;
        long v = 0;
        switch (o) {
        case 'r':
            if (!liczbaCala(optarg, v) || v < kMinCzestotliwosc || v > kMaxCzestotliwosc)
                return uzycie("--rate: \"" + std::string(optarg) +
                              "\" nie jest częstotliwością od 8000 do 192000 Hz");
            czestotliwosc = static_cast<int>(v);
            break;
        case 'v':
            if (!liczbaCala(optarg, v) || v < 0 || v > 10)
                return uzycie("--volume: \"" + std::string(optarg) +
                              "\" nie jest głośnością od 0 do 10");
            glosnosc = v;
            break;
        case 'h':
            std::fputs(tekst.zCp852(pomoc()).c_str(), stdout);
            return 0;
        case 'V':
            std::fputs("brzdekomat-render (Brzdekomat) 0.3\n", stdout);
            return 0;
        case ':':
            return uzycie("opcja " + std::string(argv[optind - 1]) + " wymaga wartości");
        default:
            return uzycie("nieznana opcja " + std::string(argv[optind - 1]));
        }
    }
    if (argc - optind != 2)
        return uzycie("podaj plik utworu i plik wyjściowy");
    const std::string utwor = argv[optind], wyjscie = argv[optind + 1];

    const Format *format = FormatDla(wyjscie);
    if (!format)
        return zglos({wyjscie, false,
                      "nieznany format pliku wyjściowego; obsługiwane: " + ListaFormatow(), 2});
    std::string zly = SprawdzFormat(*format, czestotliwosc);
    if (!zly.empty())
        return zglos({wyjscie, false, zly, 2});
    if (glosnosc < 0)
        glosnosc = GlosnoscZConfing();

    Utwor u;
    std::string blad;
    std::string brak = katalog(utwor) ? powodSystemu(EISDIR) : "";
    if (brak.empty()) {
        switch (WczytajUtwor(utwor, u, blad)) {
        case Wczytanie::BrakPliku:
            brak = czemuNieczytelny(utwor);
            if (brak.empty())
                brak = "nie można otworzyć";
            break;
        case Wczytanie::Bledny:
            return zglos({utwor, false, "nie można odtworzyć pliku: " + blad, 1});
        case Wczytanie::Ok:
            break;
        }
    }
    if (!brak.empty())
        return zglos({utwor, false, "nie można otworzyć utworu: " + brak, 1});

    Plan plan = Zaplanuj(u, czestotliwosc);
    Mikser mikser;
    Blad b;
    if (!mikser.otworz(plan, czestotliwosc, static_cast<int>(glosnosc), b))
        return zglos(b);
    // Renaming over the song or one of its sounds would destroy what was rendered from.
    bool wlasny = tenSamPlik(wyjscie, utwor);
    for (const std::string &nazwa : plan.dzwieki)
        wlasny = wlasny || tenSamPlik(wyjscie, platform::pathToOpen(nazwa));
    if (wlasny)
        return zglos({wyjscie, false,
                      "to plik utworu lub jednego z jego dźwięków; nie zostanie nadpisany", 1});
    // 32-bit sizes: 4 bytes a frame, and room for the header.
    if (format->limit4GB && mikser.dlugosc() > (INT64_C(0xFFFFFFFF) - 4096) / 4)
        return zglos({wyjscie, false,
                      std::string("utwór jest za długi dla formatu ") + format->rozszerzenie +
                          " (najwyżej 4 GiB); wybierz .flac lub .ogg",
                      1});

    ZainstalujSprzatanie();
    PlikWyjsciowy plik;
    if (!plik.otworz(wyjscie, *format, czestotliwosc, b))
        return zglos(b);
    Postep postep(::isatty(STDERR_FILENO), teraz, [](const std::string &s) {
        std::fputs(s.c_str(), stderr);
        std::fflush(stderr);
    });
    std::vector<float> bufor(2 * 4096);
    for (;;) {
        int n = mikser.dalej(bufor.data(), 4096);
        if (n == 0)
            break;
        if (!plik.zapisz(bufor.data(), n, b)) {
            postep.zakoncz();
            return zglos(b);
        }
        postep.pokaz(mikser.pozycja(), mikser.dlugosc());
    }
    postep.zakoncz();
    if (!plik.zakoncz(b))
        return zglos(b);
    return 0;
}

} // namespace

int Glowna(int argc, char **argv) {
    // The loopback device needs no output driver: none is probed, and no
    // sound server is woken for a render.
    setenv("ALSOFT_DRIVERS", "null", 1);
    platform::initLocale();
    Tekst tekst(platform::localeCharset());
    return zadanie(argc, argv, tekst);
}

} // namespace render
