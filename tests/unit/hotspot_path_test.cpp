// Which way a start takes, and the Mobile Hotspot way against fakes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_network.h"
#include "hotspot/hotspot_path.h"

namespace lumora {
namespace {

using Names = std::vector<std::string>;

TEST(HotspotPath, DecidedFromTheSystemsAnswers) {
  using H = HostedSupport;
  using P = HotspotPath;
  const WindowsBuild win7{6, 1, 7601}, win81{6, 3, 9600}, w1511{10, 0, 10586},
      w1607{10, 0, 14393}, win11{10, 0, 22631};
  struct Case {
    OsCode os;
    WindowsBuild real;
    H hosted;
    bool tethering;
    P path;
  } cases[] = {
      {OsCode::kWindows7, win7, H::kNotSupported, true, P::kNetsh},
      {OsCode::kWindows8, win81, H::kNotSupported, true, P::kWlanHosted},  // before 1607
      {OsCode::kWindows8, w1511, H::kNotSupported, true, P::kWlanHosted},
      {OsCode::kWindows8, w1607, H::kNotSupported, true, P::kMobileHotspot},
      {OsCode::kWindows8, win11, H::kNotSupported, true, P::kMobileHotspot},
      {OsCode::kOther, win11, H::kNotSupported, true, P::kMobileHotspot},
      {OsCode::kWindows8, win11, H::kSupported, true, P::kWlanHosted},  // the hosted network stays
      {OsCode::kWindows8, win11, H::kUnknown, true, P::kWlanHosted},
      {OsCode::kWindows8, win11, H::kNotSupported, false, P::kWlanHosted},  // no tethering manager
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseHotspotPath({c.os, c.real, c.hosted, c.tethering}), c.path)
        << int(c.os) << " " << c.real.build << " " << int(c.hosted) << " " << c.tethering;

  const std::pair<const char*, H> drivers[] = {
      {"\r\n接口名称: WLAN\r\n\r\n    驱动程序  : Intel\r\n    支持的承载网络  : 否\r\n", H::kNotSupported},
      {"    支持的承载网络  : 是\r\n", H::kSupported},
      {"    支持的承载网络  ： 否\r\n", H::kNotSupported},  // a full-width colon
      {"    Hosted network supported  : No\r\n", H::kNotSupported},
      {"    Hosted network supported  : Yes\r\n", H::kSupported},
      {"系统上没有无线接口。\r\n", H::kUnknown},
      {"", H::kUnknown},
  };
  for (const auto& [output, want] : drivers) EXPECT_EQ(HostedSupportFromDrivers(output), want) << output;
}

TEST(HotspotPath, OlderSystemsNeverTouchTheRuntimeOrAskTheDriver) {
  for (const WindowsBuild real : {WindowsBuild{6, 2, 9200}, WindowsBuild{6, 3, 9600},
                                  WindowsBuild{10, 0, 10586}}) {
    fakes::HotspotRig r(6);
    r.Ready("本地连接* 3");
    r.tethering.available = true;
    r.tethering.real = real;
    r.ClickStart();
    EXPECT_EQ(r.tethering.availability_asked, 0) << real.build;
    EXPECT_TRUE(r.tethering.calls.empty()) << real.build;
    for (const std::string& c : r.host.Commands()) EXPECT_EQ(c.find("show drivers"), std::string::npos);
  }
}

TEST(HotspotPath, MobileHotspotStartsStopsAndReportsARefusal) {
  for (const char* refusal : {"", "设备上的移动热点已被组策略关闭"}) {
    SCOPED_TRACE(refusal);
    fakes::HotspotRig r(6);
    r.Ready("本地连接* 3");
    r.tethering.available = true;
    r.tethering.real = {10, 0, 19045};
    r.tethering.refusal = refusal;
    r.host.Script("netsh wlan show drivers", "    支持的承载网络  : 否\r\n");
    r.adapters.adapter_lists = {{{"Microsoft Wi-Fi Direct Virtual Adapter #2", "本地连接* 3", ""}}};
    r.ClickStart();

    const Names started = {"configure WLAN|mylove|5094817263", "start WLAN"};
    EXPECT_EQ(r.tethering.calls, started);
    EXPECT_TRUE(r.wlan.Calls().empty()) << "no hosted network is started";
    EXPECT_FALSE(r.sharing.AnyShared()) << "Windows shares the connection itself";
    if (*refusal) {
      ASSERT_EQ(r.ui.messages.size(), 1u);
      EXPECT_EQ(r.ui.messages[0].title, "开启失败");
      const std::string& text = r.ui.messages[0].text;
      EXPECT_EQ(text.substr(0, text.find("\r\n解决办法")),
                std::string("开启失败！失败类型：无法启动移动热点。\r\n原因：") + refusal);
      EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "开启WiFi");
      EXPECT_FALSE(r.tethering.running);
      continue;
    }
    EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "关闭WiFi");
    EXPECT_EQ(r.hotspot.ShareStatus(), "共享完成");
    EXPECT_EQ(r.ui.Text(Ctl::编辑框虚拟网卡), "本地连接* 3");
    // The guard's list is the system's, with each device's first host name.
    r.tethering.clients = {{"AA-BB-CC-00-00-01", {"phone", "phone.local"}}, {"AA-BB-CC-00-00-02", {}}};
    const auto clients = r.hotspot.MobileHotspotClients();
    ASSERT_TRUE(clients.has_value());
    ASSERT_EQ(clients->size(), 2u);
    EXPECT_EQ((*clients)[0].mac + "|" + (*clients)[0].host_name, "AA-BB-CC-00-00-01|phone");
    EXPECT_EQ((*clients)[1].mac + "|" + (*clients)[1].host_name, "AA-BB-CC-00-00-02|");
    r.ClickStart();  // stops
    EXPECT_FALSE(r.hotspot.MobileHotspotClients().has_value()) << "none after the stop";
    EXPECT_EQ(r.tethering.calls.back(), "stop WLAN");
    EXPECT_FALSE(r.tethering.running);
    EXPECT_EQ(r.ui.Text(Ctl::按钮开始), "开启WiFi");
  }
}

}  // namespace
}  // namespace lumora
