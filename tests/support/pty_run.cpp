// Runs a program on a pseudo-terminal of 80 x 24, as a user at a terminal
// would: waits for texts in its output and types answers.
//
//   brzdekomat_pty_run [--timeout S] (--expect TEXT | --send TEXT)... -- PROGRAM [ARG]...
//
// Steps run in order; --send understands \n, \r, \e and \\. Everything the
// program writes is copied to standard output. Exit status: the program's,
// or 124 when a text did not come or the program did not end within the
// timeout (the program is then killed).
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string unescape(const std::string &s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 'e' ? '\x1b' : c;
    }
    return out;
}

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Child {
    int fd = -1;
    pid_t pid = -1;
    std::string out;
    bool eof = false;

    // Reads what is there within ms; false at the end of the output.
    bool pump(int ms) {
        pollfd p{fd, POLLIN, 0};
        if (eof || poll(&p, 1, ms) <= 0)
            return !eof;
        char buf[4096];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) {
            eof = true; // EIO once the program has closed the terminal
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
        std::fwrite(buf, 1, static_cast<std::size_t>(n), stdout);
        std::fflush(stdout);
        return true;
    }
};

int fail(Child &c, const std::string &why) {
    std::fprintf(stderr, "\nbrzdekomat_pty_run: %s\n", why.c_str());
    kill(c.pid, SIGKILL);
    waitpid(c.pid, nullptr, 0);
    return 124;
}

} // namespace

int main(int argc, char **argv) {
    int timeoutS = 30;
    std::vector<std::pair<bool, std::string>> steps; // true: expect
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "brzdekomat_pty_run: %s needs a value\n", a.c_str());
            return 2;
        }
        std::string v = argv[++i];
        if (a == "--timeout")
            timeoutS = std::atoi(v.c_str());
        else if (a == "--expect")
            steps.emplace_back(true, v);
        else if (a == "--send")
            steps.emplace_back(false, unescape(v));
        else {
            std::fprintf(stderr, "brzdekomat_pty_run: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (i + 1 >= argc) {
        std::fprintf(stderr, "usage: brzdekomat_pty_run [--timeout S] (--expect TEXT | --send "
                             "TEXT)... -- PROGRAM [ARG]...\n");
        return 2;
    }
    winsize ws{};
    ws.ws_row = 24;
    ws.ws_col = 80;
    Child c;
    c.pid = forkpty(&c.fd, nullptr, nullptr, &ws);
    if (c.pid < 0) {
        std::perror("forkpty");
        return 2;
    }
    if (c.pid == 0) {
        execvp(argv[i + 1], argv + i + 1);
        std::perror(argv[i + 1]);
        _exit(127);
    }
    const long long end = nowMs() + timeoutS * 1000LL;
    std::size_t seen = 0;
    for (const auto &[expect, text] : steps) {
        if (!expect) {
            if (write(c.fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
                return fail(c, "could not type");
            continue;
        }
        for (;;) {
            std::size_t at = c.out.find(text, seen);
            if (at != std::string::npos) {
                seen = at + text.size();
                break;
            }
            if (nowMs() > end || !c.pump(100))
                return fail(c, "did not see: " + text);
        }
    }
    for (;;) {
        int status = 0;
        if (waitpid(c.pid, &status, WNOHANG) == c.pid) {
            while (c.pump(50)) {
            }
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (nowMs() > end)
            return fail(c, "the program did not end");
        if (!c.pump(50))
            usleep(10000);
    }
}
