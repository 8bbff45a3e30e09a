#include "platform/terminal.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>
#include <poll.h>
#include <streambuf>
#include <termios.h>
#include <unistd.h>

#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/render.h"
#include "platform/terminfo.h"

namespace platform {
namespace {

constexpr int kConsoleWidth = 80;

bool stdinTty = false;
bool stdoutTty = false;
std::string inputCharset; // empty: bytes as they are
TerminalCaps caps;
std::unique_ptr<Charset> charset;

termios original{};
bool haveOriginal = false;
volatile std::sig_atomic_t inRawMode = 0;
volatile std::sig_atomic_t onAltScreen = 0;

// What the signal handlers write: copies made before any handler is set.
char restoreText[256];
std::size_t restoreLen = 0;
char enterText[128];
std::size_t enterLen = 0;

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

// Output to a file descriptor, one write per flush, rendered for a terminal.
class OutBuf : public std::streambuf {
  public:
    OutBuf(int fd, bool terminal) : fd_(fd), renderer_(nullptr, terminal ? kConsoleWidth : 0) {
        setp(buf_, buf_ + sizeof buf_);
    }
    void setCharset(const Charset *c) { renderer_.setCharset(c); }

    // Escape sequences go out in order with the text, outside the column count.
    void control(const std::string &s) {
        drain();
        renderer_.control(s, pending_);
    }
    void lineStart() {
        drain();
        renderer_.lineStart();
    }

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
        renderer_.text(std::string_view(pbase(), pptr() - pbase()), pending_);
        setp(buf_, buf_ + sizeof buf_);
        if (pending_.size() > (1u << 16)) {
            writeAll(fd_, pending_.data(), pending_.size());
            pending_.clear();
        }
    }

    int fd_;
    Renderer renderer_;
    char buf_[4096];
    std::string pending_;
};

OutBuf *out = nullptr;
OutBuf *err = nullptr;

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
        // The user's echoed line and Enter put the cursor at a line start.
        if (out)
            out->lineStart();
        if (err)
            err->lineStart();
        // Ctrl-D typed before the switch to line mode arrives as its byte.
        if (n <= 0 || (n == 1 && tmp[0] == original.c_cc[VEOF]))
            return traits_type::eof();
        std::string_view typed(tmp, n);
        line_ = inputCharset.empty() ? std::string(typed) : toCp852(typed, inputCharset);
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(*gptr());
    }

  private:
    std::string line_;
};

TtyInBuf *in = nullptr;
std::function<TimedKey()> keyReader;
std::deque<TimedKey> keys;
std::unique_ptr<KeyDecoder> decoder;
std::int64_t lastKeyTime = 0;
std::string currentColours;

TimedKey terminalKey() {
    while (keys.empty()) {
        int timeout = -1;
        std::int64_t due = decoder->deadline();
        if (due >= 0) {
            std::int64_t now = nowMs();
            if (now >= due) {
                decoder->idle(now, keys);
                continue;
            }
            timeout = static_cast<int>(due - now);
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        int r = ::poll(&p, 1, timeout);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return {27, nowMs()};
        }
        if (r == 0)
            continue; // the deadline is checked above
        // One byte at a time: what is typed after the key stays in the
        // terminal for the next read, a line read included.
        unsigned char buf[1];
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {27, nowMs()}; // the terminal is gone: let every mode leave
        std::int64_t t = nowMs();
        for (ssize_t i = 0; i < n; ++i)
            decoder->add(buf[i], t, keys);
    }
    TimedKey k = keys.front();
    keys.pop_front();
    return k;
}

TimedKey streamKey() {
    int c = std::cin.rdbuf()->sbumpc();
    return {c == std::char_traits<char>::eof() ? 27 : c, nowMs()};
}

// Only async-signal-safe calls: used from signal handlers too.
void restoreRaw() {
    if (haveOriginal)
        tcsetattr(STDIN_FILENO, TCSANOW, &original);
    if (stdoutTty) {
        // The alternate screen is left only when it was entered.
        std::size_t n = onAltScreen ? restoreLen : caps.resetAttrs.size();
        writeAll(STDOUT_FILENO, restoreText, n);
    }
    onAltScreen = 0;
}

