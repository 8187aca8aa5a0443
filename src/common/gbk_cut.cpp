#include "common/gbk.h"

namespace lumora {

std::string CutGbk(std::string_view gbk, std::size_t max) {
  std::size_t end = 0;
  while (end < gbk.size()) {
    const bool pair = IsGbkLeadByte(static_cast<unsigned char>(gbk[end])) && end + 1 < gbk.size();
    const std::size_t width = pair ? 2 : 1;
    if (end + width > max) break;
    end += width;
  }
  return std::string(gbk.substr(0, end));
}

}  // namespace lumora
