// The program's text as the terminal gets it: code page 852 turned into the
// terminal's charset, and lines wrapped at column 80 as the original console
// wrapped them. No I/O here: the output stream feeds bytes and collects them.
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace platform {

class Renderer {
  public:
    // charset null: bytes unchanged; width 0: no wrapping.
    Renderer(const Charset *charset = nullptr, int width = 0) : charset_(charset), width_(width) {}
    void setCharset(const Charset *charset) { charset_ = charset; }
    void setWidth(int width) { width_ = width; }

    // The program's own text, code page 852.
    void text(std::string_view bytes, std::string &out);
    // A control sequence: goes out as it is, outside the column count.
    void control(std::string_view sequence, std::string &out) const { out += sequence; }
    // The cursor is at the start of a line: after a line read (the user's
    // echoed Enter) or a clear.
    void lineStart() { column_ = 0; }
    int column() const { return column_; }

  private:
    const Charset *charset_;
    int width_;
    int column_ = 0;
};

} // namespace platform
