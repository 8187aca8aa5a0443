// Connection discovery: the internet connection box, its default, the
// remembered choice and the hosted adapter's name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gbk.h"
#include "fakes/fake_network.h"

namespace lumora {
namespace {

using Names = std::vector<std::string>;

void Items(fakes::HotspotRig& r, const Names& names) {
  for (const auto& n : names) r.ui.AddItem(Ctl::组合框1, n);
}

TEST(Discovery, FillListLeavesOutDisconnectedAndBrokenConnections) {
  fakes::HotspotRig r;
  r.sharing.Add("以太网", 2);
  r.sharing.Add("拨号", 0);
  r.sharing.Add("坏的", 2);
  r.sharing.Change("坏的", [](fakes::FakeConnection& c) { c.broken = true; });
  r.sharing.Add("WLAN", 7);
  r.sharing.Add("无线网络连接 2", 9);
  r.hotspot.FillConnectionList();
  EXPECT_EQ(r.ui.Items(Ctl::组合框1), (Names{"以太网", "无线网络连接 2"}));
}

TEST(Discovery, FillListConnectsASwitchedOffWirelessConnection) {
  struct Case {
    int os, interfaces;
    Names listed;  // the sharing manager's connections; none: it named nothing
    Names connected;
  } cases[] = {
      {5, 1, {}, {"无线网络连接"}},
      {5, 0, {}, {"无线网络连接"}},  // the service answers, even with no interface
      {5, -1, {}, {}},
      {6, 1, {}, {"WLAN", "Wi-Fi"}},
      {6, 1, {"以太网", "wlan"}, {"WLAN"}},  // only what the manager has, in any case
      {5, 1, {"以太网", "WLAN"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.os << " " << c.interfaces << " " << c.listed.size());
    fakes::HotspotRig r(c.os);
    r.wlan.interfaces = c.interfaces;
    for (const std::string& name : c.listed) r.sharing.Add(name, 7);
    r.connections.status = {{"无线网络连接", 0}, {"WLAN", 0}, {"Wi-Fi", 0}, {"以太网", 0}};
    r.hotspot.FillConnectionList();
    EXPECT_EQ(r.connections.connected, c.connected);
  }
  fakes::HotspotRig connected(6);
  connected.connections.status = {{"WLAN", 2}};  // "Wi-Fi" missing: not found
  connected.hotspot.FillConnectionList();
  EXPECT_TRUE(connected.connections.connected.empty());
}

TEST(Discovery, DefaultConnection) {
  struct Case {
    const char* name;
    Names items;
    const char* ini;
    std::vector<std::string> internet;  // what the detection reports, in turn
    const char* text;
    bool remembered;
    int waits;  // 300 ms retries of the detection
  } cases[] = {
      {"WLAN before 以太网", {"以太网", "WLAN"}, "", {}, "WLAN", false, 0},
      {"Wi-Fi 2", {"以太网", "Wi-Fi 2"}, "", {}, "Wi-Fi 2", false, 0},
      {"letter case", {"宽带连接", "wlan 3"}, "", {}, "wlan 3", false, 0},
      {"numbered wireless", {"以太网", "无线网络连接 2"}, "", {}, "无线网络连接 2", false, 0},
      {"remembered survives", {"WLAN", "以太网"}, "[xzk2]\r\nxz=1\r\n[kdmc]\r\nkdmc=以太网\r\n",
       {}, "以太网", true, 0},
      {"not remembered", {"WLAN"}, "[xzk2]\r\nxz=2\r\n[kdmc]\r\nkdmc=以太网\r\n", {}, "WLAN",
       false, 0},
      {"detected, trimmed", {"其他"}, "", {"  拨号连接 "}, "拨号连接", false, 0},
      {"detected on the last try", {}, "", {"", "", "宽带"}, "宽带", false, 2},
      {"never detected", {}, "", {""}, "", false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r;
    r.files.files[kSettingsPath] = Utf8ToGbk(c.ini);
    Items(r, c.items);
    r.adapters.internet_names.assign(c.internet.begin(), c.internet.end());
    r.hotspot.ChooseDefaultConnection();
    EXPECT_EQ(r.ui.Text(Ctl::组合框1), c.text);
    EXPECT_EQ(r.ui.Checked(Ctl::选择框2), c.remembered);
    EXPECT_EQ(r.host.Waits(), std::vector<int>(c.waits, 300));
  }
}

TEST(Discovery, GenericLanNameBecomesTheCollectedName) {
  fakes::HotspotRig r;
  r.ui.SetText(Ctl::编辑框去除多个本地, "本地连接");
  r.adapters.internet_names = {" LAN 连接 "};
  r.hotspot.DetectInternetConnection();
  EXPECT_EQ(r.ui.Text(Ctl::组合框1), "本地连接");
}

TEST(Discovery, ChangedConnectionIsNormalisedAndStored) {
  const std::pair<const char*, const char*> cases[] = {
      {"无线网络连接2", "无线网络连接 2"}, {"无线网络连接3", "无线网络连接 3"},
      {"宽带连接2", "宽带连接 2"},         {"无线网络连接4", "无线网络连接4"},
      {"WLAN", "WLAN"},
  };
  for (const auto& [typed, stored] : cases) {
    fakes::HotspotRig r;
    r.ui.SetText(Ctl::组合框1, typed);
    r.hotspot.OnConnectionChanged();
    EXPECT_EQ(r.ui.Text(Ctl::组合框1), stored);
    EXPECT_EQ(r.settings.Read(setting::kRememberedConnection), stored);
  }
}

TEST(Discovery, RememberBox) {
  fakes::HotspotRig r;
  Items(r, {"WLAN", "宽带连接", "Wi-Fi"});
  r.ui.SetText(Ctl::组合框1, "以太网");
  r.ui.SetChecked(Ctl::选择框2, true);
  r.hotspot.OnRememberClicked();
  EXPECT_EQ(r.settings.Read(setting::kUseRememberedConnection), "1");
  EXPECT_EQ(r.settings.Read(setting::kRememberedConnection), "以太网");

  // Cleared: WLAN is not among the tries, Wi-Fi comes first.
  r.ui.SetChecked(Ctl::选择框2, false);
  r.hotspot.OnRememberClicked();
  EXPECT_EQ(r.settings.Read(setting::kUseRememberedConnection), "2");
  EXPECT_EQ(r.ui.Text(Ctl::组合框1), "Wi-Fi");

  fakes::HotspotRig only_wlan;
  Items(only_wlan, {"WLAN", "以太网"});
  only_wlan.adapters.internet_names = {"以太网 2"};
  only_wlan.hotspot.OnRememberClicked();
  EXPECT_EQ(only_wlan.ui.Text(Ctl::组合框1), "以太网 2");
}

TEST(Discovery, HostedAdapterName) {
  const AdapterInfo kWired{"Realtek PCIe GBE Family Controller", "本地连接"};
  struct Case {
    const char* name;
    int os;
    std::vector<AdapterInfo> adapters;
    const char* box;
  } cases[] = {
      {"Windows 7", 5, {kWired, {"Microsoft Virtual WiFi Miniport Adapter", "无线网络连接 2"}},
       "无线网络连接 2"},
      {"last match wins", 5,
       {{"Microsoft Virtual WiFi Miniport Adapter", "无线网络连接 2"},
        {"Microsoft Loopback Adapter", "Loopback"}},
       "Loopback"},
      {"Microsoft needs its capital", 5, {{"microsoft virtual", "X"}}, "old"},
      {"none", 5, {kWired}, "old"},
      {"end marker", 6,
       {{"Microsoft 托管网络虚拟适配器", "本地连接* 2"},
        {"Microsoft Wi-Fi Direct Virtual Adapter", "本地连接* 3"}},
       "本地连接* 2"},
      {"last marker wins", 6,
       {{"Microsoft 托管网络虚拟适配器", "本地连接* 2"}, {"Microsoft 托管网络虚拟适配器 #2", "本地连接* 5"}},
       "本地连接* 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r(c.os);
    r.ui.SetText(Ctl::编辑框虚拟网卡, "old");
    r.adapters.adapter_lists = {c.adapters};
    if (c.os == 5)
      r.hotspot.FindHostedAdapterWin7();
    else
      r.hotspot.FindHostedAdapter();
    EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), c.box);
  }
}

}  // namespace
}  // namespace lumora
