#pragma once
// Files as a test lays them out for the real program before it starts: given
// bytes, a directory in the file's place, a read-only file, or a file this
// process holds open without sharing (a lock). Undone when the test ends.
#include <windows.h>

#include <string>
#include <vector>

#include "standin_files.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {

inline constexpr char kIniPath[] = "c:\\tovkwifi.ini";
inline constexpr char kBlackPath[] = "c:\\wifiblack.txt";
inline constexpr char kWhitePath[] = "c:\\wifiwhite.txt";
inline constexpr char kBookPath[] = "c:\\wifiname.txt";

inline std::string Repeat(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// The program's word when a change to `path` could not be saved.
inline std::string Unsaved(const char* path) {
  return std::string("无法保存到 ") + path + "：磁盘可能已满，或文件正被其他程序使用。本次修改没有保存。";
}

enum class Prep { kBytes, kDirectory, kReadOnly, kLocked };

// The stand-ins as a test starts: no state, no log, no planted failure, and
// the two connections of a plain PC.
inline void ResetStandins() {
  for (const char* f : {"netsh.log", "netsh-state.ini", "netsh-fail.txt", "netsh-reply.txt", "sharing-fail.txt"})
    DeleteFileA((std::string(kDir) + "\\" + f).c_str());
  WriteText("sharing.ini", "宽带连接|2|none\r\n无线网络连接 2|7|none\r\n");
}

// Removes whatever stands at `path`: file (read-only too) or directory.
inline void Clear(const char* path) {
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileA(path)) RemoveDirectoryA(path);
}

class PreparedFile {
 public:
  PreparedFile() = default;
  PreparedFile(const char* path, Prep prep, const std::string& bytes) : path_(path) {
    Clear(path);
    if (prep == Prep::kDirectory) {
      CreateDirectoryA(path, nullptr);
      return;
    }
    Win32FileStore().WriteAll(path, bytes);
    if (prep == Prep::kReadOnly) SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    if (prep == Prep::kLocked)
      lock_ = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~PreparedFile() {
    Unlock();
    if (path_) Clear(path_);
  }
  PreparedFile(const PreparedFile&) = delete;
  PreparedFile& operator=(const PreparedFile&) = delete;

  void Unlock() {
    if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
  }

 private:
  const char* path_ = nullptr;
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

// What stands at `path` now: a directory reads as "<dir>", a missing or
// locked file as "<none>"/"<failed>", anything else as its bytes.
inline std::string Snapshot(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "<dir>";
  const FileRead read = Win32FileStore().ReadAll(path);
  if (read.status == FileRead::kMissing) return "<none>";
  return read.status == FileRead::kFailed ? "<failed>" : read.bytes;
}

// Each line of `before` that is not blank, missing from `after` (first few).
inline std::vector<std::string> LostLines(const std::string& before, const std::string& after) {
  std::vector<std::string> lost;
  std::size_t from = 0;
  while (from < before.size() && lost.size() < 3) {
    std::size_t end = before.find('\n', from);
    if (end == std::string::npos) end = before.size();
    std::string line = before.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t\r") != std::string::npos && after.find(line) == std::string::npos)
      lost.push_back(line.substr(0, 40));
    from = end + 1;
  }
  return lost;
}

// The window serves a message within `ms`: it is neither hung nor gone.
inline bool Answers(HWND window, UINT ms = 3000) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

// The text of the program's visible balloon (a tooltip window), or empty;
// pid 0: of any program (the tray's balloons are the shell's windows).
inline std::string BalloonText(DWORD pid) {
  for (HWND tip = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); tip;
       tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(tip, &owner);
    if ((pid && owner != pid) || !IsWindowVisible(tip)) continue;
    const std::string text = WindowText(tip);  // a tooltip answers with its tip
    if (!text.empty()) return text;
  }
  return {};
}

inline bool NothingShared() {
  const std::string sharing = ReadText("sharing.ini");
  return !Has(sharing, "|public") && !Has(sharing, "|private");
}

}  // namespace lumora::e2e
