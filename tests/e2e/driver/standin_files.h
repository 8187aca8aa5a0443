#pragma once
// The state files of the test prefix's stand-ins (C:\lumora-standins), as
// the end-to-end tests set them up and read them back.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace lumora::e2e {

inline constexpr char kDir[] = "c:\\lumora-standins";

inline std::string ReadText(const std::string& name) {
  std::ifstream in(std::string(kDir) + "\\" + name, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

inline void WriteText(const std::string& name, const std::string& text) {
  CreateDirectoryA(kDir, nullptr);
  std::ofstream(std::string(kDir) + "\\" + name, std::ios::binary) << text;
}

inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace lumora::e2e
