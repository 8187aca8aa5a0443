#include "common/mac_text.h"

namespace lumora {

std::string MacText(const unsigned char bytes[6]) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(17);
  for (int i = 0; i < 6; ++i) {
    if (i > 0) text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace lumora
