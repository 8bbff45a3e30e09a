#include "support/e2e.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/wav.h"

namespace testing_support {

namespace {
long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

Session::Session(const std::filesystem::path &dir, std::map<std::string, std::string> env,
                 bool outputOnTerminal)
    : outputOnTerminal_(outputOnTerminal) {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    tcgetattr(slave_, &before_);
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        throw std::runtime_error("pipe failed");
    std::map<std::string, std::string> full = {{"PATH", "/usr/bin:/bin"},
                                               {"HOME", dir.string()},
                                               {"LANG", "C"},
                                               {"ALSOFT_DRIVERS", "null"}};
    for (auto &[k, v] : env)
        full[k] = v;
    std::vector<std::string> envStrings;
    for (auto &[k, v] : full)
        envStrings.push_back(k + "=" + v);
    pid_ = fork();
    if (pid_ == 0) {
        setsid();
        ioctl(slave_, TIOCSCTTY, 0);
        dup2(slave_, 0);
        dup2(outputOnTerminal ? slave_ : outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {master_, slave_, outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        std::vector<char *> envp;
        for (auto &s : envStrings)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        char *argv[] = {const_cast<char *>(BRZDEKOMAT_BIN), nullptr};
        execve(BRZDEKOMAT_BIN, argv, envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
}

Session::~Session() {
    if (pid_ > 0 && status_ == -1) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {master_, slave_, outFd_, errFd_})
        if (fd >= 0)
            close(fd);
}

void Session::type(const std::string &bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = write(master_, bytes.data() + done, bytes.size() - done);
        if (w <= 0)
            break;
        done += static_cast<std::size_t>(w);
    }
}

std::vector<double> Session::typeAt(const std::vector<std::pair<double, std::string>> &keys) {
    using namespace std::chrono;
    auto clockMs = [] {
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    };
    std::vector<double> sent;
    auto start = steady_clock::now();
    for (const auto &[at, bytes] : keys) {
        std::this_thread::sleep_until(
            start + duration_cast<steady_clock::duration>(duration<double, std::milli>(at)));
        sent.push_back(clockMs());
        type(bytes);
    }
    return sent;
}

void Session::terminate() {
    kill(pid_, SIGTERM);
}

void Session::pump(int timeoutMs) {
    pollfd fds[3] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}, {master_, POLLIN, 0}};
    if (poll(fds, 3, timeoutMs) <= 0)
        return;
    char buf[4096];
    for (int i = 0; i < 3; ++i) {
        if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
            continue;
        ssize_t n = read(fds[i].fd, buf, sizeof buf);
        if (n <= 0) {
            // A closed pipe stays readable; stop watching it.
            if (i == 0) {
                close(outFd_);
                outFd_ = -1;
            } else if (i == 1) {
                close(errFd_);
                errFd_ = -1;
            }
            continue;
        }
        if (i == 0 || (i == 2 && outputOnTerminal_))
            out_.append(buf, n);
        else if (i == 1)
            err_.append(buf, n);
        // otherwise the terminal's echo is read only so that it never fills up
    }
}

std::size_t Session::waitFor(const std::string &text, std::size_t from, int timeoutMs) {
    long long end = nowMs() + timeoutMs;
    for (;;) {
        std::size_t pos = out_.find(text, from);
        if (pos != std::string::npos)
            return pos;
        long long left = end - nowMs();
        if (left <= 0 || (outFd_ < 0 && errFd_ < 0))
            return std::string::npos;
        pump(static_cast<int>(std::min(left, 50LL)));
    }
}

int Session::finish(int timeoutMs) {
    long long end = nowMs() + timeoutMs;
    while (status_ == -1) {
        int st = 0;
        pid_t r = waitpid(pid_, &st, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            break;
        }
        if (nowMs() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -2;
            return -1;
        }
        pump(20);
    }
    while (outFd_ >= 0 || errFd_ >= 0)
        pump(100);
    // What the program wrote to the terminal before it ended.
    for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (!outputOnTerminal_ || poll(&p, 1, 100) <= 0)
            break;
        char buf[4096];
        ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        out_.append(buf, n);
    }
    return status_;
}

termios Session::terminal() const {
    termios t{};
    tcgetattr(slave_, &t);
    return t;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "brzdekomat-e2e-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
}

TempDir::~TempDir() {
    std::filesystem::remove_all(path_);
}

void TempDir::write(const std::string &name, const std::string &content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
}

std::string TempDir::read(const std::string &name) const {
    std::ifstream f(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

Studio::Studio() {
    write("alsoft.conf", waveOutputConfig((path() / "out.wav").string()));
}

void Studio::sound(const std::string &name, std::vector<float> samples) const {
    Wav w;
    w.rate = kWaveRate;
    w.samples = std::move(samples);
    if (!writeWav((path() / name).string(), w))
        throw std::runtime_error("cannot write " + name);
}

std::map<std::string, std::string> Studio::env() const {
    return {{"ALSOFT_DRIVERS", "wave"}, {"ALSOFT_CONF", (path() / "alsoft.conf").string()}};
}

std::vector<float> Studio::captured() const {
    auto w = readWav((path() / "out.wav").string());
    return w ? w->mono() : std::vector<float>{};
}

} // namespace testing_support
