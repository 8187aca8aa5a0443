#include "common/text.h"

namespace lumora {
namespace {

bool SameAt(std::string_view text, std::size_t pos, std::string_view needle) {
  for (std::size_t k = 0; k < needle.size(); ++k) {
    if (LowerAscii(text[pos + k]) != LowerAscii(needle[k])) return false;
  }
  return true;
}

}  // namespace

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string TrimSpaces(std::string_view text) { return std::string(Trim(text, " ")); }

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size() || needle.size() > text.size() - from) return std::string_view::npos;
  for (std::size_t pos = from; pos + needle.size() <= text.size(); ++pos) {
    if (SameAt(text, pos, needle)) return pos;
  }
  return std::string_view::npos;
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  return FindNoCase(text, needle) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SameAt(a, 0, b);
}

std::string TextBetween(std::string_view text, std::string_view open, std::string_view close) {
  const std::size_t start = FindNoCase(text, open);
  if (start == std::string_view::npos) return {};
  const std::size_t inner = start + open.size();
  const std::size_t end = FindNoCase(text, close, inner);
  if (end == std::string_view::npos) return {};
  return std::string(text.substr(inner, end - inner));
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;  // overlong
    if (lead == 0xED) high = 0x9F;  // UTF-16 surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;  // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;  // continuation byte, C0/C1 overlong leads, F5..FF
  }
  if (text.size() - pos < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace lumora
