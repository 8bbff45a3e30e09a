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

// Decodes UTF-8 one byte at a time.
class Utf8Reader {
  public:
    enum class Step { NeedMore, Done, Invalid };
    Step add(unsigned char byte);
    char32_t codePoint() const { return cp_; }

  private:
    char32_t cp_ = 0;
    int left_ = 0;
};

} // namespace platform
