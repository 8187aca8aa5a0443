#include "win32/autostart_win.h"

#include <windows.h>

#include "win32/utf16.h"

namespace lumora {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

bool RegistryAutostart::AutostartExists() {
  RegKey run;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(kRunKeyPath).c_str(), 0, KEY_QUERY_VALUE | kView,
                    run.Out()) != ERROR_SUCCESS)
    return false;
  return RegQueryValueExW(run.Get(), Widen(value_name_).c_str(), nullptr, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
}

bool RegistryAutostart::SetAutostart(bool on) {
  const std::wstring name = Widen(value_name_);
  if (on) {
    RegKey run;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(kRunKeyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | kView, nullptr, run.Out(),
                        nullptr) != ERROR_SUCCESS)
      return false;
    const std::wstring data =
        Widen(RunValueData(program_path_.empty() ? ProgramPath() : program_path_));
    return RegSetValueExW(run.Get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          DWORD((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  RegKey run;
  const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(kRunKeyPath).c_str(), 0,
                                       KEY_SET_VALUE | KEY_QUERY_VALUE | kView, run.Out());
  if (opened == ERROR_FILE_NOT_FOUND) return true;  // no Run key, no value
  if (opened != ERROR_SUCCESS) return false;
  // The value, or else a key of that name.
  if (RegDeleteValueW(run.Get(), name.c_str()) != ERROR_SUCCESS)
    RegDeleteKeyExW(run.Get(), name.c_str(), kView, 0);
  return !AutostartExists();
}

}  // namespace lumora
