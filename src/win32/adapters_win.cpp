#include "win32/adapters_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "win32/utf16.h"

namespace lumora {
namespace {

constexpr wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\"
    L"{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

class RegKey {
 public:
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Text of the IP helper's fixed-size ANSI fields, which need not end in zero.
std::string AnsiField(const char* field, size_t size) {
  return CodePageToUtf8(CP_ACP, std::string_view(field, strnlen(field, size)));
}

}  // namespace

std::string ConnectionNameOfAdapter(const std::string& adapter_guid) {
  const std::wstring path = kNetworkClassKey + Widen(adapter_guid) + L"\\Connection";
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS)
    return {};
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), L"Name", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
    return {};
  // One spare character: a stored value need not end in zero.
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), L"Name", nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS)
    return {};
  value.resize(std::min<size_t>(value.size() - 1, bytes / sizeof(wchar_t)));
  value.resize(wcsnlen(value.c_str(), value.size()));
  return Narrow(value);
}

namespace {

// GetAdaptersInfo's list. It can grow between asking for the size and
// reading it: asked again a few times before giving up.
std::unique_ptr<unsigned char[]> AdapterList() {
  ULONG size = 0;
  std::unique_ptr<unsigned char[]> buffer;
  DWORD result = GetAdaptersInfo(nullptr, &size);
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW && size > 0; ++attempt) {
    buffer = std::make_unique<unsigned char[]>(size);
    result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size);
  }
  if (result != ERROR_SUCCESS) buffer.reset();
  return buffer;
}

}  // namespace

std::vector<AdapterInfo> Win32AdaptersPort::Adapters() {
  std::vector<AdapterInfo> adapters;
  const std::unique_ptr<unsigned char[]> buffer = AdapterList();
  if (!buffer) return adapters;
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()); adapter;
       adapter = adapter->Next) {
    AdapterInfo info;
    info.description = AnsiField(adapter->Description, sizeof(adapter->Description));
    info.id = AnsiField(adapter->AdapterName, sizeof(adapter->AdapterName));
    info.connection_name = ConnectionNameOfAdapter(info.id);
    adapters.push_back(std::move(info));
  }
  return adapters;
}

std::string Win32AdaptersPort::InternetRouteConnection() {
  // Where the system would send a packet to a public address (8.8.8.8). The
  // watch asks every few seconds: the adapter list is read only when the
  // route's interface is another than the last time.
  DWORD index = 0;
  if (GetBestInterface(0x08080808, &index) != NO_ERROR) return {};
  std::lock_guard lock(route_mutex_);
  if (route_known_ && index == route_index_) return route_name_;
  route_known_ = true;
  route_index_ = index;
  route_name_.clear();
  const std::unique_ptr<unsigned char[]> buffer = AdapterList();
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()); adapter;
       adapter = adapter->Next)
    if (adapter->Index == index)
      route_name_ =
          ConnectionNameOfAdapter(AnsiField(adapter->AdapterName, sizeof(adapter->AdapterName)));
  return route_name_;
}

std::string Win32AdaptersPort::InternetConnectionName() {
  wchar_t name[513] = {};
  DWORD flags = 0;
  // The name is wanted even when the call reports no connection.
  InternetGetConnectedStateExW(&flags, name, 512, 0);
  name[512] = L'\0';
  std::wstring_view text(name);
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  text = text.substr(first, text.find_last_not_of(L' ') - first + 1);
  return Narrow(text);
}

void Win32AdaptersPort::OpenConnectionsFolder() {
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring program = std::wstring(system, length) + L"\\control.exe";
  std::wstring command_line = L"\"" + program + L"\" ncpa.cpl";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return;
  // Not waited for: the folder lives on by itself.
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace lumora
