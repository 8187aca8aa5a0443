#include "win32/tethering_win.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <optional>

#include "win32/adapters_win.h"
#include "win32/system_function.h"
#include "win32/utf16.h"
#include "win32/winrt_win.h"

namespace lumora {
namespace {

using namespace winrt;

// Bounds of the waits for the manager; a start that takes longer is a refusal.
constexpr DWORD kConfigureMs = 10000, kStartMs = 30000, kStopMs = 15000, kSwitchMs = 10000;
// What a call may take besides its operation: activation and the profiles.
constexpr DWORD kCallMs = 10000;

std::string GuidText(const GUID& g) {
  wchar_t text[40] = {};
  StringFromGUID2(g, text, 40);
  return Narrow(text);
}

int ConnectivityOf(IConnectionProfile* profile) {
  int level = kLevelNone;
  return SUCCEEDED(profile->GetNetworkConnectivityLevel(&level)) ? level : kLevelNone;
}

// The profile of the named connection, matched through its adapter; an
// adapter keeps the profiles of every network it ever joined, so the best
// connected of them. Else the system's internet connection profile.
ComRef<IConnectionProfile> ProfileFor(const std::string& connection) {
  ComRef<INetworkInformationStatics> info;
  ComRef<IConnectionProfile> best;
  if (!GetFactory(kNetworkInformationClass, kIidNetworkInformationStatics, info.put_void()))
    return best;
  ComRef<IVectorView<IConnectionProfile>> all;
  UINT32 count = 0;
  int best_level = -1;
  if (!connection.empty() && SUCCEEDED(info->GetConnectionProfiles(all.put())) && all &&
      SUCCEEDED(all->get_Size(&count))) {
    for (UINT32 i = 0; i < count; ++i) {
      ComRef<IConnectionProfile> profile;
      ComRef<INetworkAdapter> adapter;
      GUID id{};
      if (FAILED(all->GetAt(i, profile.put())) || !profile ||
          FAILED(profile->get_NetworkAdapter(adapter.put())) || !adapter ||
          FAILED(adapter->get_NetworkAdapterId(&id)) ||
          ConnectionNameOfAdapter(GuidText(id)) != connection)
        continue;
      const int level = ConnectivityOf(profile.get());
      if (level > best_level) {
        best_level = level;
        best = std::move(profile);
      }
    }
  }
  if (!best && FAILED(info->GetInternetConnectionProfile(best.put()))) best.Forget();
  return best;
}

template <typename Statics>
ComRef<Statics> TetheringStatics(REFIID iid) {
  ComRef<Statics> statics;
  if (!GetFactory(kTetheringManagerClass, iid, statics.put_void())) statics.Reset();
  return statics;
}

ComRef<ITetheringManager> ManagerFor(const std::string& connection) {
  auto statics = TetheringStatics<ITetheringManagerStatics2>(kIidTetheringManagerStatics2);
  ComRef<ITetheringManager> manager;
  if (!statics) return manager;
  ComRef<IConnectionProfile> profile = ProfileFor(connection);
  if (profile && FAILED(statics->CreateFromConnectionProfile(profile.get(), manager.put())))
    manager.Forget();
  return manager;
}

TetheringResult Refused(const std::string& why) { return {false, why}; }

constexpr char kNoManager[] = "无法为所选的网络连接创建移动热点";
constexpr char kNoAnswer[] = "系统未能在限定时间内完成操作";

// The system's own words for an error code, without the closing full stop.
std::string SystemWords(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring words(buffer ? buffer : L"", n);
  if (buffer) LocalFree(buffer);
  while (!words.empty() && (std::iswspace(words.back()) || words.back() == L'.' ||
                            words.back() == L'\x3002'))
    words.pop_back();
  return Narrow(words);
}

// How an operation that did not complete is reported.
std::string EndText(const AsyncEnd& end) {
  switch (end.kind) {
    case AsyncEnd::kError: {
      std::string words = SystemWords(DWORD(end.code));
      if (words.empty() && HRESULT_FACILITY(end.code) == FACILITY_WIN32)
        words = SystemWords(HRESULT_CODE(end.code));
      char code[16];
      std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(end.code));
      return (words.empty() ? std::string("系统报告了错误") : words) + "（错误代码 " + code + "）";
    }
    case AsyncEnd::kCanceled: return "系统取消了这次操作";
    default: return kNoAnswer;
  }
}

// Start and stop end in an operation result: its status, and the system's
// own words where it gives any.
TetheringResult Operate(ITetheringManager* manager, bool start) {
  ComRef<IAsyncOperation<ITetheringOperationResult>> operation;
  const HRESULT hr = start ? manager->StartTetheringAsync(operation.put())
                           : manager->StopTetheringAsync(operation.put());
  if (FAILED(hr) || !operation) return Refused(TetheringStatusText(1));
  const AsyncEnd end = Await(operation.get(), start ? kStartMs : kStopMs);
  if (end.kind != AsyncEnd::kCompleted) return Refused(EndText(end));
  ComRef<ITetheringOperationResult> result;
  int status = 1;
  if (FAILED(operation->GetResults(result.put())) || !result || FAILED(result->get_Status(&status)))
    return Refused(TetheringStatusText(1));
  if (status == 0) return {true, {}};
  String extra;
  std::string text = TetheringStatusText(status);
  if (SUCCEEDED(result->get_AdditionalErrorMessage(extra.put())) && !extra.Text().empty())
    text += "（" + Narrow(extra.Text()) + "）";
  return Refused(text);
}

TetheringResult Configured(const std::string& connection, const std::string& ssid,
                           const std::string& passphrase) {
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  if (!manager) return Refused(kNoManager);
  ComRef<ITetheringAccessPointConfiguration> config;
  if (FAILED(manager->GetCurrentAccessPointConfiguration(config.put())) || !config)
    return Refused("无法读取移动热点的配置");
  String name(Widen(ssid)), key(Widen(passphrase));
  if (FAILED(config->put_Ssid(name.get())) || FAILED(config->put_Passphrase(key.get())))
    return Refused("网络名称或密码不被系统接受");
  ComRef<IAsyncAction> action;
  if (FAILED(manager->ConfigureAccessPointAsync(config.get(), action.put())) || !action)
    return Refused("无法设置移动热点的网络名称和密码");
  const AsyncEnd end = Await(action.get(), kConfigureMs);
  if (end.kind != AsyncEnd::kCompleted) return Refused("无法设置移动热点的网络名称和密码：" + EndText(end));
  if (FAILED(action->GetResults())) return Refused("无法设置移动热点的网络名称和密码");
  return {true, {}};
}

// Starts or stops the Mobile Hotspot that shares `connection`.
TetheringResult OperateOn(const std::string& connection, bool start) {
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  return manager ? Operate(manager.get(), start) : Refused(kNoManager);
}

// A question the system could not answer does not refuse the start: the
// start itself then says what is wrong. Nor do the two answers that need
// not hold for a desktop program: an unknown cause, and the missing
// capability entry of a packaged app's manifest (7), which such a program
// has none of.
TetheringResult CapabilityOf(const std::string& connection) {
  auto statics = TetheringStatics<ITetheringManagerStatics2>(kIidTetheringManagerStatics2);
  ComRef<IConnectionProfile> profile = statics ? ProfileFor(connection) : ComRef<IConnectionProfile>();
  int capability = kCapabilityEnabled;
  if (!profile ||
      FAILED(statics->GetTetheringCapabilityFromConnectionProfile(profile.get(), &capability)) ||
      capability == kCapabilityEnabled || capability == 6 || capability == 7)
    return {true, {}};
  return Refused(TetheringCapabilityText(capability));
}

// The manager's MAC text in the client list's form: upper case, "-" between bytes.
std::string MacText(const std::wstring& raw) {
  std::string mac = Narrow(raw);
  for (char& c : mac) {
    if (c == ':') c = '-';
    if (c >= 'a' && c <= 'f') c = char(c - 'a' + 'A');
  }
  return mac;
}

std::vector<TetheringClient> ClientsOf(const std::string& connection) {
  std::vector<TetheringClient> clients;
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  ComRef<ITetheringClientManager> client_manager;
  ComRef<IVectorView<ITetheringClient>> list;
  UINT32 count = 0;
  if (!manager ||
      FAILED(manager->QueryInterface(kIidTetheringClientManager, client_manager.put_void())) ||
      FAILED(client_manager->GetTetheringClients(list.put())) || !list ||
      FAILED(list->get_Size(&count)))
    return clients;
  for (UINT32 i = 0; i < count; ++i) {
    ComRef<ITetheringClient> client;
    String mac;
    if (FAILED(list->GetAt(i, client.put())) || !client || FAILED(client->get_MacAddress(mac.put())))
      continue;
    TetheringClient row{MacText(mac.Text()), {}};
    ComRef<IVectorView<IHostName>> names;
    UINT32 name_count = 0;
    if (SUCCEEDED(client->get_HostNames(names.put())) && names &&
        SUCCEEDED(names->get_Size(&name_count)))
      for (UINT32 n = 0; n < name_count; ++n) {
        ComRef<IHostName> host;
        String display;
        if (SUCCEEDED(names->GetAt(n, host.put())) && host &&
            SUCCEEDED(host->get_DisplayName(display.put())) && !display.Text().empty())
          row.host_names.push_back(Narrow(display.Text()));
      }
    clients.push_back(std::move(row));
  }
  return clients;
}

// Nothing where the system has no such switch (before Windows 10 2004).
std::optional<bool> TimeoutSwitch() {
  auto statics = TetheringStatics<ITetheringManagerStatics4>(kIidTetheringManagerStatics4);
  boolean enabled = 0;
  if (!statics || FAILED(statics->IsNoConnectionsTimeoutEnabled(&enabled))) return std::nullopt;
  return enabled != 0;
}

bool SwitchTimeout(bool enabled) {
  auto statics = TetheringStatics<ITetheringManagerStatics4>(kIidTetheringManagerStatics4);
  ComRef<IAsyncAction> action;
  if (!statics || FAILED(enabled ? statics->EnableNoConnectionsTimeoutAsync(action.put())
                                 : statics->DisableNoConnectionsTimeoutAsync(action.put())) ||
      !action)
    return false;
  return Await(action.get(), kSwitchMs).kind == AsyncEnd::kCompleted &&
         SUCCEEDED(action->GetResults());
}

}  // namespace

