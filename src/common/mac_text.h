#pragma once
#include <string>

namespace lumora {

// Six bytes as two upper-case hex digits each, joined by "-": 00-1A-2B-3C-4D-5E.
std::string MacText(const unsigned char bytes[6]);

}  // namespace lumora
