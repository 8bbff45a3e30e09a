#include "platform/charset.h"

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>

namespace platform {
namespace {

// Polish letters by their base letter, for a charset that lacks them, so the
// result does not depend on the C library's transliteration of the locale.
struct Fallback {
    unsigned char cp852;
    char ascii;
};
constexpr Fallback kPolish[] = {
    {165, 'a'}, {134, 'c'}, {169, 'e'}, {136, 'l'}, {228, 'n'}, {162, 'o'},
    {152, 's'}, {171, 'z'}, {190, 'z'}, {164, 'A'}, {143, 'C'}, {168, 'E'},
    {157, 'L'}, {227, 'N'}, {224, 'O'}, {151, 'S'}, {141, 'Z'}, {189, 'Z'},
};

// The nine letters of the program's texts.
constexpr unsigned char kTextLetters[] = {165, 134, 169, 136, 228, 162, 152, 171, 190};

bool utf8Name(const std::string &n) {
    return n == "UTF-8" || n == "utf8" || n == "UTF8" || n == "utf-8";
}

// One conversion of in through cd; false on any failure or partial input.
bool convert(iconv_t cd, std::string_view in, std::string &out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *src = const_cast<char *>(in.data());
    std::size_t left = in.size();
    char buf[64];
    out.clear();
    while (left > 0) {
        char *dst = buf;
        std::size_t room = sizeof buf;
        std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, dst - buf);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG)
            return false;
        // glibc counts irreversible conversions: a transliteration, not exact
        if (r != static_cast<std::size_t>(-1) && r > 0)
            return false;
    }
    char *dst = buf;
    std::size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf, dst - buf);
    return true;
}

std::string fileCharset;
bool fileCharsetSet = false;

bool exists(const std::string &path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

void initLocale() {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
}

std::string localeCharset() {
    const char *c = nl_langinfo(CODESET);
    return c ? c : "";
}

bool isCp852(const std::string &n) {
    return n == "CP852" || n == "IBM852" || n == "cp852" || n == "852";
}

Charset::Charset(const std::string &name) : name_(name) {
    iconv_t exact = iconv_open(name.c_str(), "CP852");
    iconv_t translit = iconv_open((name + "//TRANSLIT").c_str(), "CP852");
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        std::string out;
        exact_[b] = false;
        if (exact != reinterpret_cast<iconv_t>(-1) && convert(exact, {&in, 1}, out) &&
            !out.empty()) {
            exact_[b] = true;
            shown_[b] = out;
            continue;
        }
        if (exact == reinterpret_cast<iconv_t>(-1) && b < 128) {
            exact_[b] = true; // a charset iconv does not know: ASCII at least
            shown_[b] = std::string(1, in);
            continue;
        }
        shown_[b] = "?";
        for (const Fallback &f : kPolish)
            if (f.cp852 == b)
                shown_[b] = std::string(1, f.ascii);
        if (shown_[b] != "?")
            continue;
        if (translit != reinterpret_cast<iconv_t>(-1)) {
            iconv(translit, nullptr, nullptr, nullptr, nullptr);
            char *src = const_cast<char *>(&in);
            std::size_t left = 1;
            char buf[16];
            char *dst = buf;
            std::size_t room = sizeof buf;
            if (iconv(translit, &src, &left, &dst, &room) != static_cast<std::size_t>(-1) &&
                dst > buf)
                shown_[b].assign(buf, dst - buf);
        }
    }
    if (exact != reinterpret_cast<iconv_t>(-1))
        iconv_close(exact);
    if (translit != reinterpret_cast<iconv_t>(-1))
        iconv_close(translit);
}

std::string Charset::fromCp852(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    for (unsigned char b : text)
        out += shown_[b];
    return out;
}

bool Charset::fromCp852Exactly(std::string_view text, std::string &out) const {
    std::string r;
    for (unsigned char b : text) {
        if (!exact_[b])
            return false;
        r += shown_[b];
    }
    out = std::move(r);
    return true;
}

bool Charset::showsPolish() const {
    for (unsigned char b : kTextLetters)
        if (!exact_[b])
            return false;
    return true;
}

