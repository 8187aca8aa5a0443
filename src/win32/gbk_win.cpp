#include <windows.h>

#include <climits>
#include <cstddef>
#include <string>

#include "common/gbk.h"
#include "common/text.h"

// Code page 936 through the Windows conversion functions, with the same
// contract as the iconv build: every byte or character that cannot be
// converted becomes one "?" and conversion carries on after it.
namespace lumora {
namespace {

constexpr UINT kGbk = 936;

bool Fits(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX / 4); }

// Strict: fails (empty result, false) rather than substituting.
bool ToWide(UINT codepage, std::string_view in, std::wstring& out) {
  out.clear();
  if (in.empty()) return true;
  if (!Fits(in.size())) return false;
  const int size = static_cast<int>(in.size());
  const int n = MultiByteToWideChar(codepage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  return MultiByteToWideChar(codepage, MB_ERR_INVALID_CHARS, in.data(), size, &out[0], n) == n;
}

std::string Utf8FromWide(const std::wstring& in) {
  if (in.empty()) return {};
  const int size = static_cast<int>(in.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, in.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, in.data(), size, &out[0], n, nullptr, nullptr);
  return out;
}

// False when some character has no GBK form. No best fit: "é" must not quietly become "e".
bool GbkFromWide(const std::wstring& in, std::string& out) {
  out.clear();
  if (in.empty()) return true;
  const int size = static_cast<int>(in.size());
  BOOL defaulted = FALSE;
  const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, in.data(), size, nullptr, 0, "?", &defaulted);
  if (n <= 0 || defaulted) return false;
  out.resize(static_cast<std::size_t>(n));
  return WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, in.data(), size, &out[0], n, "?", &defaulted) == n &&
         !defaulted;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  std::wstring wide;
  if (ToWide(kGbk, gbk, wide)) return Utf8FromWide(wide);
  // Some byte is bad: go character by character so only that byte is lost.
  std::string out;
  for (std::size_t pos = 0; pos < gbk.size();) {
    const unsigned char lead = static_cast<unsigned char>(gbk[pos]);
    const std::size_t length = (IsGbkLeadByte(lead) && pos + 1 < gbk.size()) ? 2 : 1;
    if (ToWide(kGbk, gbk.substr(pos, length), wide)) {
      out += Utf8FromWide(wide);
      pos += length;
    } else {
      out += '?';
      ++pos;  // the byte after a bad lead byte may start a character of its own
    }
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  std::wstring wide;
  std::string out;
  if (ToWide(CP_UTF8, utf8, wide) && GbkFromWide(wide, out)) return out;
  out.clear();
  std::string piece;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = Utf8CharLength(utf8, pos);
    if (length == 0) {  // malformed: one "?" per byte
      out += '?';
      ++pos;
      continue;
    }
    if (ToWide(CP_UTF8, utf8.substr(pos, length), wide) && GbkFromWide(wide, piece)) {
      out += piece;
    } else {
      out += '?';  // one for the whole character, even a surrogate pair
    }
    pos += length;
  }
  return out;
}

std::size_t GbkByteLength(std::string_view utf8) { return Utf8ToGbk(utf8).size(); }

}  // namespace lumora
