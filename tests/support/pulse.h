// A private PulseAudio server for one test: a null sink, a socket of its
// own, no D-Bus, no autospawn; and a recorder of the sink's monitor.
#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace testing_support {

constexpr int kPulseRate = 48000;

class PulseServer {
  public:
    // Starts the daemon under dir and waits for its socket; ok() says whether
    // it came up (error() says why not).
    explicit PulseServer(const std::filesystem::path &dir);
    ~PulseServer(); // stops it, if still running
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    bool ok() const { return pid_ > 0; }
    const std::string &error() const { return error_; }
    // For clients: the server's address, and the environment that reaches it
    // through OpenAL Soft's pulse output.
    std::string address() const { return "unix:" + socket_.string(); }
    // A configuration for OpenAL goes into dir.
    std::map<std::string, std::string> clientEnv(const std::filesystem::path &dir) const;
    // Kills the daemon at once (SIGKILL), as a crash would.
    void kill();

  private:
    std::filesystem::path socket_;
    std::string error_;
    pid_t pid_ = -1;
};

// parec on the null sink's monitor: mono float samples at kPulseRate, each
// chunk stamped with the steady clock (ms) at which it arrived. A short
// latency stamps arrivals closely but loses samples when parec is not
// scheduled in time (the server's record buffer overruns), which moves
// every later sound earlier: tests keep the long default.
class MonitorRecorder {
  public:
    explicit MonitorRecorder(const PulseServer &server, int latencyMs = 200);
    ~MonitorRecorder();
    bool ok() const { return pid_ > 0; }
    // Waits until samples come (an idle null sink takes over a second to
    // send the first ones); false after timeoutMs without any.
    bool waitForData(int timeoutMs = 5000);
    // Stops recording; returns everything recorded.
    std::vector<float> stop();
    // How much shorter the recording was than the time it ran, at stop().
    double missingMs() const { return missingMs_; }
    // Samples so far, and the arrival time of the chunk that held sample i.
    std::size_t size();
    double arrivalMs(std::size_t sample);
    // When sample was rendered: the arrival of its chunk less the samples
    // that follow it in that chunk. Later than the truth by the monitor's own
    // latency, so an upper bound. -1 while it has not arrived.
    double renderedMs(std::size_t sample);
    // A copy of the samples from index from on.
    std::vector<float> since(std::size_t from);

  private:
    void pump();
    pid_t pid_ = -1;
    int fd_ = -1;
    std::thread reader_;
    std::atomic<bool> done_{false};
    std::mutex m_;
    std::vector<float> samples_;
    std::vector<std::pair<std::size_t, double>> chunks_; // end sample, arrival
    std::string pending_;
    double missingMs_ = 0;
};

double steadyMs();

} // namespace testing_support
