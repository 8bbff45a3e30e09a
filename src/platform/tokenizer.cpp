#include "platform/tokenizer.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

#include "platform/cp852.h"

namespace platform {
namespace {

bool hasNonAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return true;
    return false;
}

// Length of the well-formed UTF-8 sequence at the start of s, or 0.
std::size_t sequenceLength(std::string_view s) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    unsigned char c = b(0);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2))
            return 0;
        if (c == 0xE0 && b(1) < 0xA0) // overlong
            return 0;
        if (c == 0xED && b(1) >= 0xA0) // surrogates
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3))
            return 0;
        if (c == 0xF0 && b(1) < 0x90) // overlong
            return 0;
        if (c == 0xF4 && b(1) >= 0x90) // past U+10FFFF
            return 0;
        return 4;
    }
    return 0;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t n = sequenceLength(bytes);
        if (n == 0)
            return false;
        bytes.remove_prefix(n);
    }
    return true;
}

DataText decodeDataFile(std::string_view bytes) {
    DataText d;
    if (!hasNonAscii(bytes) || !isValidUtf8(bytes)) {
        d.text = std::string(bytes);
        return d;
    }
    d.wasUtf8 = true;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    d.text.reserve(bytes.size());
    Position at;
    while (!bytes.empty()) {
        std::size_t n = sequenceLength(bytes);
        auto b = [&](std::size_t i) { return static_cast<char32_t>(bytes[i] & 0x3F); };
        char32_t cp = static_cast<unsigned char>(bytes[0]);
        if (n == 2)
            cp = (cp & 0x1F) << 6 | b(1);
        else if (n == 3)
            cp = (cp & 0x0F) << 12 | b(1) << 6 | b(2);
        else if (n == 4)
            cp = (cp & 0x07) << 18 | b(1) << 12 | b(2) << 6 | b(3);
        int c = cp852FromCodePoint(cp);
        if (c < 0 && d.unmappedLine == 0) {
            d.unmappedLine = at.line;
            d.unmappedColumn = at.column;
        }
        d.text += c < 0 ? '?' : static_cast<char>(c);
        if (cp == '\n') {
            ++at.line;
            at.column = 1;
        } else {
            ++at.column;
        }
        bytes.remove_prefix(n);
    }
    return d;
}

std::string encodeDataFile(std::string_view cp852) {
    if (!hasNonAscii(cp852) || !isValidUtf8(cp852))
        return std::string(cp852);
    std::string out;
    for (unsigned char c : cp852)
        appendUtf8(out, c);
    return out;
}

bool readWholeFile(const std::string &path, std::string &bytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string all;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            errno = e;
            return false;
        }
        if (n == 0)
            break;
        all.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes = std::move(all);
    return true;
}

bool isFieldSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void Tokenizer::advance() {
    if (text_[pos_] == '\n') {
        ++at_.line;
        at_.column = 1;
    } else {
        ++at_.column;
    }
    ++pos_;
}

void Tokenizer::skipSpace() {
    while (pos_ < text_.size() && isFieldSpace(static_cast<unsigned char>(text_[pos_])))
        advance();
}

Token Tokenizer::next() {
    skipSpace();
    Token t{{}, at_};
    std::size_t start = pos_;
    while (pos_ < text_.size() && !isFieldSpace(static_cast<unsigned char>(text_[pos_])))
        advance();
    t.text = text_.substr(start, pos_ - start);
    return t;
}

Token Tokenizer::nextByte() {
    skipSpace();
    Token t{{}, at_};
    if (pos_ < text_.size()) {
        t.text = text_.substr(pos_, 1);
        advance();
    }
    return t;
}

NumberRead parseInt32(std::string_view token, int &value) {
    std::string_view digits = token;
    // Stream reads took a plus sign; from_chars does not.
    if (!digits.empty() && digits[0] == '+')
        digits.remove_prefix(1);
    if (digits.empty() || digits[0] == '+' || (digits[0] == '-' && token[0] == '+'))
        return NumberRead::NotANumber;
    int v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (end != digits.data() + digits.size() && ec != std::errc::result_out_of_range)
        return NumberRead::NotANumber;
    if (ec == std::errc::result_out_of_range) {
        // Only when the whole token is digits is it a number that is too large.
        for (char c : digits.substr(digits[0] == '-' ? 1 : 0))
            if (c < '0' || c > '9')
                return NumberRead::NotANumber;
        return NumberRead::OutOfRange;
    }
    if (ec != std::errc())
        return NumberRead::NotANumber;
    value = v;
    return NumberRead::Ok;
}

} // namespace platform
