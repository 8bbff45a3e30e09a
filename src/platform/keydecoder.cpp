#include "platform/keydecoder.h"

namespace platform {
namespace {

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

// Parameter, intermediate and final bytes of a CSI sequence.
bool csiByte(unsigned char b) {
    return b >= 0x20 && b <= 0x7E;
}

} // namespace

std::int64_t KeyDecoder::deadline() const {
    return seq_.empty() ? -1 : seqTime_ + kEscapeWaitMs;
}

void KeyDecoder::add(unsigned char b, std::int64_t t, std::deque<TimedKey> &out) {
    if (!seq_.empty() && t >= deadline())
        idle(t, out); // the wait was over before this byte came
    if (seq_.empty()) {
        if (b == 27 && !text_.pending()) {
            seq_.assign(1, static_cast<char>(27));
            seqTime_ = t;
        } else {
            addText(b, t, out);
        }
        return;
    }
    if (seq_.size() == 1) {
        if (b == '[' || b == 'O') {
            seq_ += static_cast<char>(b);
            return;
        }
        // Nothing can follow: the Esc is a key, and so is this byte.
        out.push_back({27, seqTime_});
        seq_.clear();
        add(b, t, out);
        return;
    }
    bool csi = seq_[1] == '[';
    if (csi ? !csiByte(b) : (b < 0x20 || b > 0x7E)) {
        // A byte no sequence holds: what came so far is dropped, the byte counts.
        seq_.clear();
        add(b, t, out);
        return;
    }
    seq_ += static_cast<char>(b);
    // A CSI sequence ends at its final byte; SS3 and the Linux console's
    // "[[" form take exactly one byte after their introducer.
    bool linuxF = csi && seq_.size() >= 3 && seq_[2] == '[';
    bool done = linuxF ? seq_.size() == 4 : !csi || (seq_.size() > 2 && b >= 0x40 && b <= 0x7E);
    if (done || seq_.size() > 16)
        finishSequence(out);
}

void KeyDecoder::idle(std::int64_t now, std::deque<TimedKey> &out) {
    if (!seq_.empty() && now < deadline())
        return;
    if (seq_.size() == 1)
        out.push_back({27, seqTime_});
    // A sequence cut short is swallowed whole, and so is a broken letter.
    seq_.clear();
    text_.reset();
}

void KeyDecoder::finishSequence(std::deque<TimedKey> &out) {
    for (const Sequence &s : kSequences) {
        if (seq_.compare(1, std::string::npos, s.bytes) == 0) {
            out.push_back({s.prefix, seqTime_});
            out.push_back({s.code, seqTime_});
            break;
        }
    }
    seq_.clear();
}

void KeyDecoder::addText(unsigned char b, std::int64_t t, std::deque<TimedKey> &out) {
    if (b == 127 && !text_.pending()) { // the terminal's Backspace
        out.push_back({8, t});
        return;
    }
    if (!text_.pending())
        textTime_ = t;
    switch (text_.add(b)) {
    case TextDecoder::Step::NeedMore:
        return;
    case TextDecoder::Step::Done:
        if (text_.byte() >= 0)
            out.push_back({text_.byte(), textTime_});
        return; // a letter the code page lacks is dropped
    case TextDecoder::Step::Invalid:
        // The broken sequence is dropped; a byte that broke it is a key of its own.
        if (!text_.tookByte())
            add(b, t, out);
        return;
    }
}

} // namespace platform
