#include "platform/terminal.h"

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <langinfo.h>
#include <poll.h>
#include <streambuf>
#include <termios.h>
#include <unistd.h>

#include "platform/cp852.h"
#include "platform/keydecoder.h"

namespace platform {
namespace {

// How long a lone Esc waits for the rest of a sequence.
constexpr int kEscapeTimeoutMs = 30;
constexpr int kConsoleWidth = 80;

bool stdinTty = false;
bool stdoutTty = false;
bool utf8Out = false;
bool utf8In = false;

termios original{};
bool haveOriginal = false;
volatile std::sig_atomic_t inRawMode = 0;

void writeAll(int fd, const char *p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

// Output to a file descriptor, one write per flush. On a terminal the bytes
// are shown as UTF-8 and lines wrap at 80 columns as on the original console.
class OutBuf : public std::streambuf {
  public:
    OutBuf(int fd, bool terminal) : fd_(fd), terminal_(terminal) { setp(buf_, buf_ + sizeof buf_); }

    // Escape sequences go out in order with the text, outside the column count.
    void control(const std::string &s) {
        drain();
        pending_ += s;
    }
    void homeColumn() { col_ = 0; }

  protected:
    int_type overflow(int_type c) override {
        drain();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        drain();
        writeAll(fd_, pending_.data(), pending_.size());
        pending_.clear();
        return 0;
    }

  private:
    void drain() {
        for (char *p = pbase(); p < pptr(); ++p)
            put(static_cast<unsigned char>(*p));
        setp(buf_, buf_ + sizeof buf_);
        if (pending_.size() > (1u << 16)) {
            writeAll(fd_, pending_.data(), pending_.size());
            pending_.clear();
        }
    }
    void put(unsigned char b) {
        if (!terminal_) {
            pending_ += static_cast<char>(b);
            return;
        }
        if (b == '\n' || b == '\r') {
            pending_ += static_cast<char>(b);
            col_ = 0;
            return;
        }
        // A wider terminal would not wrap where the console did.
        if (col_ >= kConsoleWidth) {
            pending_ += "\r\n";
            col_ = 0;
        }
        if (utf8Out)
            appendUtf8(pending_, b);
        else
            pending_ += static_cast<char>(b);
        if (b >= 32)
            ++col_;
    }

    int fd_;
    bool terminal_;
    int col_ = 0;
    char buf_[4096];
    std::string pending_;
};

void setMode(bool raw) {
    if (!haveOriginal)
        return;
    termios t = original;
    if (raw) {
        t.c_lflag &= ~(ICANON | ECHO);
        t.c_iflag &= ~(ICRNL | IXON);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
    } else {
        t.c_lflag |= ICANON | ECHO;
        t.c_iflag |= ICRNL;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &t);
    inRawMode = raw;
}

// Standard input on a terminal: each read takes one line in canonical mode,
// with echo and line editing; between reads the terminal stays raw.
class TtyInBuf : public std::streambuf {
  protected:
    int_type underflow() override {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        std::cout.flush();
        setMode(false);
        char tmp[4096];
        ssize_t n;
        do
            n = ::read(STDIN_FILENO, tmp, sizeof tmp);
        while (n < 0 && errno == EINTR);
        setMode(true);
        // Ctrl-D typed before the switch to line mode arrives as its byte.
        if (n <= 0 || (n == 1 && tmp[0] == original.c_cc[VEOF]))
            return traits_type::eof();
        line_ = utf8In ? utf8ToCp852(std::string_view(tmp, n)) : std::string(tmp, n);
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(*gptr());
    }

  private:
    std::string line_;
};

OutBuf *out = nullptr;
OutBuf *err = nullptr;
TtyInBuf *in = nullptr;
std::function<int()> keyReader;
std::deque<int> keys;
KeyDecoder decoder;

int terminalKey() {
    while (keys.empty()) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        int r = ::poll(&p, 1, decoder.pending() ? kEscapeTimeoutMs : -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return 27;
        }
        if (r == 0) {
            decoder.timeout(keys);
            continue;
        }
        unsigned char buf[64];
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 27; // the terminal is gone: let every mode leave
        for (ssize_t i = 0; i < n; ++i)
            decoder.add(buf[i], keys);
    }
    int k = keys.front();
    keys.pop_front();
    return k;
}

int streamKey() {
    int c = std::cin.rdbuf()->sbumpc();
    return c == std::char_traits<char>::eof() ? 27 : c;
}

const char kResetColours[] = "\x1b[0m";

// Only async-signal-safe calls: used from signal handlers too.
void restoreRaw() {
    if (haveOriginal)
        tcsetattr(STDIN_FILENO, TCSANOW, &original);
    if (stdoutTty)
        writeAll(STDOUT_FILENO, kResetColours, sizeof kResetColours - 1);
}

void onFatalSignal(int sig) {
    restoreRaw();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void onStop(int) {
    bool raw = inRawMode;
    restoreRaw();
    inRawMode = raw;
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
}

void onContinue(int) {
    std::signal(SIGTSTP, onStop);
    if (haveOriginal)
        setMode(inRawMode);
}

void atExit() {
    std::cout.flush();
    std::cerr.flush();
    restoreConsole();
}

bool localeIsUtf8() {
    std::setlocale(LC_CTYPE, "");
    std::string codeset = nl_langinfo(CODESET);
    std::setlocale(LC_CTYPE, "C");
    return codeset == "UTF-8" || codeset == "utf8";
}

} // namespace

void initConsole() {
    std::ios::sync_with_stdio(false);
    stdinTty = ::isatty(STDIN_FILENO);
    stdoutTty = ::isatty(STDOUT_FILENO);
    bool utf8 = localeIsUtf8();

    static OutBuf outBuf(STDOUT_FILENO, stdoutTty);
    out = &outBuf;
    std::cout.rdbuf(out);
    if (::isatty(STDERR_FILENO)) {
        static OutBuf errBuf(STDERR_FILENO, true);
        err = &errBuf;
        std::cerr.rdbuf(err);
    }
    if (stdinTty) {
        static TtyInBuf inBuf;
        in = &inBuf;
        std::cin.rdbuf(in);
        utf8In = utf8;
        setKeyDecoderUtf8(utf8);
        if (tcgetattr(STDIN_FILENO, &original) == 0)
            haveOriginal = true;
        setMode(true);
    }
    std::atexit(atExit);
    struct sigaction sa {};
    sa.sa_handler = onFatalSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
    if (haveOriginal) {
        std::signal(SIGTSTP, onStop);
        std::signal(SIGCONT, onContinue);
    }
}

void restoreConsole() {
    if (out)
        out->pubsync();
    restoreRaw();
}

int switchCodePage852() {
    if (!stdoutTty)
        return 0; // bytes go out unchanged, as to a redirected console
    std::setlocale(LC_CTYPE, "");
    std::string codeset = nl_langinfo(CODESET);
    std::setlocale(LC_CTYPE, "C");
    if (codeset == "UTF-8" || codeset == "utf8") {
        utf8Out = true;
        return 0;
    }
    return codeset.find("852") != std::string::npos ? 0 : 1;
}

std::string sgrForAttribute(int attribute) {
    int low = attribute & 0xFF;
    auto ansi = [](int c) { return ((c & 4) ? 1 : 0) | ((c & 2) ? 2 : 0) | ((c & 1) ? 4 : 0); };
    int fg = low & 15, bg = (low >> 4) & 15;
    int fgCode = ((fg & 8) ? 90 : 30) + ansi(fg);
    int bgCode = ((bg & 8) ? 100 : 40) + ansi(bg);
    return "\x1b[0;" + std::to_string(fgCode) + ";" + std::to_string(bgCode) + "m";
}

void applyAttribute(int attribute) {
    if (out && stdoutTty)
        out->control(sgrForAttribute(attribute));
}

void clearScreen() {
    if (out && stdoutTty) {
        out->control("\x1b[H\x1b[2J\x1b[3J");
        out->homeColumn();
    }
}

int readKey() {
    std::cout.flush();
    if (keyReader)
        return keyReader();
    return stdinTty ? terminalKey() : streamKey();
}

void setKeyReader(std::function<int()> reader) {
    keyReader = std::move(reader);
}

} // namespace platform
