// The data files (Keys.tdf, Levels.tdf, Confing.tdf, songs) are fields
// separated by white space. One tokenizer reads them all and knows where each
// field stands, so that every reader can say where a file is wrong.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// A data file's bytes as code page 852: a file that is valid UTF-8 and holds
// non-ASCII characters is taken as UTF-8 (a leading byte order mark dropped)
// and converted, anything else is already code page 852 and kept as it is.
struct DataText {
    std::string text;
    bool wasUtf8 = false;
    // First character the code page lacks (it became '?'); line 0 when none.
    int unmappedLine = 0;
    int unmappedColumn = 0;
};
DataText decodeDataFile(std::string_view bytes);

// What to write so that decodeDataFile gives back exactly cp852: the text
// itself, unless its bytes would read as UTF-8; then its UTF-8 form.
std::string encodeDataFile(std::string_view cp852);

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF, nothing cut off at the end).
bool isValidUtf8(std::string_view bytes);

// Reads a whole file; false (errno set) when it cannot be opened or read.
bool readWholeFile(const std::string &path, std::string &bytes);

// Where a field starts, counted from 1; a column counts characters.
struct Position {
    int line = 1;
    int column = 1;
};

struct Token {
    std::string_view text; // empty at the end of the file
    Position at;           // for the end: where the file ends
    bool end() const { return text.empty(); }
};

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}
    // The next run of bytes that are not white space.
    Token next();
    // Only the next byte that is not white space; the rest of its run stays
    // for the next call (a key directly followed by its level: a0).
    Token nextByte();

  private:
    void skipSpace();
    void advance();

    std::string_view text_;
    std::size_t pos_ = 0;
    Position at_;
};

// White space as formatted stream reads know it in the C locale.
bool isFieldSpace(unsigned char c);

enum class NumberRead { Ok, NotANumber, OutOfRange };
// A whole token as a signed 32-bit decimal number, an optional sign first.
NumberRead parseInt32(std::string_view token, int &value);

} // namespace platform
