// Internet connection sharing and the hosted network through the WLAN
// functions, against the fake sharing manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gbk.h"
#include "fakes/fake_network.h"

namespace lumora {
namespace {

using Names = std::vector<std::string>;
using fakes::FakeConnection;

void Break(fakes::HotspotRig& r, const std::string& name) {
  r.sharing.Change(name, [](FakeConnection& c) { c.broken = true; });
}
void Share(fakes::HotspotRig& r, const std::string& name, FakeConnection::Role role, bool on) {
  r.sharing.Change(name, [&](FakeConnection& c) {
    c.role = role;
    c.sharing = on;
  });
}

TEST(Sharing, ResetUnsharesEverythingPastAFailingConnection) {
  for (int os : {5, 6}) {
    SCOPED_TRACE(os);
    fakes::HotspotRig r(os);
    for (const char* n : {"WLAN", "坏的", "本地连接", "无线网络连接 2"}) r.sharing.Add(n);
    Share(r, "WLAN", FakeConnection::kPublic, true);
    Share(r, "无线网络连接 2", FakeConnection::kPrivate, true);
    Break(r, "坏的");
    r.wlan.enabled = r.wlan.active = true;
    r.hotspot.ResetAllSharing();
    EXPECT_FALSE(r.sharing.AnyShared());
    EXPECT_EQ(r.sharing.Calls(),
              (Names{"disable WLAN", "disable 本地连接", "disable 无线网络连接 2"}));
    EXPECT_EQ(r.host.Commands(), Names{"netsh wlan set hostednetwork mode=disallow"});
    // Only the WLAN functions' path stops the network through them.
    EXPECT_EQ(r.wlan.Calls(), os == 5 ? Names{} : (Names{"stop", "disable"}));
    EXPECT_EQ(r.wlan.active, os == 5);
  }
}

TEST(Sharing, ResetCollectsWiredConnectionNames) {
  struct Case {
    const char* name;
    int os;
    Names connections;
    int resets;
    const char* box;
  } cases[] = {
      {"one 本地连接, once", 5, {"本地连接", "WLAN"}, 1, "本地连接"},
      {"one 本地连接, many resets", 5, {"本地连接"}, 4, "本地连接"},
      {"two local ones", 5, {"本地连接 2", "本地连接 3"}, 1, "本地连接"},
      {"three local ones", 5, {"本地1", "本地2", "本地3"}, 1, "本地连接"},
      {"four local ones", 5, {"本地1", "本地2", "本地3", "本地4"}, 1, "本地1本地2本地3本地4"},
      {"以太网 not on Windows 7", 5, {"以太网"}, 2, ""},
      {"以太网 on version 6", 6, {"以太网"}, 3, "以太网"},
      {"以太 but version 10", 10, {"以太网"}, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r(c.os);
    for (const auto& n : c.connections) r.sharing.Add(n);
    for (int i = 0; i < c.resets; ++i) r.hotspot.ResetAllSharing();
    EXPECT_EQ(r.ui.Text(Ctl::编辑框去除多个本地), c.box);
  }
}

TEST(Sharing, EnableForHotspotMatchesNamesExactly) {
  struct Case {
    const char* name;
    const char* adapter_box;
    const char* connection_box;
    Names publics, privates;
  } cases[] = {
      {"both", "无线网络连接 2", "WLAN", {"WLAN"}, {"无线网络连接 2"}},
      {"trailing space on the public side", "无线网络连接 2", " WLAN  ", {"WLAN"},
       {"无线网络连接 2"}},
      {"empty adapter box shares no private side", "", "WLAN", {"WLAN"}, {}},
      {"letter case counts", "无线网络连接 2", "wlan", {}, {"无线网络连接 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::HotspotRig r;
    for (const char* n : {"坏的", "无名", "WLAN", "无线网络连接 2"}) r.sharing.Add(n);
    Break(r, "坏的");
    r.sharing.Change("无名", [](FakeConnection& c) { c.nameless = true; });
    r.ui.SetText(Ctl::编辑框虚拟网卡, c.adapter_box);
    r.ui.SetText(Ctl::组合框1, c.connection_box);
    EXPECT_FALSE(r.hotspot.SharingPassDone());
    r.hotspot.EnableSharingForHotspot();
    EXPECT_TRUE(r.hotspot.SharingPassDone());
    EXPECT_EQ(r.sharing.Shared(FakeConnection::kPublic), c.publics);
    EXPECT_EQ(r.sharing.Shared(FakeConnection::kPrivate), c.privates);
  }
}

TEST(Sharing, SharedPublicNamePairAndDisable) {
  fakes::HotspotRig r;
  for (const char* n : {"宽带连接", "WLAN", "无线网络连接 2", "本地连接"}) r.sharing.Add(n);
  Share(r, "宽带连接", FakeConnection::kPublic, false);
  EXPECT_EQ(r.hotspot.GetSharedPublicConnectionName(), "");

  EXPECT_FALSE(r.hotspot.EnableSharingPair("WLAN", "无线网络连接 2"));  // two public ones
  EXPECT_EQ(r.hotspot.GetSharedPublicConnectionName(), "WLAN");
  Share(r, "宽带连接", FakeConnection::kNone, false);
  EXPECT_TRUE(r.hotspot.EnableSharingPair("WLAN", "无线网络连接 2"));

  r.hotspot.DisableSharedConnections();
  EXPECT_FALSE(r.sharing.AnyShared());
  EXPECT_EQ(r.hotspot.GetSharedPublicConnectionName(), "");

  r.sharing.manager_fails = true;
  EXPECT_FALSE(r.hotspot.EnableSharingPair("WLAN", "无线网络连接 2"));
}

TEST(Sharing, WlanStartSharesWithTheNewConnection) {
  fakes::HotspotRig r(6);
  r.connections.names = {"WLAN", "本地连接* 12"};
  for (const char* n : {"WLAN", "本地连接* 12", "本地连接* 1"}) r.sharing.Add(n);
  r.wlan.on_force_start = [&] { r.connections.names = {"WLAN", "本地连接* 1", "本地连接* 12"}; };
  r.hotspot.StartHostedNetworkWithSharing("家里WiFi", "密码12345678", "WLAN");
  EXPECT_EQ(r.wlan.Calls(), (Names{"enable", "init", "ssid", "key", "refresh", "start"}));
  EXPECT_EQ(r.wlan.ssid_gbk, Utf8ToGbk("家里WiFi"));
  EXPECT_EQ(r.wlan.key_gbk, Utf8ToGbk("密码12345678"));
  // "本地连接* 1" is part of "本地连接* 12", yet new; it is not listed last.
  EXPECT_EQ(r.sharing.Shared(FakeConnection::kPrivate), Names{"本地连接* 1"});
  EXPECT_EQ(r.sharing.Shared(FakeConnection::kPublic), Names{"WLAN"});

  // Already running: nothing more.
  r.hotspot.StartHostedNetworkWithSharing("家里WiFi", "密码12345678", "WLAN");
  EXPECT_EQ(r.wlan.Calls().size(), 6u);
}

}  // namespace
}  // namespace lumora
