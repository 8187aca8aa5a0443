#pragma once
// The operating system's networking for the hotspot controller's tests:
// connections with their sharing state, the hosted network, the adapter list
// and the services, each recording what was done to it. Every fake takes
// one lock per call, so a start worker and the window thread may use it at
// once; the public fields are for the test, between runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/settings.h"
#include "fake_host.h"
#include "memory_files.h"
#include "memory_window.h"
#include "hotspot/hotspot_controller.h"
#include "ui/shared_texts.h"

namespace lumora::fakes {

// --- sharing manager ---------------------------------------------------------

struct FakeConnection {
  enum Role { kNone, kPublic, kPrivate };
  std::string name;
  int status = 2;  // connected
  Role role = kNone;
  bool sharing = false;
  bool broken = false;  // every call on it fails, as on a vanished connection
  bool nameless = false;  // only its name cannot be read
};

class FakeSharing : public SharingPort {
 public:
  // Connections in enumeration order.
  void Add(std::string name, int status = 2) {
    std::lock_guard lock(mutex_);
    connections_.push_back({std::move(name), status});
  }
  void Change(const std::string& name, const std::function<void(FakeConnection&)>& change) {
    std::lock_guard lock(mutex_);
    for (auto& c : connections_)
      if (c.name == name) change(c);
  }
  // Names of the connections currently shared in `role`.
  std::vector<std::string> Shared(FakeConnection::Role role) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& c : connections_)
      if (c.sharing && c.role == role) out.push_back(c.name);
    return out;
  }
  bool AnyShared() const {
    std::lock_guard lock(mutex_);
    return std::any_of(connections_.begin(), connections_.end(),
                       [](const FakeConnection& c) { return c.sharing; });
  }
  // "enable public NAME", "disable NAME" in the order they happened.
  std::vector<std::string> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  bool manager_fails = false;  // the sharing service is missing

  bool ForEveryConnection(SharingProgId, const Visit& visit) override {
    if (manager_fails) return false;
    for (std::size_t i = 0; i < Size(); ++i) {
      Item item(*this, i);
      visit(item);
    }
    return true;
  }
  bool ForPublicConnections(SharingProgId,
                            const std::function<bool(SharingConnection&)>& visit) override {
    if (manager_fails) return false;
    for (std::size_t i = 0; i < Size(); ++i) {
      if (Copy(i).role != FakeConnection::kPublic) continue;
      Item item(*this, i);
      if (!visit(item)) break;
    }
    return true;
  }
  int PublicCount(SharingProgId) override { return Count(FakeConnection::kPublic); }
  int PrivateCount(SharingProgId) override { return Count(FakeConnection::kPrivate); }

 private:
  class Item : public SharingConnection {
   public:
    Item(FakeSharing& owner, std::size_t index) : owner_(owner), index_(index) {}
    std::string Name() override {
      return Read<std::string>([](FakeConnection& c) { return c.nameless ? "" : c.name; });
    }
    int Status() override {
      return Read<int>([](FakeConnection& c) { return c.status; });
    }
    bool SharingEnabled() override {
      return Read<bool>([](FakeConnection& c) { return c.sharing; });
    }
    bool EnableSharing(SharingType type) override {
      const bool pub = type == SharingType::kPublic;
      return Read<bool>([&](FakeConnection& c) {
        c.role = pub ? FakeConnection::kPublic : FakeConnection::kPrivate;
        c.sharing = true;
        owner_.calls_.push_back((pub ? "enable public " : "enable private ") + c.name);
        return true;
      });
    }
    bool DisableSharing() override {
      return Read<bool>([&](FakeConnection& c) {
        c.role = FakeConnection::kNone;
        c.sharing = false;
        owner_.calls_.push_back("disable " + c.name);
        return true;
      });
    }

   private:
    // A broken connection answers with the failure value and is not changed.
    template <typename T, typename F>
    T Read(F f) {
      std::lock_guard lock(owner_.mutex_);
      FakeConnection& c = owner_.connections_[index_];
      return c.broken ? T{} : f(c);
    }
    FakeSharing& owner_;
    std::size_t index_;
  };

  std::size_t Size() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
  }
  FakeConnection Copy(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return connections_[i];
  }
  int Count(FakeConnection::Role role) const {
    std::lock_guard lock(mutex_);
    return int(std::count_if(connections_.begin(), connections_.end(),
                             [role](const FakeConnection& c) { return c.role == role; }));
  }

  mutable std::mutex mutex_;
  std::vector<FakeConnection> connections_;
  std::vector<std::string> calls_;
};

// --- WLAN hosted network -----------------------------------------------------

class FakeWlan : public WlanPort {
 public:
  int interfaces = 1;
  std::atomic<bool> enabled{false}, active{false};
  std::string ssid_gbk, key_gbk;
  std::function<void()> on_force_start;  // e.g. the hosted adapter appears
  std::string device_id;                 // what the status names
  bool refuse_enable = false, refuse_start = false;
  WlanFailure failure;                   // reported for a refusal
  std::vector<std::string> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

