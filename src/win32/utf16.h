#pragma once
// UTF-8 inside, UTF-16 at the Windows API call.
#include <string>
#include <string_view>

namespace lumora {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// Bytes in the given code page (e.g. the console's) to UTF-8.
std::string CodePageToUtf8(unsigned code_page, std::string_view bytes);

}  // namespace lumora
