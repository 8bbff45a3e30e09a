// Turns the bytes a terminal sends into the key codes of the Windows console:
// arrows and edit keys as 224 and a code, F1-F10 as 0 and a code, Esc as 27.
// No I/O here: the reader feeds bytes with the time they arrived, and asks
// when a lone Esc is due.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/charset.h"

namespace platform {

// How long an Esc waits for the rest of a sequence before it is a key of its
// own: long enough for an arrow split across two packets over SSH.
constexpr int kEscapeWaitMs = 100;

// A key code with the time its first byte arrived (both codes of a two-code
// key carry the same time).
struct TimedKey {
    int code;
    std::int64_t timeMs;
    bool operator==(const TimedKey &) const = default;
};

class KeyDecoder {
  public:
    // Letters arrive in this charset (empty or code page 852: as they are).
    explicit KeyDecoder(const std::string &charset = "") : text_(charset) {}

    // Feeds one byte that arrived at timeMs; finished keys go to the back of out.
    void add(unsigned char byte, std::int64_t timeMs, std::deque<TimedKey> &out);
    // The time at which an unfinished sequence is given up (a lone Esc then
    // is a key), or -1 when none waits.
    std::int64_t deadline() const;
    // Nothing arrived up to nowMs: a due Esc is a key, a sequence cut short
    // is dropped.
    void idle(std::int64_t nowMs, std::deque<TimedKey> &out);
    // True while a sequence has begun and is not finished.
    bool pending() const { return !seq_.empty() || text_.pending(); }

  private:
    void finishSequence(std::deque<TimedKey> &out);
    void addText(unsigned char byte, std::int64_t timeMs, std::deque<TimedKey> &out);

    std::string seq_; // an escape sequence so far, Esc included
    std::int64_t seqTime_ = 0;
    TextDecoder text_;
    std::int64_t textTime_ = 0;
};

} // namespace platform
