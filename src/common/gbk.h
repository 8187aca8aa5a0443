#pragma once
// GBK (code page 936) <-> UTF-8 at the boundary: files on disk and console
// output are GBK, everything inside the program is UTF-8. Natively this is
// iconv; on Windows the code page 936 conversion functions.
#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

// Bytes that are not valid GBK become "?" (one per undecodable byte).
std::string GbkToUtf8(std::string_view gbk);
// Characters that GBK cannot represent become "?".
std::string Utf8ToGbk(std::string_view utf8);
// Length of the text in GBK bytes (a Chinese character counts 2).
std::size_t GbkByteLength(std::string_view utf8);

// The first byte of a GBK double-byte character.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The first `max` bytes of GBK text, less a double-byte character that the
// cut would halve.
std::string CutGbk(std::string_view gbk, std::size_t max);

}  // namespace lumora
