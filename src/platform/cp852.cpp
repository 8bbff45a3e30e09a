#include "platform/cp852.h"

#include "platform/charset.h"

namespace platform {
namespace {

// Unicode code points of the bytes 128 to 255.
constexpr char16_t kUpper[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7, 0x0142, 0x00EB, 0x0150, 0x0151,
    0x00EE, 0x0179, 0x00C4, 0x0106, 0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x0104, 0x0105, 0x017D, 0x017E, 0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A, 0x015E, 0x2563, 0x2551, 0x2557,
    0x255D, 0x017B, 0x017C, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x0111, 0x0110, 0x010E, 0x00CB,
    0x010F, 0x0147, 0x00CD, 0x00CE, 0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161, 0x0154, 0x00DA, 0x0155, 0x0170,
    0x00FD, 0x00DD, 0x0163, 0x00B4, 0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0};

} // namespace

void appendUtf8(std::string &out, unsigned char byte) {
    char32_t cp = byte < 128 ? byte : kUpper[byte - 128];
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int cp852FromCodePoint(char32_t cp) {
    if (cp < 128)
        return static_cast<int>(cp);
    for (int i = 0; i < 128; ++i)
        if (kUpper[i] == cp)
            return 128 + i;
    return -1;
}

Utf8Reader::Step Utf8Reader::add(unsigned char b) {
    took_ = true;
    if (left_ > 0) {
        if ((b & 0xC0) != 0x80) {
            // Not a continuation: the sequence is broken, the byte is new.
            left_ = 0;
            took_ = false;
            return Step::Invalid;
        }
        if (b < lo_ || b > hi_) {
            left_ = 0;
            return Step::Invalid;
        }
        lo_ = 0x80;
        hi_ = 0xBF;
        cp_ = (cp_ << 6) | (b & 0x3F);
        return --left_ == 0 ? Step::Done : Step::NeedMore;
    }
    if (b < 0x80) {
        cp_ = b;
        return Step::Done;
    }
    // The second byte's range rules out overlong forms, surrogates and
    // values above U+10FFFF.
    lo_ = 0x80;
    hi_ = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        cp_ = b & 0x1F;
        left_ = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        cp_ = b & 0x0F;
        left_ = 2;
        if (b == 0xE0)
            lo_ = 0xA0;
        else if (b == 0xED)
            hi_ = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        cp_ = b & 0x07;
        left_ = 3;
        if (b == 0xF0)
            lo_ = 0x90;
        else if (b == 0xF4)
            hi_ = 0x8F;
    } else {
        return Step::Invalid; // a stray continuation byte, C0, C1 or F5-FF
    }
    return Step::NeedMore;
}

std::string utf8ToCp852(std::string_view text) {
    return toCp852(text, "UTF-8");
}

} // namespace platform