  int InterfaceCount() override { return interfaces; }
  bool HostedNetworkEnabled() override { return enabled; }
  bool SetHostedNetworkEnabled(bool on) override {
    Log(on ? "enable" : "disable");
    if (on && refuse_enable) return false;
    enabled = on;
    return true;
  }
  bool HostedNetworkActive() override { return active; }
  // The status the watcher reads: whether it runs, or nothing while it
  // cannot be read.
  bool status_readable = false;
  std::optional<bool> HostedNetworkUp() override {
    return status_readable ? std::optional<bool>(active) : std::nullopt;
  }
  bool InitSettings() override { return Log("init"); }
  bool SetConnectionSettings(const std::string& ssid) override {
    ssid_gbk = ssid;
    return Log("ssid");
  }
  bool SetSecondaryKey(const std::string& key) override {
    key_gbk = key;
    return Log("key");
  }
  bool RefreshSecuritySettings() override { return Log("refresh"); }
  bool ForceStart() override {
    if (refuse_start) return !Log("start refused");
    active = true;
    if (on_force_start) on_force_start();
    return Log("start");
  }
  bool ForceStop() override {
    active = false;
    return Log("stop");
  }
  WlanFailure LastFailure() override { return failure; }
  std::string HostedDeviceId() override { return active ? device_id : std::string(); }

 private:
  bool Log(const char* call) {
    std::lock_guard lock(mutex_);
    calls_.emplace_back(call);
    return true;
  }
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

// --- the Mobile Hotspot ----------------------------------------------------------

class FakeTethering : public TetheringPort {
 public:
  bool available = false;
  WindowsBuild real{6, 2, 9200};
  std::string incapable;  // Capability refuses with these words when set
  std::string refusal;    // Start refuses with these words when set
  std::atomic<bool> running{false};
  // The system's switch-off without clients; nothing: no such switch.
  std::optional<bool> no_clients_timeout = true;
  int switch_refusals = 0;  // the next so many switch calls are refused
  // "capability <c>", "configure <c>|<ssid>|<key>", "start <c>", "stop <c>", "timeout on|off"
  std::vector<std::string> calls;
  std::vector<TetheringClient> clients;

  std::atomic<int> availability_asked{0};
  bool Available() override {
    ++availability_asked;
    return available;
  }
  WindowsBuild RealVersion() override { return real; }
  TetheringResult Capability(const std::string& c) override {
    Log("capability " + c);
    return {incapable.empty(), incapable};
  }
  TetheringResult Configure(const std::string& c, const std::string& ssid,
                            const std::string& key) override {
    Log("configure " + c + "|" + ssid + "|" + key);
    return {true, ""};
  }
  TetheringResult Start(const std::string& c) override {
    Log("start " + c);
    if (!refusal.empty()) return {false, refusal};
    running = true;
    return {true, ""};
  }
  TetheringResult Stop(const std::string& c) override {
    Log("stop " + c);
    running = false;
    return {true, ""};
  }
  bool Running(const std::string&) override { return running; }
  std::vector<TetheringClient> Clients(const std::string&) override { return clients; }
  std::optional<bool> NoClientsTimeout() override { return no_clients_timeout; }
  bool SetNoClientsTimeout(bool enabled) override {
    Log(enabled ? "timeout on" : "timeout off");
    if (!no_clients_timeout || switch_refusals-- > 0) return false;
    no_clients_timeout = enabled;
    return true;
  }

 private:
  void Log(std::string call) {
    std::lock_guard lock(mutex_);
    calls.push_back(std::move(call));
  }
  std::mutex mutex_;
};

// --- connections, adapters, services ----------------------------------------

class FakeConnections : public ConnectionsPort {
 public:
  std::map<std::string, int> status;  // by name; a missing name is not found
  std::vector<std::string> names;
  std::vector<std::string> connected;

  std::optional<int> ConnectionStatus(const std::string& name) override {
    std::lock_guard lock(mutex_);
    auto it = status.find(name);
    if (it == status.end()) return std::nullopt;
    return it->second;
  }
  bool Connect(const std::string& name) override {
    std::lock_guard lock(mutex_);
    connected.push_back(name);
    return status.count(name) > 0;
  }
  std::vector<std::string> ConnectionNames() override {
    std::lock_guard lock(mutex_);
    return names;
  }
  void AddName(std::string name) {
    std::lock_guard lock(mutex_);
    names.push_back(std::move(name));
  }

 private:
  std::mutex mutex_;
};

class FakeAdapters : public AdaptersPort {
 public:
  // Answers in turn; the last one then repeats (none: empty).
  std::deque<std::vector<AdapterInfo>> adapter_lists;
  std::deque<std::string> internet_names;
  std::string route;  // the connection the internet goes through now
  int open_folder_calls = 0;