std::string TetheringStatusText(int status) {
  switch (status) {
    case 0: return "操作成功";
    case 2: return "移动宽带设备已关闭";
    case 3: return "无线网卡已关闭";
    case 4: return "运营商授权检查超时";
    case 5: return "运营商授权检查未通过";
    case 6: return "另一个移动热点操作正在进行";
    case 7: return "蓝牙设备已关闭";
    case 8: return "当前网络连接受限";
    default: return "未知错误（状态 " + std::to_string(status) + "）";
  }
}

std::string TetheringCapabilityText(int capability) {
  switch (capability) {
    case 1: return "移动热点已被组策略禁用";
    case 2: return "无线网卡的硬件不支持移动热点";
    case 3: return "运营商不允许共享这个网络连接";
    case 4: return "这个版本的 Windows 不提供移动热点";
    case 5: return "没有安装运营商要求的应用";
    default: return "系统不允许在这个网络连接上开启移动热点（原因 " + std::to_string(capability) + "）";
  }
}

// Every call below runs in the multithreaded apartment of a thread of its
// own: the caller may be the window's single-threaded apartment, which
// must not wait for the runtime without serving its messages.

bool Win32TetheringPort::Available() {
  return InMta(kCallMs, false, [] {
    return bool(TetheringStatics<ITetheringManagerStatics2>(kIidTetheringManagerStatics2));
  });
}

