#include "win32/wlan_win.h"

#include <wlanapi.h>

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "common/gbk.h"

namespace lumora {
namespace {

// The hosted-network declarations mingw-w64's wlanapi.h lacks; layouts as
// the system's wlanapi.h gives them.
enum HostedOpcode : DWORD {
  kOpcodeConnectionSettings = 0,
  kOpcodeSecuritySettings = 1,
  kOpcodeStationProfile = 2,
  kOpcodeEnable = 3,
};

enum HostedState : DWORD { kStateUnavailable = 0, kStateIdle = 1, kStateActive = 2 };

struct HostedConnectionSettings {
  DOT11_SSID ssid;
  DWORD max_peers;
};

// Only the leading fields are read; the system allocates the whole status.
struct HostedStatusHead {
  HostedState state;
  GUID ip_device_id;
};

using HostedReason = DWORD;

using OpenHandleFn = DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE);
using CloseHandleFn = DWORD(WINAPI*)(HANDLE, PVOID);
using EnumInterfacesFn = DWORD(WINAPI*)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
using FreeMemoryFn = VOID(WINAPI*)(PVOID);
using QueryPropertyFn = DWORD(WINAPI*)(HANDLE, HostedOpcode, PDWORD, PVOID*,
                                       PWLAN_OPCODE_VALUE_TYPE, PVOID);
using SetPropertyFn = DWORD(WINAPI*)(HANDLE, HostedOpcode, DWORD, PVOID, HostedReason*, PVOID);
using ReasonOnlyFn = DWORD(WINAPI*)(HANDLE, HostedReason*, PVOID);
using QueryStatusFn = DWORD(WINAPI*)(HANDLE, HostedStatusHead**, PVOID);
using SetSecondaryKeyFn = DWORD(WINAPI*)(HANDLE, DWORD, PUCHAR, BOOL, BOOL, HostedReason*, PVOID);

}  // namespace

struct Win32WlanPort::Api {
  OpenHandleFn open = nullptr;
  CloseHandleFn close = nullptr;
  EnumInterfacesFn enum_interfaces = nullptr;
  FreeMemoryFn free_memory = nullptr;
  QueryPropertyFn query_property = nullptr;
  ReasonOnlyFn init_settings = nullptr;
  SetPropertyFn set_property = nullptr;
  QueryStatusFn query_status = nullptr;
  SetSecondaryKeyFn set_secondary_key = nullptr;
  ReasonOnlyFn refresh_security = nullptr;
  ReasonOnlyFn force_start = nullptr;
  ReasonOnlyFn force_stop = nullptr;
};

namespace {

using Api = Win32WlanPort::Api;

// A client handle of the WLAN service for one call: version 2 (Vista and
// later) first, then version 1 (XP's WLAN API).
class Session {
 public:
  explicit Session(const Api& api) : api_(api) {
    if (!api_.open || !api_.close) return;
    DWORD negotiated = 0;
    if (api_.open(2, nullptr, &negotiated, &handle_) != ERROR_SUCCESS) {
      handle_ = nullptr;
      if (api_.open(1, nullptr, &negotiated, &handle_) != ERROR_SUCCESS) handle_ = nullptr;
    }
  }
  ~Session() {
    if (handle_) api_.close(handle_, nullptr);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  HANDLE get() const { return handle_; }

 private:
  const Api& api_;
  HANDLE handle_ = nullptr;
};

// Memory the WLAN service allocated for us.
template <typename T>
struct WlanMemory {
  const Api& api;
  T* p = nullptr;
  ~WlanMemory() {
    if (p && api.free_memory) api.free_memory(p);
  }
};

// Reads a hosted-network property; false when the call fails or the value is
// shorter than `T`.
template <typename T>
bool QueryProperty(const Api& api, HANDLE handle, HostedOpcode opcode, T* out) {
  if (!api.query_property || !api.free_memory) return false;
  DWORD size = 0;
  WlanMemory<void> data{api};
  WLAN_OPCODE_VALUE_TYPE type{};
  if (api.query_property(handle, opcode, &size, &data.p, &type, nullptr) != ERROR_SUCCESS ||
      !data.p || size < sizeof(T))
    return false;
  std::memcpy(out, data.p, sizeof(T));
  return true;
}

// Calls `fn`; what a failure reported goes to `failure` when given.
bool CallWithReason(const Api& api, ReasonOnlyFn fn, WlanFailure* failure = nullptr) {
  WlanFailure seen{ERROR_PROC_NOT_FOUND, 0};
  bool ok = false;
  if (fn) {
    Session session(api);
    HostedReason reason = 0;
    const DWORD error = session.get() ? fn(session.get(), &reason, nullptr) : ERROR_SERVICE_NOT_ACTIVE;
    ok = error == ERROR_SUCCESS;
    seen = {error, int(reason)};
  }
  if (!ok && failure) *failure = seen;
  return ok;
}

std::string GuidText(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

// Windows' own default when the configured number cannot be read.
constexpr DWORD kDefaultMaxPeers = 100;

}  // namespace

Win32WlanPort::Win32WlanPort() : api_(std::make_unique<Api>()) {
  module_ = LoadLibraryW(L"wlanapi.dll");
  if (!module_) return;
  ResolveAll([this](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module_, name));
  });
}

Win32WlanPort::Win32WlanPort(const Resolver& resolve) : api_(std::make_unique<Api>()) {
  ResolveAll(resolve);
}

