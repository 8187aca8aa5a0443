#include "win32/tethering_win.h"

#include <windows.h>

#include <cwctype>

#include "win32/adapters_win.h"
#include "win32/utf16.h"
#include "win32/winrt_win.h"

namespace lumora {
namespace {

using namespace winrt;

// Bounds of the waits for the manager; a start that takes longer is a refusal.
constexpr DWORD kConfigureMs = 10000, kStartMs = 30000, kStopMs = 15000;

std::string GuidText(const GUID& g) {
  wchar_t text[40] = {};
  StringFromGUID2(g, text, 40);
  return Narrow(text);
}

// The profile of the named connection (matched through its adapter), else
// the system's internet connection profile.
ComRef<IConnectionProfile> ProfileFor(const std::string& connection) {
  ComRef<INetworkInformationStatics> info;
  ComRef<IConnectionProfile> profile;
  if (!GetFactory(kNetworkInformationClass, kIidNetworkInformationStatics, info.put_void()))
    return profile;
  ComRef<IVectorView<IConnectionProfile>> all;
  UINT32 count = 0;
  if (!connection.empty() && SUCCEEDED(info->GetConnectionProfiles(all.put())) && all &&
      SUCCEEDED(all->get_Size(&count))) {
    for (UINT32 i = 0; i < count; ++i) {
      ComRef<INetworkAdapter> adapter;
      GUID id{};
      if (FAILED(all->GetAt(i, profile.put())) || !profile ||
          FAILED(profile->get_NetworkAdapter(adapter.put())) || !adapter ||
          FAILED(adapter->get_NetworkAdapterId(&id)))
        continue;
      if (ConnectionNameOfAdapter(GuidText(id)) == connection) return profile;
    }
  }
  if (FAILED(info->GetInternetConnectionProfile(profile.put()))) profile.Forget();
  return profile;
}

ComRef<ITetheringManager> ManagerFor(const std::string& connection) {
  ComRef<ITetheringManagerStatics2> statics;
  ComRef<ITetheringManager> manager;
  if (!GetFactory(kTetheringManagerClass, kIidTetheringManagerStatics2, statics.put_void()))
    return manager;
  ComRef<IConnectionProfile> profile = ProfileFor(connection);
  if (profile && FAILED(statics->CreateFromConnectionProfile(profile.get(), manager.put())))
    manager.Forget();
  return manager;
}

TetheringResult Refused(const std::string& why) { return {false, why}; }

constexpr char kNoManager[] = "无法为所选的网络连接创建移动热点";

// Start and stop end in an operation result: its status, and the system's
// own words where it gives any.
TetheringResult Operate(ITetheringManager* manager, bool start) {
  ComRef<IAsyncOperation<ITetheringOperationResult>> operation;
  const HRESULT hr = start ? manager->StartTetheringAsync(operation.put())
                           : manager->StopTetheringAsync(operation.put());
  if (FAILED(hr) || !operation) return Refused(TetheringStatusText(1));
  if (!Await(operation.get(), start ? kStartMs : kStopMs))
    return Refused("系统未能在限定时间内完成操作");
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

// The manager's MAC text in the client list's form: upper case, "-" between bytes.
std::string MacText(const std::wstring& raw) {
  std::string mac = Narrow(raw);
  for (char& c : mac) {
    if (c == ':') c = '-';
    if (c >= 'a' && c <= 'f') c = char(c - 'a' + 'A');
  }
  return mac;
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

bool Win32TetheringPort::Available() {
  Scope scope;
  ComRef<ITetheringManagerStatics2> statics;
  return GetFactory(kTetheringManagerClass, kIidTetheringManagerStatics2, statics.put_void());
}

WindowsBuild Win32TetheringPort::RealVersion() {
  // ntdll's RtlGetVersion fills the same structure with the true numbers.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto get = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!get || get(&info) != 0) return {};
  return {int(info.dwMajorVersion), int(info.dwMinorVersion), int(info.dwBuildNumber)};
}

TetheringResult Win32TetheringPort::Configure(const std::string& connection,
                                              const std::string& ssid,
                                              const std::string& passphrase) {
  Scope scope;
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  if (!manager) return Refused(kNoManager);
  ComRef<ITetheringAccessPointConfiguration> config;
  if (FAILED(manager->GetCurrentAccessPointConfiguration(config.put())) || !config)
    return Refused("无法读取移动热点的配置");
  String name(Widen(ssid)), key(Widen(passphrase));
  if (FAILED(config->put_Ssid(name.get())) || FAILED(config->put_Passphrase(key.get())))
    return Refused("网络名称或密码不被系统接受");
  ComRef<IAsyncAction> action;
  if (FAILED(manager->ConfigureAccessPointAsync(config.get(), action.put())) || !action ||
      !Await(action.get(), kConfigureMs) || FAILED(action->GetResults()))
    return Refused("无法设置移动热点的网络名称和密码");
  return {true, {}};
}

TetheringResult Win32TetheringPort::Start(const std::string& connection) {
  Scope scope;
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  return manager ? Operate(manager.get(), true) : Refused(kNoManager);
}

TetheringResult Win32TetheringPort::Stop(const std::string& connection) {
  Scope scope;
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  return manager ? Operate(manager.get(), false) : Refused(kNoManager);
}

bool Win32TetheringPort::Running(const std::string& connection) {
  Scope scope;
  ComRef<ITetheringManager> manager = ManagerFor(connection);
  int state = kStateUnknown;
  return manager && SUCCEEDED(manager->get_TetheringOperationalState(&state)) && state == kStateOn;
}

std::vector<TetheringClient> Win32TetheringPort::Clients(const std::string& connection) {
  Scope scope;
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

}  // namespace lumora
