// Code page 852 inside, the locale's character set at the edges: the text a
// terminal shows and sends, and the names of files.
#pragma once

#include <string>
#include <string_view>

#include "platform/cp852.h"

namespace platform {

// Takes the user's locale (numbers keep the C form); call once at start.
void initLocale();

// The character set of the current locale, as iconv names it.
std::string localeCharset();

// Whether a character set name is code page 852 itself.
bool isCp852(const std::string &charset);

// How each code page 852 byte is written in another character set.
class Charset {
  public:
    explicit Charset(const std::string &name);
    const std::string &name() const { return name_; }
    // The byte in this charset: exact where it can be, else transliterated
    // (Polish letters by their base letter), else "?".
    const std::string &show(unsigned char byte) const { return shown_[byte]; }
    bool exact(unsigned char byte) const { return exact_[byte]; }
    std::string fromCp852(std::string_view text) const;
    // The whole text, only when every byte converts exactly.
    bool fromCp852Exactly(std::string_view text, std::string &out) const;
    // Whether the Polish letters of the program's texts show as themselves.
    bool showsPolish() const;

  private:
    std::string name_;
    std::string shown_[256];
    bool exact_[256];
};

// Text in a character set turned into code page 852, one byte at a time.
class TextDecoder {
  public:
    enum class Step { NeedMore, Done, Invalid };
    // An empty name or code page 852: every byte is a character as it is.
    explicit TextDecoder(const std::string &charset = "");
    ~TextDecoder();
    TextDecoder(const TextDecoder &) = delete;
    TextDecoder &operator=(const TextDecoder &) = delete;

    // Invalid with tookByte() false: the byte broke a sequence and begins
    // anew, so it must be fed again.
    Step add(unsigned char byte);
    bool tookByte() const { return took_; }
    bool pending() const;
    // After Done: the code page 852 byte, or -1 when the page lacks it.
    int byte() const { return byte_; }
    void reset();

  private:
    enum class Kind { Bytes, Utf8, Iconv } kind_;
    Utf8Reader utf8_;
    void *cd_ = nullptr; // iconv_t
    std::string seq_;
    int byte_ = 0;
    bool took_ = true;
};

// A whole text in a character set as code page 852; a character the page
// lacks and a broken sequence become '?'.
std::string toCp852(std::string_view text, const std::string &charset);

// The character set of file names: the locale's unless a test sets one
// (empty: back to the locale's).
void setFileNameCharset(const std::string &charset);

// A program's name (code page 852) as a path to open: in the file names'
// character set when such a file exists or the raw bytes do not, else the raw
// bytes, so files named in code page 852 keep opening.
std::string pathToOpen(const std::string &name);
// A path to create: in the file names' character set when the name converts
// exactly, else the raw bytes.
std::string pathToCreate(const std::string &name);

} // namespace platform
