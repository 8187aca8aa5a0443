#include "win32/utf16.h"

#include <windows.h>

namespace lumora {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string CodePageToUtf8(unsigned code_page, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), int(bytes.size()), wide.data(), n);
  return Narrow(wide);
}

}  // namespace lumora
