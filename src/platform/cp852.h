// Code page 852 inside the program, UTF-8 on the terminal.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Appends the UTF-8 form of one code page 852 byte.
void appendUtf8(std::string &out, unsigned char byte);

// The code page 852 byte of a Unicode code point, or -1 when the page lacks it.
int cp852FromCodePoint(char32_t codePoint);

// Turns UTF-8 text into code page 852; a character the page lacks becomes '?'.
std::string utf8ToCp852(std::string_view text);

// Decodes UTF-8 one byte at a time. Only the shortest form of a scalar value
// is a character: overlong forms, surrogates and values above U+10FFFF are
// Invalid. When a sequence breaks on a byte that could begin a character,
// Invalid comes with tookByte() false: that byte must be fed again.
class Utf8Reader {
  public:
    enum class Step { NeedMore, Done, Invalid };
    Step add(unsigned char byte);
    char32_t codePoint() const { return cp_; }
    bool tookByte() const { return took_; }
    bool pending() const { return left_ > 0; }

  private:
    char32_t cp_ = 0;
    int left_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF; // range of the next continuation byte
    bool took_ = true;
};

} // namespace platform
