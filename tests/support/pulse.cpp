#include "support/pulse.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/wav.h"

namespace testing_support {

namespace {

// Starts argv[0] (a path) with exactly env; stdout to outFd (or /dev/null).
pid_t spawn(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env,
            int outFd = -1, const std::string &errPath = "/dev/null") {
    std::vector<std::string> envStrings;
    for (const auto &[k, v] : env)
        envStrings.push_back(k + "=" + v);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(null, 0);
        dup2(outFd >= 0 ? outFd : null, 1);
        dup2(err >= 0 ? err : null, 2);
        std::vector<char *> args, envp;
        for (const auto &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        for (auto &s : envStrings)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// Waits up to ms for pid to end; kills it if it does not.
void reap(pid_t pid, int sig, int ms) {
    if (pid <= 0)
        return;
    ::kill(pid, sig);
    for (int waited = 0; waited < ms; waited += 10) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

double steadyMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

PulseServer::PulseServer(const std::filesystem::path &dir) {
    const char *binary = "/usr/bin/pulseaudio";
    if (access(binary, X_OK) != 0) {
        error_ = "no /usr/bin/pulseaudio: install the packages pulseaudio and pulseaudio-utils "
                 "(tools/install-deps)";
        return;
    }
    std::filesystem::path run = dir / "pulse-run", home = dir / "pulse-home";
    std::filesystem::create_directories(run);
    std::filesystem::create_directories(home);
    std::filesystem::permissions(run, std::filesystem::perms::owner_all);
    socket_ = run / "native";
    std::filesystem::path script = dir / "pulse.pa";
    std::ofstream(script) << "load-module module-null-sink sink_name=brz rate=" << kPulseRate
                          << " channels=2 norewinds=1\n"
                          << "set-default-sink brz\n"
                          << "load-module module-native-protocol-unix auth-anonymous=1 socket="
                          << socket_.string() << "\n";
    // Runs as root too (as in CI): a per-user daemon that only warns then.
    std::map<std::string, std::string> env = {{"PATH", "/usr/bin:/bin"},
                                              {"HOME", home.string()},
                                              {"XDG_RUNTIME_DIR", run.string()},
                                              {"PULSE_RUNTIME_PATH", run.string()},
                                              {"XDG_CONFIG_HOME", (home / ".config").string()}};
    pid_ = spawn({binary, "--system=no", "-n", "--daemonize=no", "--exit-idle-time=-1",
                  "--disallow-exit", "--use-pid-file=no", "--realtime=yes", "--high-priority=yes",
                  "--disallow-module-loading", "--log-target=stderr", "-F", script.string()},
                 env, -1, (dir / "pulse.log").string());
    for (int waited = 0; waited < 10000; waited += 20) {
        struct stat st {};
        if (stat(socket_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            return;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_)
            break;
        usleep(20000);
    }
    std::ifstream log(dir / "pulse.log");
    error_ = "pulseaudio did not start: " +
             std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
    reap(pid_, SIGKILL, 1000);
    pid_ = -1;
}

PulseServer::~PulseServer() {
    reap(pid_, SIGTERM, 3000);
}

void PulseServer::kill() {
    reap(pid_, SIGKILL, 3000);
    pid_ = -1;
}

std::map<std::string, std::string> PulseServer::clientEnv(const std::filesystem::path &dir) const {
    // The program's own default periods, with the mixer at real-time priority.
    std::ofstream(dir / "alsoft.conf") << "[general]\nperiod_size = 256\nperiods = 3\n"
                                       << kRealtimeMixing;
    return {{"ALSOFT_DRIVERS", "pulse"},
            {"PULSE_SERVER", address()},
            {"ALSOFT_CONF", (dir / "alsoft.conf").string()}};
}

MonitorRecorder::MonitorRecorder(const PulseServer &server, int latencyMs) {
    int p[2];
    if (!server.ok() || pipe2(p, O_CLOEXEC) != 0)
        return;
    pid_ = spawn({"/usr/bin/parec", "--server=" + server.address(), "--device=brz.monitor", "--raw",
                  "--format=float32le", "--channels=1", "--rate=" + std::to_string(kPulseRate),
                  "--latency-msec=" + std::to_string(latencyMs)},
                 {{"PATH", "/usr/bin:/bin"}, {"HOME", "/nonexistent"}}, p[1]);
    close(p[1]);
    fd_ = p[0];
    reader_ = std::thread([this] { pump(); });
}

void MonitorRecorder::pump() {
    char buf[8192];
    for (;;) {
        pollfd f = {fd_, POLLIN, 0};
        if (poll(&f, 1, 50) <= 0) {
            if (done_)
                return;
            continue;
        }
        ssize_t n = read(fd_, buf, sizeof buf);
        if (n <= 0)
            return;
        double t = steadyMs();
        std::lock_guard lock(m_);
        pending_.append(buf, static_cast<std::size_t>(n));
        std::size_t whole = pending_.size() / sizeof(float);
        std::size_t at = samples_.size();
        samples_.resize(at + whole);
        std::memcpy(samples_.data() + at, pending_.data(), whole * sizeof(float));
        pending_.erase(0, whole * sizeof(float));
        chunks_.push_back({samples_.size(), t});
    }
}

bool MonitorRecorder::waitForData(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (size() > 0)
            return true;
        usleep(10000);
    }
    return false;
}

std::vector<float> MonitorRecorder::stop() {
    if (pid_ > 0) {
        // What is still on its way: the monitor runs at the sink's pace, so
        // wait until the recording is as long as the time since it began.
        double first = arrivalMs(0), stopAt = steadyMs();
        double want = first > 0 ? (stopAt - first) * kPulseRate / 1000 : 0;
        for (int waited = 0; waited < 3000 && static_cast<double>(size()) < want; waited += 10)
            usleep(10000);
        missingMs_ = std::max(0.0, (want - static_cast<double>(size())) * 1000 / kPulseRate);
        reap(pid_, SIGTERM, 2000);
        pid_ = -1;
    }
    done_ = true;
    if (reader_.joinable())
        reader_.join();
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    std::lock_guard lock(m_);
    return samples_;
}

MonitorRecorder::~MonitorRecorder() {
    stop();
}

std::size_t MonitorRecorder::size() {
    std::lock_guard lock(m_);
    return samples_.size();
}

double MonitorRecorder::arrivalMs(std::size_t sample) {
    std::lock_guard lock(m_);
    for (const auto &[end, t] : chunks_)
        if (sample < end)
            return t;
    return -1;
}

double MonitorRecorder::renderedMs(std::size_t sample) {
    std::lock_guard lock(m_);
    for (const auto &[end, t] : chunks_)
        if (sample < end)
            return t - 1000.0 * static_cast<double>(end - 1 - sample) / kPulseRate;
    return -1;
}

std::vector<float> MonitorRecorder::since(std::size_t from) {
    std::lock_guard lock(m_);
    if (from >= samples_.size())
        return {};
    return std::vector<float>(samples_.begin() + static_cast<std::ptrdiff_t>(from), samples_.end());
}

} // namespace testing_support
