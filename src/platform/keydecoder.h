// Turns the bytes a terminal sends into the key codes of the Windows console:
// arrows and edit keys as 224 and a code, F1-F10 as 0 and a code, Esc as 27.
// No I/O here: the reader feeds bytes and idle time.
#pragma once

#include <deque>
#include <string>

#include "platform/cp852.h"

namespace platform {

class KeyDecoder {
  public:
    // Feeds one byte; finished key codes go to the back of out.
    void add(unsigned char byte, std::deque<int> &out);
    // The terminal sent nothing for the escape timeout: a lone Esc is a key.
    void timeout(std::deque<int> &out);
    // True while a sequence has begun and is not finished.
    bool pending() const { return !seq_.empty() || utf8Pending_; }

  private:
    void finishSequence(std::deque<int> &out);
    void addText(unsigned char byte, std::deque<int> &out);

    std::string seq_; // an escape sequence so far, Esc included
    Utf8Reader utf8_;
    bool utf8Pending_ = false;
};

// Whether letters arrive as UTF-8 (otherwise each byte is a key as it is).
void setKeyDecoderUtf8(bool on);

} // namespace platform
