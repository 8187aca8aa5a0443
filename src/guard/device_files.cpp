#include "guard/device_files.h"

namespace lumora {

std::string DeviceFileText(FileStore& files, const std::string& path) {
  return LockedRead(files, path).value_or(std::string());
}

std::string WithFinalCrLf(std::string text) {
  if (!text.empty()) text += "\r\n";
  return text;
}

}  // namespace lumora
