// How long brzdekomat-render takes for a 10-minute song of the demo's sounds
// (a note every 120 ms, about 18 sounds at once, each resampled from
// 44.1 kHz), per output format: the median wall time of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double runMs(const std::vector<std::string> &args) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(DEMO_BUILD_DIR) != 0)
            _exit(127);
        std::vector<char *> argv;
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(RENDER_BIN, argv.data());
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) {
        std::fprintf(stderr, "render failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char **argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<std::string> sounds;
    for (const auto &e : fs::directory_iterator(fs::path(DEMO_BUILD_DIR) / "sounds"))
        if (e.path().extension() == ".wav")
            sounds.push_back("sounds/" + e.path().filename().string());
    std::sort(sounds.begin(), sounds.end());
    if (sounds.empty()) {
        std::fprintf(stderr, "no demo sounds in %s\n", DEMO_BUILD_DIR);
        return 1;
    }
    fs::path dir =
        fs::temp_directory_path() / ("brzdekomat-render-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const int pause = 120, notes = 10 * 60 * 1000 / pause;
    {
        std::ofstream f(dir / "song.tsf");
        f << "Bench 2026 " << notes << ' ';
        for (int i = 0; i < notes; ++i)
            f << sounds[(i * 7) % sounds.size()] << ' ' << pause << ' ';
    }
    std::printf("10-minute song, %d notes, %zu distinct sounds, %d runs each\n", notes,
                sounds.size(), runs);
    for (const char *ext : {".wav", ".flac", ".aiff", ".ogg", ".opus"}) {
        std::vector<double> t;
        for (int r = 0; r < runs; ++r)
            t.push_back(runMs({RENDER_BIN, (dir / "song.tsf").string(),
                               (dir / (std::string("out") + ext)).string()}));
        std::sort(t.begin(), t.end());
        std::printf("%-6s median %7.0f ms  (min %.0f, max %.0f), %5.0f times real time\n", ext,
                    t[t.size() / 2], t.front(), t.back(), 600000.0 / t[t.size() / 2]);
    }
    fs::remove_all(dir);
    return 0;
}
