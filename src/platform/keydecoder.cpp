#include "platform/keydecoder.h"

#include <cstring>

namespace platform {
namespace {

bool utf8Input = false;

struct Sequence {
    const char *bytes; // after the Esc
    int prefix;
    int code;
};

// xterm, VT220 and Linux console forms of the keys the Windows console reports
// as two codes.
constexpr Sequence kSequences[] = {
    {"[A", 224, 72},  {"[B", 224, 80},  {"[C", 224, 77},  {"[D", 224, 75},  {"OA", 224, 72},
    {"OB", 224, 80},  {"OC", 224, 77},  {"OD", 224, 75},  {"[H", 224, 71},  {"[F", 224, 79},
    {"OH", 224, 71},  {"OF", 224, 79},  {"[1~", 224, 71}, {"[7~", 224, 71}, {"[4~", 224, 79},
    {"[8~", 224, 79}, {"[2~", 224, 82}, {"[3~", 224, 83}, {"[5~", 224, 73}, {"[6~", 224, 81},
    {"OP", 0, 59},    {"OQ", 0, 60},    {"OR", 0, 61},    {"OS", 0, 62},    {"[11~", 0, 59},
    {"[12~", 0, 60},  {"[13~", 0, 61},  {"[14~", 0, 62},  {"[15~", 0, 63},  {"[17~", 0, 64},
    {"[18~", 0, 65},  {"[19~", 0, 66},  {"[20~", 0, 67},  {"[21~", 0, 68},  {"[[A", 0, 59},
    {"[[B", 0, 60},   {"[[C", 0, 61},   {"[[D", 0, 62},   {"[[E", 0, 63},
};

} // namespace

void setKeyDecoderUtf8(bool on) {
    utf8Input = on;
}

void KeyDecoder::add(unsigned char b, std::deque<int> &out) {
    if (seq_.empty()) {
        if (b == 27)
            seq_ += '\x1b';
        else
            addText(b, out);
        return;
    }
    if (seq_.size() == 1) {
        if (b == '[' || b == 'O') {
            seq_ += static_cast<char>(b);
            return;
        }
        if (b == 27) { // Esc pressed twice: the first is a key of its own
            out.push_back(27);
            return;
        }
        // Alt and a key: the Windows console gives no code for it.
        seq_.clear();
        return;
    }
    seq_ += static_cast<char>(b);
    // A CSI sequence ends at its final byte; SS3 and the Linux console's
    // "[[" form take exactly one byte after their introducer.
    bool csi = seq_[1] == '[';
    bool linuxF = csi && seq_.size() >= 3 && seq_[2] == '[';
    bool done = linuxF ? seq_.size() == 4 : !csi || (seq_.size() > 2 && b >= 0x40 && b <= 0x7E);
    if (done || seq_.size() > 16)
        finishSequence(out);
}

void KeyDecoder::timeout(std::deque<int> &out) {
    if (seq_.size() == 1)
        out.push_back(27);
    // A sequence cut short is swallowed whole.
    seq_.clear();
    utf8Pending_ = false;
    utf8_ = Utf8Reader();
}

void KeyDecoder::finishSequence(std::deque<int> &out) {
    for (const Sequence &s : kSequences) {
        if (seq_.compare(1, std::string::npos, s.bytes) == 0) {
            out.push_back(s.prefix);
            out.push_back(s.code);
            break;
        }
    }
    seq_.clear();
}

void KeyDecoder::addText(unsigned char b, std::deque<int> &out) {
    if (b == 127) { // the terminal's Backspace
        out.push_back(8);
        return;
    }
    if (!utf8Input) {
        out.push_back(b);
        return;
    }
    switch (utf8_.add(b)) {
    case Utf8Reader::Step::NeedMore:
        utf8Pending_ = true;
        return;
    case Utf8Reader::Step::Done: {
        utf8Pending_ = false;
        int c = cp852FromCodePoint(utf8_.codePoint());
        if (c >= 0)
            out.push_back(c);
        return; // a letter the code page lacks is dropped
    }
    case Utf8Reader::Step::Invalid:
        utf8Pending_ = false;
        return;
    }
}

} // namespace platform