TextDecoder::TextDecoder(const std::string &charset) {
    if (charset.empty() || isCp852(charset)) {
        kind_ = Kind::Bytes;
    } else if (utf8Name(charset)) {
        kind_ = Kind::Utf8;
    } else {
        kind_ = Kind::Iconv;
        iconv_t cd = iconv_open("UTF-32LE", charset.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1))
            kind_ = Kind::Bytes; // unknown to iconv: take the bytes as they come
        else
            cd_ = cd;
    }
}

TextDecoder::~TextDecoder() {
    if (cd_)
        iconv_close(static_cast<iconv_t>(cd_));
}

bool TextDecoder::pending() const {
    return kind_ == Kind::Utf8 ? utf8_.pending() : !seq_.empty();
}

void TextDecoder::reset() {
    utf8_ = Utf8Reader();
    seq_.clear();
}

TextDecoder::Step TextDecoder::add(unsigned char b) {
    took_ = true;
    switch (kind_) {
    case Kind::Bytes:
        byte_ = b;
        return Step::Done;
    case Kind::Utf8: {
        Utf8Reader::Step s = utf8_.add(b);
        took_ = utf8_.tookByte();
        if (s == Utf8Reader::Step::NeedMore)
            return Step::NeedMore;
        if (s == Utf8Reader::Step::Invalid)
            return Step::Invalid;
        byte_ = cp852FromCodePoint(utf8_.codePoint());
        return Step::Done;
    }
    case Kind::Iconv:
        break;
    }
    seq_ += static_cast<char>(b);
    iconv_t cd = static_cast<iconv_t>(cd_);
    char *src = seq_.data();
    std::size_t left = seq_.size();
    unsigned char buf[8];
    char *dst = reinterpret_cast<char *>(buf);
    std::size_t room = sizeof buf;
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    std::size_t produced = sizeof buf - room;
    if (r == static_cast<std::size_t>(-1) && errno == EINVAL && produced == 0)
        return Step::NeedMore;
    if (r == static_cast<std::size_t>(-1) || produced < 4) {
        // A byte after the first may begin the next character.
        took_ = seq_.size() == 1;
        seq_.clear();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (r != static_cast<std::size_t>(-1))
            return Step::NeedMore; // a shift sequence, no character yet
        return Step::Invalid;
    }
    seq_.clear();
    char32_t cp = buf[0] | (buf[1] << 8) | (buf[2] << 16) | (static_cast<char32_t>(buf[3]) << 24);
    byte_ = cp852FromCodePoint(cp);
    return Step::Done;
}

std::string toCp852(std::string_view text, const std::string &charset) {
    TextDecoder d(charset);
    std::string out;
    auto step = [&](unsigned char b) {
        switch (d.add(b)) {
        case TextDecoder::Step::NeedMore:
            return;
        case TextDecoder::Step::Done:
            out += d.byte() < 0 ? '?' : static_cast<char>(d.byte());
            return;
        case TextDecoder::Step::Invalid:
            out += '?';
            return;
        }
    };
    for (unsigned char b : text) {
        step(b);
        if (!d.tookByte())
            step(b);
    }
    if (d.pending())
        out += '?';
    return out;
}

void setFileNameCharset(const std::string &charset) {
    fileCharset = charset;
    fileCharsetSet = !charset.empty();
}

namespace {
// The name in the file names' charset, when it converts exactly.
bool converted(const std::string &name, std::string &out) {
    std::string cs = fileCharsetSet ? fileCharset : localeCharset();
    bool ascii = true;
    for (unsigned char b : name)
        ascii = ascii && b < 128;
    if (ascii || isCp852(cs))
        return false;
    static std::string cachedName;
    static Charset *cached = nullptr;
    if (!cached || cachedName != cs) {
        delete cached;
        cached = new Charset(cs);
        cachedName = cs;
    }
    return cached->fromCp852Exactly(name, out);
}
} // namespace

std::string pathToOpen(const std::string &name) {
    std::string local;
    if (!converted(name, local))
        return name;
    if (exists(local) || !exists(name))
        return local;
    return name;
}

std::string pathToCreate(const std::string &name) {
    std::string local;
    return converted(name, local) ? local : name;
}

} // namespace platform