void onFatalSignal(int sig) {
    restoreRaw();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

volatile std::sig_atomic_t altBeforeStop = 0;

void onStop(int) {
    bool raw = inRawMode;
    altBeforeStop = onAltScreen;
    restoreRaw();
    inRawMode = raw;
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
}

void onContinue(int) {
    std::signal(SIGTSTP, onStop);
    if (haveOriginal)
        setMode(inRawMode);
    if (altBeforeStop && stdoutTty) {
        writeAll(STDOUT_FILENO, enterText, enterLen);
        onAltScreen = 1;
    }
}

void atExit() {
    std::cout.flush();
    std::cerr.flush();
    restoreConsole();
}

bool asciiCharset(const std::string &c) {
    return c == "ANSI_X3.4-1968" || c == "ASCII" || c == "US-ASCII";
}

void copyText(char *dst, std::size_t room, std::size_t &len, const std::string &s) {
    len = std::min(s.size(), room);
    std::memcpy(dst, s.data(), len);
}

} // namespace

void initConsole() {
    std::ios::sync_with_stdio(false);
    initLocale();
    stdinTty = ::isatty(STDIN_FILENO);
    stdoutTty = ::isatty(STDOUT_FILENO);
    if (stdoutTty) {
        const char *term = std::getenv("TERM");
        const char *noColor = std::getenv("NO_COLOR");
        caps = loadTerminalCaps(term ? term : "", !(noColor && *noColor));
    }
    // Colours first: the user's screen comes back in the terminal's own.
    copyText(restoreText, sizeof restoreText, restoreLen, caps.resetAttrs + caps.leaveAlt);
    copyText(enterText, sizeof enterText, enterLen, caps.enterAlt);

    // The C locale's charset has no bytes above 127: they are taken as they come.
    std::string cs = localeCharset();
    inputCharset = isCp852(cs) || asciiCharset(cs) ? "" : cs;

    static OutBuf outBuf(STDOUT_FILENO, stdoutTty);
    out = &outBuf;
    std::cout.rdbuf(out);
    if (::isatty(STDERR_FILENO)) {
        static OutBuf errBuf(STDERR_FILENO, true);
        err = &errBuf;
        std::cerr.rdbuf(err);
    }
    decoder = std::make_unique<KeyDecoder>(inputCharset);
    if (stdinTty) {
        static TtyInBuf inBuf;
        in = &inBuf;
        std::cin.rdbuf(in);
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
    if (haveOriginal || stdoutTty) {
        std::signal(SIGTSTP, onStop);
        std::signal(SIGCONT, onContinue);
    }
}

void restoreConsole() {
    if (out)
        out->pubsync();
    if (err)
        err->pubsync();
    restoreRaw();
}

void leaveFullScreen() {
    if (!out || !stdoutTty || !onAltScreen)
        return;
    out->control(caps.resetAttrs + caps.leaveAlt);
    out->pubsync();
    out->lineStart();
    onAltScreen = 0;
    currentColours.clear();
}

int switchCodePage852() {
    std::string cs = localeCharset();
    if (isCp852(cs) || (!stdoutTty && !err))
        return 0;
    charset = std::make_unique<Charset>(cs);
    if (err)
        err->setCharset(charset.get()); // warnings on a terminal, whatever stdout is
    if (!stdoutTty)
        return 0; // bytes go out unchanged, as to a redirected console
    out->setCharset(charset.get());
    return charset->showsPolish() ? 0 : 1;
}

void applyAttribute(int attribute) {
    if (out && stdoutTty) {
        currentColours = attributeSequence(caps, attribute);
        out->control(currentColours);
    }
}

void clearScreen() {
    if (!out || !stdoutTty)
        return;
    if (!onAltScreen && !caps.enterAlt.empty()) {
        out->control(caps.enterAlt + currentColours);
        onAltScreen = 1;
    }
    if (caps.clear.empty())
        return; // nothing is cleared: the text goes on where it stands
    out->control(caps.clear);
    out->lineStart();
}

int readKey() {
    std::cout.flush();
    TimedKey k = keyReader ? keyReader() : stdinTty ? terminalKey() : streamKey();
    lastKeyTime = k.timeMs;
    return k.code;
}

std::int64_t lastKeyTimeMs() {
    return lastKeyTime;
}

void setKeyReader(std::function<int()> reader) {
    if (!reader) {
        keyReader = {};
        return;
    }
    keyReader = [r = std::move(reader)] {
        int code = r();
        return TimedKey{code, nowMs()};
    };
}

void setTimedKeyReader(std::function<TimedKey()> reader) {
    keyReader = std::move(reader);
}

} // namespace platform
