// wlanapi.dll for end-to-end tests: a WLAN service with one wireless
// interface and a hosted network, for a program that finds this DLL next to
// its exe (Wine's own has no interface and no hosted network). The hosted
// network's state lives in wlan-state.ini, which the netsh stand-in reads
// and writes too (one hosted network, two views), and every call is
// appended to wlan.log (see standin_state.h for the folder):
//
//   enabled=0|1   active=0|1   ssid=...   key=...
//   device_id={GUID}   the virtual adapter the status names (default: none)
//   start_error=N start_reason=R   ForceStart fails with this code and reason
//   change_reason=R    the reason a state-change notification gives (default 0)
//
// ssid and key are the bytes the program passed (code page 936) as UTF-8.
// Starting the hosted network also makes its adapter's connection,
// "本地连接* 12", appear in sharing.ini, as the system's does.
//
// A test stops the hosted network behind the program's back by writing
// active=0 (or enabled=0): a client registered for the hosted network's
// notifications (WlanRegisterNotification, WLAN_NOTIFICATION_SOURCE_HNWK)
// is then called with wlan_hosted_network_state_change and the old and new
// states, from a thread of the stand-in's that watches the state folder, as
// Windows calls it for every change, the program's own included.
//
// The checks a caller can fail are the service's own: a handle it did not
// open, a value of the wrong size, an SSID longer than 32 bytes, a pass
// phrase without its terminating zero or outside 8..63 characters, and a
// start while the hosted network is disabled.
#include <windows.h>
#include <wlanapi.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "standin_state.h"

