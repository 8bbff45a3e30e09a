// The key codes the modes act on, as the single-key read delivers them.
#pragma once

namespace kod {

inline constexpr unsigned char kEsc = 27;
// An extended key: the next read gives its second code.
inline constexpr unsigned char kRozszerzony = 224;

inline constexpr unsigned char kStop = 'w';
inline constexpr unsigned char kGlosniej = '+';
inline constexpr unsigned char kCiszej = '-';
inline constexpr unsigned char kPoziomWyzej = '[';
inline constexpr unsigned char kPoziomNizej = ']';
// Selects the first level; the bytes after it select the further ones.
inline constexpr unsigned char kPierwszyPoziom = '1';

// Second codes after kRozszerzony.
inline constexpr int kStrzalkaWGore = 72;
inline constexpr int kStrzalkaWLewo = 75;
inline constexpr int kStrzalkaWDol = 80;
inline constexpr int kStrzalkaWPrawo = 77;

} // namespace kod