WindowsBuild Win32TetheringPort::RealVersion() {
  // ntdll's RtlGetVersion fills the same structure with the true numbers.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto get = SystemFunction<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!get || get(&info) != 0) return {};
  return {int(info.dwMajorVersion), int(info.dwMinorVersion), int(info.dwBuildNumber)};
}

TetheringResult Win32TetheringPort::Capability(const std::string& connection) {
  return InMta(kCallMs, TetheringResult{true, {}}, [connection] { return CapabilityOf(connection); });
}

TetheringResult Win32TetheringPort::Configure(const std::string& connection,
                                              const std::string& ssid,
                                              const std::string& passphrase) {
  return InMta(kCallMs + kConfigureMs, Refused(kNoAnswer), [connection, ssid, passphrase] {
    return Configured(connection, ssid, passphrase);
  });
}

TetheringResult Win32TetheringPort::Start(const std::string& connection) {
  return InMta(kCallMs + kStartMs, Refused(kNoAnswer), [connection] { return OperateOn(connection, true); });
}

TetheringResult Win32TetheringPort::Stop(const std::string& connection) {
  return InMta(kCallMs + kStopMs, Refused(kNoAnswer), [connection] { return OperateOn(connection, false); });
}

bool Win32TetheringPort::Running(const std::string& connection) {
  return InMta(kCallMs, false, [connection] {
    ComRef<ITetheringManager> manager = ManagerFor(connection);
    int state = kStateUnknown;
    return manager && SUCCEEDED(manager->get_TetheringOperationalState(&state)) && state == kStateOn;
  });
}

std::vector<TetheringClient> Win32TetheringPort::Clients(const std::string& connection) {
  return InMta(kCallMs, std::vector<TetheringClient>(), [connection] { return ClientsOf(connection); });
}

std::optional<bool> Win32TetheringPort::NoClientsTimeout() {
  return InMta(kCallMs, std::optional<bool>(), [] { return TimeoutSwitch(); });
}

bool Win32TetheringPort::SetNoClientsTimeout(bool enabled) {
  return InMta(kCallMs + kSwitchMs, false, [enabled] { return SwitchTimeout(enabled); });
}

}  // namespace lumora