namespace {

// The hosted-network layouts mingw-w64's wlanapi.h lacks.
constexpr DWORD kOpcodeConnectionSettings = 0;
constexpr DWORD kOpcodeSecuritySettings = 1;
constexpr DWORD kOpcodeEnable = 3;

constexpr DWORD kStateUnavailable = 0;
constexpr DWORD kStateIdle = 1;
constexpr DWORD kStateActive = 2;

constexpr DWORD kReasonSuccess = 0;
constexpr DWORD kReasonBadParameters = 2;   // wlan_hosted_network_reason_bad_parameters
constexpr DWORD kReasonServiceUnavailable = 24;  // ..._service_unavailable (disabled)

struct ConnectionSettings {
  DOT11_SSID ssid;
  DWORD max_peers;
};

struct SecuritySettings {
  DWORD auth_algorithm;    // DOT11_AUTH_ALGO_RSNA_PSK
  DWORD cipher_algorithm;  // DOT11_CIPHER_ALGO_CCMP
};

// WLAN_HOSTED_NETWORK_STATUS with no peers (its peer list holds one entry).
struct Status {
  DWORD state;
  GUID ip_device_id;
  BYTE bssid[6];
  DWORD phy_type;
  ULONG channel_frequency;
  DWORD peer_count;
  BYTE peer_list[16];
};

constexpr DWORD kMaxPeers = 100;
constexpr char kHostedConnection[] = "本地连接* 12";
// Handles this service gives out: a fixed value with a running number.
constexpr UINT_PTR kHandleBase = 0x57A00000;
constexpr DWORD kOpenLimit = 0x10000;

volatile LONG g_opened = 0;

bool ValidHandle(HANDLE handle) {
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
  return value > kHandleBase && value <= kHandleBase + kOpenLimit;
}

void Log(const std::string& line) {
  standin::Lock lock;
  const std::wstring path = standin::PathOf(L"wlan.log");
  std::string text;
  standin::ReadFileText(path, text);
  standin::WriteFileText(path, text + line + "\r\n");
}

standin::Settings ReadState() { return standin::ReadSettings(standin::PathOf(standin::kHostedNetworkFile)); }

bool Flag(const standin::Settings& state, const char* key) {
  return standin::Get(state, key, "0") == "1";
}

// Runs `change` on the state file under the stand-ins' lock.
template <typename Change>
void UpdateState(Change&& change) {
  standin::UpdateSettings(standin::kHostedNetworkFile, std::forward<Change>(change));
}

DWORD HostedState(const standin::Settings& state) {
  return !Flag(state, "enabled") ? kStateUnavailable
         : Flag(state, "active") ? kStateActive
                                 : kStateIdle;
}

std::string GbkToUtf8(const void* bytes, size_t size) {
  const std::string gbk(static_cast<const char*>(bytes), size);
  return standin::FromWide(standin::ToWide(gbk, 936));
}

void* Allocate(size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void SetReason(PDWORD reason, DWORD value) {
  if (reason) *reason = value;
}

// The started hosted network's adapter shows as a connected connection.
void AddHostedConnection() {
  standin::Lock lock;
  const std::wstring path = standin::PathOf(L"sharing.ini");
  std::string text;
  standin::ReadFileText(path, text);
  const std::string prefix = std::string(kHostedConnection) + "|";
  for (const std::string& line : standin::Lines(text))
    if (line.rfind(prefix, 0) == 0) return;
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  standin::WriteFileText(path, text + kHostedConnection + "|2|none\r\n");
}

// --- Notifications of the hosted network -------------------------------------------

// wlan_hosted_network_state_change (L2_NOTIFICATION_CODE_V2_BEGIN) and its
// data, WLAN_HOSTED_NETWORK_STATE_CHANGE; mingw-w64 lacks both.
constexpr DWORD kHostedStateChange = 0x00001000;
struct HostedStateChange {
  DWORD old_state;
  DWORD new_state;
  DWORD reason;
};

// One client handle's registration; its watcher thread shares it.
struct Registration {
  HANDLE client = nullptr;
  WLAN_NOTIFICATION_CALLBACK callback = nullptr;
  void* context = nullptr;
  DWORD sources = 0;
  DWORD last_state = kStateUnavailable;
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = nullptr;
  DWORD thread_id = 0;
  ~Registration() {
    for (HANDLE h : {stop, thread})
      if (h) CloseHandle(h);
  }
};

std::mutex g_registrations_mutex;
std::vector<std::shared_ptr<Registration>> g_registrations;

void Notify(Registration& r, DWORD state, const standin::Settings& settings) {
  HostedStateChange change{r.last_state, state,
                           DWORD(std::strtoul(standin::Get(settings, "change_reason", "0").c_str(), nullptr, 10))};
  WLAN_NOTIFICATION_DATA data{};
  data.NotificationSource = WLAN_NOTIFICATION_SOURCE_HNWK;
  data.NotificationCode = kHostedStateChange;
  data.dwDataSize = sizeof change;
  data.pData = &change;
  Log("notify hosted network state " + std::to_string(r.last_state) + " -> " + std::to_string(state));
  r.last_state = state;
  r.callback(&data, r.context);
}

// Watches the state folder until the registration ends; a change of the
// hosted network's state, whoever made it, is told to the client.
DWORD WINAPI WatchHostedNetwork(void* param) {
  const std::unique_ptr<std::shared_ptr<Registration>> owned(static_cast<std::shared_ptr<Registration>*>(param));
  Registration& r = **owned;
  const HANDLE change = FindFirstChangeNotificationW(
      standin::Folder().c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
  const bool watching = change != INVALID_HANDLE_VALUE;
  for (;;) {
    const HANDLE handles[] = {r.stop, change};
    // Without a change notification the folder is looked at twice a second.
    const DWORD woke = WaitForMultipleObjects(watching ? 2 : 1, handles, FALSE, watching ? INFINITE : 500);
    if (woke == WAIT_OBJECT_0) break;
    if (watching) {
      FindNextChangeNotification(change);
      Sleep(30);  // a writer in place (truncate, then write) is done by then
    }
    const standin::Settings settings = ReadState();
    const DWORD state = HostedState(settings);
    if (state != r.last_state) Notify(r, state, settings);
  }
  if (watching) FindCloseChangeNotification(change);
  return 0;
}

// Ends a client's registration; its watcher is waited for, unless this is
// the watcher's own callback (Windows deadlocks there).
void Unregister(HANDLE client) {
  std::shared_ptr<Registration> gone;
  {
    std::lock_guard lock(g_registrations_mutex);
    for (auto it = g_registrations.begin(); it != g_registrations.end(); ++it)
      if ((*it)->client == client) {
        gone = *it;
        g_registrations.erase(it);
        break;
      }
  }
  if (!gone) return;
  SetEvent(gone->stop);
  if (gone->thread && gone->thread_id != GetCurrentThreadId()) WaitForSingleObject(gone->thread, 5000);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

__declspec(dllexport) DWORD WINAPI WlanOpenHandle(DWORD client_version, PVOID reserved,
                                                  PDWORD negotiated, PHANDLE handle) {
  Log("WlanOpenHandle " + std::to_string(client_version));
  if (reserved || !negotiated || !handle || (client_version != 1 && client_version != 2))
    return ERROR_INVALID_PARAMETER;
  const LONG number = InterlockedIncrement(&g_opened);
  if (DWORD(number) > kOpenLimit) return ERROR_REMOTE_SESSION_LIMIT_EXCEEDED;
  *negotiated = client_version;
  *handle = reinterpret_cast<HANDLE>(kHandleBase + UINT_PTR(number));
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanCloseHandle(HANDLE handle, PVOID reserved) {
  Log("WlanCloseHandle");
  if (!ValidHandle(handle) || reserved) return ERROR_INVALID_PARAMETER;
  Unregister(handle);
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanRegisterNotification(HANDLE handle, DWORD sources,
                                                            BOOL ignore_duplicate,
                                                            WLAN_NOTIFICATION_CALLBACK callback,
                                                            PVOID context, PVOID reserved,
                                                            PDWORD previous) {
  Log("WlanRegisterNotification " + std::to_string(sources));
  (void)ignore_duplicate;
  if (!ValidHandle(handle) || reserved || (sources != WLAN_NOTIFICATION_SOURCE_NONE && !callback))
    return ERROR_INVALID_PARAMETER;
  DWORD before = WLAN_NOTIFICATION_SOURCE_NONE;
  {
    std::lock_guard lock(g_registrations_mutex);
    for (const auto& r : g_registrations)
      if (r->client == handle) before = r->sources;
  }
  if (previous) *previous = before;
  Unregister(handle);
  if (!(sources & WLAN_NOTIFICATION_SOURCE_HNWK)) return ERROR_SUCCESS;
  auto r = std::make_shared<Registration>();
  r->client = handle;
  r->callback = callback;
  r->context = context;
  r->sources = sources;
  r->last_state = HostedState(ReadState());
  auto* param = new std::shared_ptr<Registration>(r);
  r->thread = CreateThread(nullptr, 0, WatchHostedNetwork, param, 0, &r->thread_id);
  if (!r->thread) {
    delete param;
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  std::lock_guard lock(g_registrations_mutex);
  g_registrations.push_back(r);
  return ERROR_SUCCESS;
}

__declspec(dllexport) VOID WINAPI WlanFreeMemory(PVOID memory) {
  if (memory) HeapFree(GetProcessHeap(), 0, memory);
}

__declspec(dllexport) DWORD WINAPI WlanEnumInterfaces(HANDLE handle, PVOID reserved,
                                                      PWLAN_INTERFACE_INFO_LIST* list) {
  Log("WlanEnumInterfaces");
  if (!ValidHandle(handle) || reserved || !list) return ERROR_INVALID_PARAMETER;
  // The entries follow the header: sizeof the list counts none of them.
  const size_t size = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + sizeof(WLAN_INTERFACE_INFO);
  auto* out = static_cast<PWLAN_INTERFACE_INFO_LIST>(Allocate(size));
  if (!out) return ERROR_NOT_ENOUGH_MEMORY;
  out->dwNumberOfItems = 1;
  out->dwIndex = 0;
  WLAN_INTERFACE_INFO& info = out->InterfaceInfo[0];
  info.InterfaceGuid = {0x6C3B1E20, 0x8F4D, 0x4A51, {0x9E, 0x07, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
  const wchar_t description[] = L"Wireless Network Adapter";
  std::memcpy(info.strInterfaceDescription, description, sizeof description);
  info.isState = wlan_interface_state_connected;
  *list = out;
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkQueryProperty(
    HANDLE handle, DWORD opcode, PDWORD size, PVOID* data, PWLAN_OPCODE_VALUE_TYPE type,
    PVOID reserved) {
  Log("WlanHostedNetworkQueryProperty " + std::to_string(opcode));
  if (!ValidHandle(handle) || reserved || !size || !data || !type) return ERROR_INVALID_PARAMETER;
  const standin::Settings state = ReadState();
  *type = wlan_opcode_value_type_set_by_user;
  if (opcode == kOpcodeEnable) {
    auto* value = static_cast<BOOL*>(Allocate(sizeof(BOOL)));
    if (!value) return ERROR_NOT_ENOUGH_MEMORY;
    *value = Flag(state, "enabled") ? TRUE : FALSE;
    *size = sizeof(BOOL);
    *data = value;
    return ERROR_SUCCESS;
  }
  if (opcode == kOpcodeConnectionSettings) {
    auto* value = static_cast<ConnectionSettings*>(Allocate(sizeof(ConnectionSettings)));
    if (!value) return ERROR_NOT_ENOUGH_MEMORY;
    const std::string ssid = standin::Utf8ToGbk(standin::Get(state, "ssid"));
    value->ssid.uSSIDLength = ULONG(ssid.size() <= DOT11_SSID_MAX_LENGTH ? ssid.size() : 0);
    std::memcpy(value->ssid.ucSSID, ssid.data(), value->ssid.uSSIDLength);
    value->max_peers = kMaxPeers;
    *size = sizeof(ConnectionSettings);
    *data = value;
    return ERROR_SUCCESS;
  }
  if (opcode == kOpcodeSecuritySettings) {
    auto* value = static_cast<SecuritySettings*>(Allocate(sizeof(SecuritySettings)));
    if (!value) return ERROR_NOT_ENOUGH_MEMORY;
    value->auth_algorithm = DOT11_AUTH_ALGO_RSNA_PSK;
    value->cipher_algorithm = DOT11_CIPHER_ALGO_CCMP;
    *size = sizeof(SecuritySettings);
    *data = value;
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PARAMETER;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkInitSettings(HANDLE handle, PDWORD reason,
                                                                 PVOID reserved) {
  Log("WlanHostedNetworkInitSettings");
  if (!ValidHandle(handle) || reserved) return ERROR_INVALID_PARAMETER;
  SetReason(reason, kReasonSuccess);
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkSetProperty(HANDLE handle, DWORD opcode,
                                                                DWORD size, PVOID data,
                                                                PDWORD reason, PVOID reserved) {
  if (!ValidHandle(handle) || reserved || !data) {
    Log("WlanHostedNetworkSetProperty " + std::to_string(opcode) + " invalid");
    return ERROR_INVALID_PARAMETER;
  }
  if (opcode == kOpcodeEnable && size == sizeof(BOOL)) {
    const bool enabled = *static_cast<const BOOL*>(data) != FALSE;
    Log(std::string("WlanHostedNetworkSetProperty enable=") + (enabled ? "1" : "0"));
    UpdateState([&](standin::Settings& state) {
      standin::Set(state, "enabled", enabled ? "1" : "0");
      // Disabling a running hosted network stops it.
      if (!enabled) standin::Set(state, "active", "0");
    });
    SetReason(reason, kReasonSuccess);
    return ERROR_SUCCESS;
  }
  if (opcode == kOpcodeConnectionSettings && size >= sizeof(ConnectionSettings)) {
    const auto* settings = static_cast<const ConnectionSettings*>(data);
    const ULONG length = settings->ssid.uSSIDLength;
    if (length == 0 || length > DOT11_SSID_MAX_LENGTH || settings->max_peers == 0) {
      Log("WlanHostedNetworkSetProperty connection settings rejected");
      SetReason(reason, kReasonBadParameters);
      return ERROR_INVALID_PARAMETER;
    }
    const std::string ssid = GbkToUtf8(settings->ssid.ucSSID, length);
    Log("WlanHostedNetworkSetProperty ssid=" + ssid +
        " max_peers=" + std::to_string(settings->max_peers));
    UpdateState([&](standin::Settings& state) { standin::Set(state, "ssid", ssid); });
    SetReason(reason, kReasonSuccess);
    return ERROR_SUCCESS;
  }
  Log("WlanHostedNetworkSetProperty " + std::to_string(opcode) + " size " + std::to_string(size) +
      " rejected");
  SetReason(reason, kReasonBadParameters);
  return ERROR_INVALID_PARAMETER;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkQueryStatus(HANDLE handle, PVOID* status,
                                                                PVOID reserved) {
  Log("WlanHostedNetworkQueryStatus");
  if (!ValidHandle(handle) || reserved || !status) return ERROR_INVALID_PARAMETER;
  const standin::Settings state = ReadState();
  auto* out = static_cast<Status*>(Allocate(sizeof(Status)));
  if (!out) return ERROR_NOT_ENOUGH_MEMORY;
  out->state = HostedState(state);
  const std::string device = standin::Get(state, "device_id");
  unsigned long d1 = 0;
  unsigned d2 = 0, d3 = 0, d4[8] = {};
  if (out->state != kStateUnavailable &&
      std::sscanf(device.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3,
                  &d4[0], &d4[1], &d4[2], &d4[3], &d4[4], &d4[5], &d4[6], &d4[7]) == 11) {
    out->ip_device_id.Data1 = d1;
    out->ip_device_id.Data2 = WORD(d2);
    out->ip_device_id.Data3 = WORD(d3);
    for (int i = 0; i < 8; ++i) out->ip_device_id.Data4[i] = BYTE(d4[i]);
  }
  *status = out;
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkSetSecondaryKey(
    HANDLE handle, DWORD length, PUCHAR key, BOOL is_pass_phrase, BOOL persistent, PDWORD reason,
    PVOID reserved) {
  if (!ValidHandle(handle) || reserved || !key || length == 0) {
    Log("WlanHostedNetworkSetSecondaryKey invalid");
    return ERROR_INVALID_PARAMETER;
  }
  // A pass phrase's length counts its terminating zero; a key is 32 bytes.
  const bool terminated = key[length - 1] == 0;
  const size_t chars = terminated ? length - 1 : length;
  const bool ok = is_pass_phrase ? terminated && chars >= 8 && chars <= 63 : length == 32;
  Log("WlanHostedNetworkSetSecondaryKey length=" + std::to_string(length) +
      " passphrase=" + (is_pass_phrase ? "1" : "0") + " persistent=" + (persistent ? "1" : "0") +
      (ok ? "" : " rejected"));
  if (!ok) {
    SetReason(reason, kReasonBadParameters);
    return ERROR_INVALID_PARAMETER;
  }
  const std::string text = is_pass_phrase ? GbkToUtf8(key, chars) : std::string();
  UpdateState([&](standin::Settings& state) { standin::Set(state, "key", text); });
  SetReason(reason, kReasonSuccess);
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkRefreshSecuritySettings(HANDLE handle,
                                                                            PDWORD reason,
                                                                            PVOID reserved) {
  Log("WlanHostedNetworkRefreshSecuritySettings");
  if (!ValidHandle(handle) || reserved) return ERROR_INVALID_PARAMETER;
  SetReason(reason, kReasonSuccess);
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkForceStart(HANDLE handle, PDWORD reason,
                                                               PVOID reserved) {
  if (!ValidHandle(handle) || reserved) {
    Log("WlanHostedNetworkForceStart invalid");
    return ERROR_INVALID_PARAMETER;
  }
  bool started = false;
  DWORD error = ERROR_INVALID_STATE, failure_reason = kReasonServiceUnavailable;
  UpdateState([&](standin::Settings& state) {
    const std::string refused = standin::Get(state, "start_error");
    if (!refused.empty()) {
      error = std::strtoul(refused.c_str(), nullptr, 10);
      failure_reason = std::strtoul(standin::Get(state, "start_reason", "1").c_str(), nullptr, 10);
    }
    started = Flag(state, "enabled") && refused.empty();
    if (started) standin::Set(state, "active", "1");
  });
  Log(std::string("WlanHostedNetworkForceStart") + (started ? "" : " refused"));
  if (!started) {
    SetReason(reason, failure_reason);
    return error;
  }
  AddHostedConnection();
  SetReason(reason, kReasonSuccess);
  return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI WlanHostedNetworkForceStop(HANDLE handle, PDWORD reason,
                                                              PVOID reserved) {
  Log("WlanHostedNetworkForceStop");
  if (!ValidHandle(handle) || reserved) return ERROR_INVALID_PARAMETER;
  UpdateState([](standin::Settings& state) { standin::Set(state, "active", "0"); });
  SetReason(reason, kReasonSuccess);
  return ERROR_SUCCESS;
}

}  // extern "C"