void Win32WlanPort::ResolveAll(const Resolver& resolve) {
  auto get = [&](auto& fn, const char* name) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(resolve(name));
  };
  get(api_->open, "WlanOpenHandle");
  get(api_->close, "WlanCloseHandle");
  get(api_->enum_interfaces, "WlanEnumInterfaces");
  get(api_->free_memory, "WlanFreeMemory");
  get(api_->query_property, "WlanHostedNetworkQueryProperty");
  get(api_->init_settings, "WlanHostedNetworkInitSettings");
  get(api_->set_property, "WlanHostedNetworkSetProperty");
  get(api_->query_status, "WlanHostedNetworkQueryStatus");
  get(api_->set_secondary_key, "WlanHostedNetworkSetSecondaryKey");
  get(api_->refresh_security, "WlanHostedNetworkRefreshSecuritySettings");
  get(api_->force_start, "WlanHostedNetworkForceStart");
  get(api_->force_stop, "WlanHostedNetworkForceStop");
}

Win32WlanPort::~Win32WlanPort() {
  if (module_) FreeLibrary(module_);
}

int Win32WlanPort::InterfaceCount() {
  Session session(*api_);
  if (!session.get()) return -1;
  if (!api_->enum_interfaces || !api_->free_memory) return 0;
  WlanMemory<WLAN_INTERFACE_INFO_LIST> list{*api_};
  if (api_->enum_interfaces(session.get(), nullptr, &list.p) != ERROR_SUCCESS || !list.p)
    return 0;
  // Only the count is read: the entries follow it as a flexible array.
  return static_cast<int>(list.p->dwNumberOfItems);
}

bool Win32WlanPort::HostedNetworkEnabled() {
  Session session(*api_);
  if (!session.get()) return false;
  BOOL enabled = FALSE;
  return QueryProperty(*api_, session.get(), kOpcodeEnable, &enabled) && enabled;
}

bool Win32WlanPort::SetHostedNetworkEnabled(bool enabled) {
  std::lock_guard lock(failure_mutex_);
  if (!api_->init_settings || !api_->set_property) {
    last_failure_ = {ERROR_PROC_NOT_FOUND, 0};
    return false;
  }
  Session session(*api_);
  if (!session.get()) {
    last_failure_ = {ERROR_SERVICE_NOT_ACTIVE, 0};
    return false;
  }
  HostedReason reason = 0;
  // A failed InitSettings (settings already there) does not stop the change.
  api_->init_settings(session.get(), &reason, nullptr);
  BOOL value = enabled ? TRUE : FALSE;
  reason = 0;
  const DWORD error =
      api_->set_property(session.get(), kOpcodeEnable, sizeof(value), &value, &reason, nullptr);
  if (error != ERROR_SUCCESS) last_failure_ = {error, int(reason)};
  return error == ERROR_SUCCESS;
}

bool Win32WlanPort::HostedNetworkActive() { return HostedNetworkUp().value_or(false); }

std::optional<bool> Win32WlanPort::HostedNetworkUp() {
  if (!api_->query_status || !api_->free_memory) return std::nullopt;
  Session session(*api_);
  if (!session.get()) return std::nullopt;
  WlanMemory<HostedStatusHead> status{*api_};
  if (api_->query_status(session.get(), &status.p, nullptr) != ERROR_SUCCESS || !status.p)
    return std::nullopt;
  return status.p->state == kStateActive;
}

bool Win32WlanPort::InitSettings() { return CallWithReason(*api_, api_->init_settings); }

bool Win32WlanPort::SetConnectionSettings(const std::string& ssid_gbk) {
  if (!api_->set_property) return false;
  Session session(*api_);
  if (!session.get()) return false;
  HostedConnectionSettings settings{};
  if (!QueryProperty(*api_, session.get(), kOpcodeConnectionSettings, &settings) ||
      settings.max_peers == 0)
    settings.max_peers = kDefaultMaxPeers;
  const std::string ssid = CutGbk(ssid_gbk, DOT11_SSID_MAX_LENGTH);
  std::memset(&settings.ssid, 0, sizeof(settings.ssid));
  std::memcpy(settings.ssid.ucSSID, ssid.data(), ssid.size());
  settings.ssid.uSSIDLength = static_cast<ULONG>(ssid.size());
  HostedReason reason = 0;
  return api_->set_property(session.get(), kOpcodeConnectionSettings, sizeof(settings),
                            &settings, &reason, nullptr) == ERROR_SUCCESS;
}

bool Win32WlanPort::SetSecondaryKey(const std::string& key_gbk) {
  if (!api_->set_secondary_key) return false;
  Session session(*api_);
  if (!session.get()) return false;
  // A pass phrase's length counts its terminating zero.
  std::vector<UCHAR> key(key_gbk.begin(), key_gbk.end());
  key.push_back(0);
  HostedReason reason = 0;
  return api_->set_secondary_key(session.get(), static_cast<DWORD>(key.size()), key.data(),
                                 TRUE /* pass phrase */, TRUE /* persistent */, &reason,
                                 nullptr) == ERROR_SUCCESS;
}

bool Win32WlanPort::RefreshSecuritySettings() {
  return CallWithReason(*api_, api_->refresh_security);
}

bool Win32WlanPort::ForceStart() {
  std::lock_guard lock(failure_mutex_);
  return CallWithReason(*api_, api_->force_start, &last_failure_);
}

WlanFailure Win32WlanPort::LastFailure() {
  std::lock_guard lock(failure_mutex_);
  return last_failure_;
}

std::string Win32WlanPort::HostedDeviceId() {
  if (!api_->query_status || !api_->free_memory) return {};
  Session session(*api_);
  if (!session.get()) return {};
  WlanMemory<HostedStatusHead> status{*api_};
  if (api_->query_status(session.get(), &status.p, nullptr) != ERROR_SUCCESS || !status.p ||
      status.p->state == kStateUnavailable || status.p->ip_device_id == GUID{})
    return {};
  return GuidText(status.p->ip_device_id);
}

bool Win32WlanPort::ForceStop() { return CallWithReason(*api_, api_->force_stop); }

}  // namespace lumora
