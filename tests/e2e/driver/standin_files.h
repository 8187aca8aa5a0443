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

// Changes a stand-in's state file behind the program's back, under the
// stand-ins' own lock (so that no change of theirs is lost) and by a
// whole-file replacement.
template <class Change>
void EditState(const std::string& file, Change change) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"LumoraStandinState");
  if (mutex) WaitForSingleObject(mutex, 10000);
  WriteText(file + ".new", change(ReadText(file)));
  MoveFileExA((std::string(kDir) + "\\" + file + ".new").c_str(),
              (std::string(kDir) + "\\" + file).c_str(), MOVEFILE_REPLACE_EXISTING);
  if (mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
}

// Sets one "key=value" line of a state file.
inline void SetStateValue(const std::string& file, const std::string& key, const std::string& value) {
  EditState(file, [&](const std::string& text) {
    std::istringstream lines(text);
    std::string line, out;
    bool set = false;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(key + "=", 0) == 0) line = key + "=" + value, set = true;
      if (!line.empty()) out += line + "\r\n";
    }
    return set ? out : out + key + "=" + value + "\r\n";
  });
}

// How many times `part` stands in `text` (a log's lines, say).
inline int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace lumora::e2e
