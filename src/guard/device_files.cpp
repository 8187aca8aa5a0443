#include "guard/device_files.h"

#include "common/lines.h"

namespace lumora {

std::string DeviceFileText(FileStore& files, const std::string& path) {
  return LockedRead(files, path).value_or(std::string());
}

bool IsListed(std::string_view list, std::string_view mac) { return RecordLineOf(list, mac) > 0; }

std::string WithFinalCrLf(std::string text) {
  if (!text.empty()) text += "\r\n";
  return text;
}

}  // namespace lumora
