#pragma once
// State shared by the test-only netsh.exe and sharing manager stand-ins and the
// tests that drive them: small UTF-8 text files in one folder of the prefix,
// C:\lumora-standins\ (LUMORA_STANDIN_DIR names another folder for tests that
// want their own). Writers replace a file whole (temporary file, then a move),
// so a reader in another process never sees half of one; read-modify-write
// sequences of the stand-ins are serialised by a named mutex.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standin {

inline std::wstring ToWide(std::string_view utf8, UINT code_page = CP_UTF8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(code_page, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

inline std::string FromWide(std::wstring_view wide, UINT code_page = CP_UTF8) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), int(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(code_page, 0, wide.data(), int(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

// What a Chinese Windows console program writes: code page 936 bytes.
inline std::string Utf8ToGbk(std::string_view utf8) { return FromWide(ToWide(utf8), 936); }

// The state folder with a trailing backslash; created when missing.
inline std::wstring Folder() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"LUMORA_STANDIN_DIR", buffer, MAX_PATH);
  std::wstring dir = n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : L"C:\\lumora-standins";
  if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

inline std::wstring PathOf(const wchar_t* file) { return Folder() + file; }

// Holds the stand-ins' cross-process lock for a read-modify-write.
class Lock {
 public:
  Lock() : mutex_(CreateMutexW(nullptr, FALSE, L"LumoraStandinState")) {
    // An abandoned mutex (a writer that died) is ours all the same.
    if (mutex_) owned_ = WaitForSingleObject(mutex_, 10000) != WAIT_TIMEOUT;
  }
  ~Lock() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  HANDLE mutex_;
  bool owned_ = false;
};

// The whole file; false when it does not exist. A file being replaced at
// this moment is retried.
inline bool ReadFileText(const std::wstring& path, std::string& text) {
  text.clear();
  for (int attempt = 0; attempt < 40; ++attempt) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
      Sleep(25);
      continue;
    }
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
      text.append(buffer, got);
    CloseHandle(file);
    if (ok) return true;
    text.clear();
    Sleep(25);
  }
  return false;
}

// Replaces the file whole; retried while another process holds it.
inline bool WriteFileText(const std::wstring& path, std::string_view text) {
  const std::wstring temp = path + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                            std::to_wstring(GetCurrentThreadId()) + L".tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      text.empty() || (WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
                       written == text.size());
  CloseHandle(file);
  if (ok) {
    // Wine refuses the move while any reader has the file open: wait for a gap.
    for (int attempt = 0; attempt < 200; ++attempt) {
      if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
      Sleep(25);
    }
  }
  DeleteFileW(temp.c_str());
  return false;
}

// The lines of a text, without their CR LF or LF and without a leading BOM.
inline std::vector<std::string> Lines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// "key=value" lines, in file order.
using Settings = std::vector<std::pair<std::string, std::string>>;

inline Settings ReadSettings(const std::wstring& path) {
  std::string text;
  Settings settings;
  if (!ReadFileText(path, text)) return settings;
  for (const std::string& line : Lines(text)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      settings.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return settings;
}

inline bool WriteSettings(const std::wstring& path, const Settings& settings) {
  std::string text;
  for (const auto& [key, value] : settings) text += key + "=" + value + "\r\n";
  return WriteFileText(path, text);
}

inline std::string Get(const Settings& settings, std::string_view key, std::string fallback = {}) {
  for (const auto& [k, v] : settings)
    if (k == key) return v;
  return fallback;
}

inline void Set(Settings& settings, const std::string& key, const std::string& value) {
  for (auto& [k, v] : settings)
    if (k == key) {
      v = value;
      return;
    }
  settings.emplace_back(key, value);
}

// Runs `change` on a settings file of the folder under the stand-ins' lock.
template <typename Change>
void UpdateSettings(const wchar_t* file, Change&& change) {
  Lock lock;
  const std::wstring path = PathOf(file);
  Settings settings = ReadSettings(path);
  change(settings);
  WriteSettings(path, settings);
}

// The hosted network, one for netsh and the WLAN functions as on Windows:
// enabled=0|1 (netsh's mode=allow), active=0|1 (started), ssid, key, and the
// WLAN stand-in's keys (see wlanapi_standin.cpp).
inline constexpr wchar_t kHostedNetworkFile[] = L"wlan-state.ini";

// Appends one line to a log file of the folder, whole-file replaced under
// the lock so that concurrent stand-ins lose no line.
inline void AppendLine(const wchar_t* file, const std::string& line) {
  Lock lock;
  const std::wstring path = PathOf(file);
  std::string log;
  ReadFileText(path, log);
  if (!log.empty() && log.back() != '\n') log += "\r\n";
  WriteFileText(path, log + line + "\r\n");
}

}  // namespace standin