  std::vector<AdapterInfo> Adapters() override { return Next(adapter_lists); }
  std::string InternetConnectionName() override { return Next(internet_names); }
  std::string InternetRouteConnection() override { return route; }
  void OpenConnectionsFolder() override { ++open_folder_calls; }

 private:
  template <typename T>
  T Next(std::deque<T>& answers) {
    std::lock_guard lock(mutex_);
    if (answers.empty()) return T{};
    T out = answers.front();
    if (answers.size() > 1) answers.pop_front();
    return out;
  }
  std::mutex mutex_;
};

class FakeServices : public ServicesPort {
 public:
  struct Service {
    std::optional<int> start_type;
    std::optional<bool> stopped;
    bool start_works = true;
  };
  std::map<std::string, Service> services;  // a missing one cannot be opened
  std::vector<std::string> calls;

  std::optional<int> StartType(const std::string& name) override {
    auto it = services.find(name);
    return it == services.end() ? std::nullopt : it->second.start_type;
  }
  bool SetStartType(const std::string& name, int type) override {
    calls.push_back("type " + name + " " + std::to_string(type));
    auto it = services.find(name);
    if (it == services.end()) return false;
    it->second.start_type = type;
    return true;
  }
  std::optional<bool> IsStopped(const std::string& name) override {
    auto it = services.find(name);
    return it == services.end() ? std::nullopt : it->second.stopped;
  }
  bool Start(const std::string& name) override {
    calls.push_back("start " + name);
    auto it = services.find(name);
    if (it == services.end() || !it->second.start_works) return false;
    it->second.stopped = false;
    return true;
  }
};

// --- everything together -------------------------------------------------------

// The controller against fakes of every port, on the given system version.
struct HotspotRig {
  MemoryWindow ui;
  MemoryFiles files;
  SettingsStore settings{files};
  FakeHost host;
  FakeSharing sharing;
  FakeWlan wlan;
  FakeConnections connections;
  FakeAdapters adapters;
  FakeServices services;
  FakeTethering tethering;
  HotspotController hotspot;

  // The tray icon and the state label, as start-up leaves them. The watch
  // looks once a tick and, unless told to park, does not wait for the next.
  explicit HotspotRig(int os_code = 5, int watch_park_ms = 0)
      : hotspot{HotspotPorts{ui, settings, host, sharing, wlan, connections, adapters, services,
                             tethering, nullptr, {}, watch_park_ms}} {
    hotspot.SetOsCode(static_cast<OsCode>(os_code));
    ui.ShowTrayIcon(Image::kAppIcon, shared_text::kTrayWelcome);
    ui.SetText(Ctl::标签9, "未启动");
  }
  // Workers use the controller: they end before it goes.
  ~HotspotRig() { host.StopAll(); }

  // A computer ready to start: the internet connection "WLAN" chosen, the
  // hosted adapter found at the first search under `adapter`, both known to
  // the sharing manager, netsh answering as on success with DHCP on the
  // adapter as `dhcp` says, and the window stopped.
  void Ready(const std::string& adapter = "无线网络连接 2", const std::string& dhcp = "否") {
    ui.AddItem(Ctl::组合框1, "WLAN");
    ui.SelectIndex(Ctl::组合框1, 0);
    ui.SetText(Ctl::按钮开始, shared_text::kStartCaption);
    ui.SetEnabled(Ctl::按钮开始, true);
    sharing.Add("WLAN");
    sharing.Add(adapter);
    adapters.adapter_lists = {{{"Microsoft 托管网络虚拟适配器", adapter, ""}}};
    connections.names = {"WLAN"};
    wlan.on_force_start = [this, adapter] { connections.AddName(adapter); };
    host.Script("netsh wlan start hostednetwork", "已启动承载网络。\r\n");
    host.Script("netsh interface ipv4 show addresses", Addresses(adapter, dhcp));
  }
  // What "netsh interface ipv4 show addresses" prints: the wireless
  // connection with DHCP on, then `adapter` with `dhcp` ("是" or "否").
  static std::string Addresses(const std::string& adapter, const std::string& dhcp) {
    return "\r\n接口 \"WLAN\" 的配置\r\n"
           "    DHCP 已启用:                          是\r\n"
           "    IP 地址:                           192.168.1.5\r\n\r\n"
           "接口 \"" + adapter + "\" 的配置\r\n"
           "    DHCP 已启用:                          " + dhcp + "\r\n"
           "    IP 地址:                           192.168.137.1\r\n\r\n";
  }

  // The start button as the user clicks it, and the end of every worker.
  void ClickStart() {
    hotspot.OnStartButton();
    EXPECT_TRUE(host.WaitForAllWorkers());
  }
  int CommandCount(const std::string& line) const {
    const auto all = host.Commands();
    return int(std::count(all.begin(), all.end(), line));
  }
};

}  // namespace lumora::fakes
