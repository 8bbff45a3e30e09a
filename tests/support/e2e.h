// Runs the real program with its standard input on a pseudo-terminal and its
// output on pipes, so key and line reads behave as on a terminal while the
// output is the program's exact bytes.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <termios.h>
#include <utility>
#include <vector>

namespace testing_support {

class Session {
  public:
    // Starts the program in dir. env adds to a small clean environment
    // (sound goes nowhere unless env says otherwise).
    // With outputOnTerminal, standard output goes to the terminal too, and
    // out() is what the terminal got (the echo of typed text included).
    Session(const std::filesystem::path &dir, std::map<std::string, std::string> env = {},
            bool outputOnTerminal = false);
    ~Session();

    // Types bytes on the terminal.
    void type(const std::string &bytes);
    // Waits until standard output holds text after position from; returns its
    // position or npos on timeout.
    std::size_t waitFor(const std::string &text, std::size_t from = 0, int timeoutMs = 5000);
    // Types each key at its offset (ms) from now; returns when each was sent,
    // on the same clock as nowMs().
    std::vector<double> typeAt(const std::vector<std::pair<double, std::string>> &keys);
    // Sends SIGTERM.
    void terminate();
    // Waits for the program to end; returns its exit status, or -1 if it had
    // to be killed.
    int finish(int timeoutMs = 5000);

    const std::string &out() const { return out_; }
    const std::string &err() const { return err_; }
    // The terminal's settings now (after finish: as the program left them).
    termios terminal() const;
    const termios &terminalBefore() const { return before_; }

  private:
    void pump(int timeoutMs);

    int pid_ = -1;
    int master_ = -1, slave_ = -1, outFd_ = -1, errFd_ = -1;
    std::string out_, err_;
    termios before_{};
    int status_ = -1;
    bool outputOnTerminal_ = false;
};

// A temporary directory removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path &path() const { return path_; }
    void write(const std::string &name, const std::string &content) const;
    std::string read(const std::string &name) const;

  private:
    std::filesystem::path path_;
};

// A working directory whose program sends its sound to out.wav through
// OpenAL Soft's wave output.
class Studio : public TempDir {
  public:
    Studio();
    // Writes a mono sound file at the wave output's rate.
    void sound(const std::string &name, std::vector<float> samples) const;
    // The environment that selects the wave output for a Session.
    std::map<std::string, std::string> env() const;
    // What was heard, mono; empty if nothing was written.
    std::vector<float> captured() const;
};

} // namespace testing_support
