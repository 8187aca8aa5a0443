// The update offer, the notice banner, the help page and the official site of
// the real program, against a loopback server of the test's own (its
// addresses in the settings file), and without one.
#include "tools/loopback_http.h"  // Winsock before <windows.h>

#include <gtest/gtest.h>

#include <iostream>

#include "app_driver.h"
#include "common/gbk.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "standin_files.h"
#include "ui_driver.h"
#include "updates/servers.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {

using test::LoopbackHttp;

constexpr char kDownload[] = "http://127.0.0.1:9/LumoraWiFi6.exe";
constexpr char kSite[] = "http://127.0.0.1:9/site";
constexpr char kFaq[] = "http://127.0.0.1:9/faq";
constexpr char kNotes[] = "修复了若干问题\r\n连接更稳定";

// The update document as the server keeps it: GBK, values between markers.
std::string Document(const std::string& version, const std::string& up, const std::string& site) {
  return Utf8ToGbk("最新版本说明\r\n[version1]" + version + "[version2]\r\n[content1]" + kNotes +
                   "[content2]\r\n[downurl1]" + kDownload + "[downurl2]\r\n[GWURL1]" + site +
                   "[GWURL2]\r\n[up1]" + up + "[up2]\r\n");
}

class UpdatesE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\lumora-standins\\opened.log",
                          "c:\\lumora-standins\\netsh-state.ini", "c:\\lumora-standins\\netsh-fail.txt",
                          "c:\\lumora-standins\\wlan-state.ini"})
      DeleteFileA(f);
    WriteText("sharing.ini", "宽带连接|2|none\r\n无线网络连接 2|7|none\r\n");
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  }

  void UseServer(const std::string& base) {
    settings_.Write(setting::kUpdateServer, base);
    settings_.Write(setting::kWebServer, base);
  }

  // A newer version with the banner asked for, a notice, a help text with a
  // link, and the hotspot opened at start.
  void ServeNewVersion() {
    server_.Put("/updata.txt", Document("5.2", "1", kSite));
    server_.Put("/sygg.html", "<meta charset=utf-8><b>公告：</b>新版本 <font color=red>5.2</font> 已发布");
    server_.Put("/upwifi/bzxx.txt", Utf8ToGbk(std::string("<a href=\"") + kFaq +
                                              "\">常见问题</a><br><b>在线帮助</b>：请重启WiFi。"));
    UseServer(server_.Base());
    settings_.Write(setting::kAutoStartHotspot, "y");
  }

  // The offer, once the hotspot that opened beside it runs.
  static HWND OfferWhileRunning(const Program& program, HWND& main) {
    main = WaitForMain(program);
    HWND box = WaitForMessageBox("更新提示", 20000);
    const bool running =
        main && WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000);
    EXPECT_TRUE(running) << "not running: " << TextOf(main, Ctl::按钮开始) << " / "
                         << TextOf(main, Ctl::标签9) << ", sharing " << TextOf(main, Ctl::组合框1)
                         << " with " << TextOf(main, Ctl::编辑框虚拟网卡) << "\n"
                         << ReadText("sharing.ini");
    if (main && (!box || !running)) program.PrintStacks();
    return box;
  }

  static bool NothingShared() { return !Has(ReadText("sharing.ini"), "|p"); }
  static bool Opened(const char* url) {
    return WaitUntil([&] { return Has(ReadText("opened.log"), url); }, 10000);
  }

  static void ChooseOfficialSite(HWND main) {
    TrayClick(main, WM_RBUTTONUP);
    HWND menu = OpenPopupMenu(5000);
    for (int i = 0; i < 2; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);  // "官方网站"
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  }


  Win32FileStore files_;
  SettingsStore settings_{files_};
  LoopbackHttp server_;
};

TEST_F(UpdatesE2e, RefusedOfferKeepsTheRunningHotspotAndTheServedPagesShow) {
  ServeNewVersion();
  Program program(ProgramPath());
  HWND main = nullptr, box = OfferWhileRunning(program, main);
  ASSERT_TRUE(box) << "no update offer";
  EXPECT_EQ(MessageBoxText(box),
            std::string("亲！检测到最新V5.2版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n") + kNotes);
  HWND banner = FindControl(main, Ctl::超文本浏览框1);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(banner) != 0; }, 5000)) << "no banner";
  EXPECT_EQ(WindowText(banner), "公告：新版本 5.2 已发布");
  Sleep(300);
  EXPECT_TRUE(Shot("update-offer-and-banner"));

  PressAnswer(box, IDNO);
  // The start-up goes on to the statistics request; nothing else changes.
  EXPECT_TRUE(WaitUntil([&] { return server_.Count("/upwifi/tongji.html") == 1; }, 10000));
  EXPECT_TRUE(StartButtonReads(main, "关闭WiFi"));
  EXPECT_TRUE(Has(ReadText("sharing.ini"), "宽带连接|2|public")) << ReadText("sharing.ini");
  EXPECT_EQ(ReadText("opened.log"), "");
  EXPECT_EQ(server_.Count("/updata.txt"), 2) << "the banner's fetch and the offer's";

  // The help page: the server's text, its link opened with a click.
  ASSERT_TRUE(SelectPage(main, 4));
  HWND help = FindControl(main, Ctl::简单超文本框1);
  EXPECT_EQ(WindowText(help), "常见问题\r\n在线帮助：请重启WiFi。");
  Sleep(300);
  EXPECT_TRUE(Shot("help-page-served"));
  PostMessageW(help, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
  PostMessageW(help, WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
  EXPECT_TRUE(Opened(kFaq));
  ChooseOfficialSite(main);
  EXPECT_TRUE(Opened(kSite)) << ReadText("opened.log");
  CloseAndExpectEnd(program, main);
  EXPECT_TRUE(NothingShared());
}

TEST_F(UpdatesE2e, AcceptedOfferOpensTheDownloadAndEndsWithNothingShared) {
  ServeNewVersion();
  Program program(ProgramPath());
  HWND main = nullptr, box = OfferWhileRunning(program, main);
  ASSERT_TRUE(box);
  ASSERT_FALSE(NothingShared());
  PressAnswer(box, IDYES);
  EXPECT_TRUE(program.WaitForExit(15000)) << "the program did not end after an accepted update";
  EXPECT_TRUE(Opened(kDownload)) << ReadText("opened.log");
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
}

TEST_F(UpdatesE2e, EqualVersionOffersNothingAndOnlyWebAddressesOpen) {
  // "5.10" is 5.1; " 1" is not the banner flag; the site is a local program.
  server_.Put("/updata.txt", Document("5.10", " 1", "file:///c:/windows/system32/notepad.exe"));
  UseServer(server_.Base());
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  EXPECT_TRUE(WaitUntil([&] { return server_.Count("/upwifi/tongji.html") == 1; }, 10000))
      << "the start-up did not get past the offer";
  EXPECT_FALSE(WaitForMessageBox("更新提示", 1000));
  EXPECT_FALSE(IsWindowVisible(FindControl(main, Ctl::超文本浏览框1)));
  EXPECT_EQ(server_.Count("/sygg.html"), 0);
  ChooseOfficialSite(main);
  Sleep(2000);
  EXPECT_EQ(ReadText("opened.log"), "");
  CloseAndExpectEnd(program, main);
}

TEST_F(UpdatesE2e, ServerDownShowsTheBuiltInHelpAndIsReadyAsFastAsWithoutOne) {
  ULONGLONG ready_ms[2] = {};  // without a server, with the server down
  for (ULONGLONG& ms : ready_ms) {
    if (&ms != ready_ms) UseServer(LoopbackHttp().Base());  // a port nothing listens on any more
    const ULONGLONG started = GetTickCount64();
    Program program(ProgramPath());
    HWND main = StartReady(program);
    ASSERT_TRUE(main);
    ms = GetTickCount64() - started;
    if (&ms == ready_ms) {
      CloseAndExpectEnd(program, main);
      continue;
    }
    ASSERT_TRUE(SelectPage(main, 4));
    HWND help = FindControl(main, Ctl::简单超文本框1);
    EXPECT_EQ(WindowText(help).substr(0, 23), "LumoraWiFi 使用帮助");
    EXPECT_TRUE(GetWindowLongW(help, GWL_STYLE) & WS_VSCROLL) << "the long help scrolls";
    Sleep(300);
    EXPECT_TRUE(Shot("help-page-built-in"));
    SendMessageW(help, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-2 * WHEEL_DELTA)), 0);
    Sleep(300);
    EXPECT_TRUE(Shot("help-page-scrolled"));
    PostMessageW(help, WM_KEYDOWN, VK_END, 0);
    Sleep(300);
    EXPECT_TRUE(Shot("help-page-end"));
    CloseAndExpectEnd(program, main);
  }
  // A measurement to report, not a timed check: this machine is shared.
  std::cout << "ready after " << ready_ms[0] << " ms without a server, " << ready_ms[1]
            << " ms with the server down\n";
}

TEST_F(UpdatesE2e, ServerThatNeverAnswersLeavesTheWindowUsableAndTheStartupFinishes) {
  LoopbackHttp silent(true);
  UseServer(silent.Base());
  const ULONGLONG started = GetTickCount64();
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  std::cout << "ready after " << GetTickCount64() - started << " ms with a silent server\n";
  // Both fetches of the document and, as the start-up's last steps begin, the statistics.
  EXPECT_TRUE(WaitUntil([&] { return silent.Count("") >= 3; }, 10000)) << silent.Count("");
  ASSERT_TRUE(SelectPage(main, 4));  // the window answers at once meanwhile
  DWORD_PTR length = 0;
  EXPECT_TRUE(SendMessageTimeoutW(FindControl(main, Ctl::简单超文本框1), WM_GETTEXTLENGTH, 0, 0,
                                  SMTO_ABORTIFHUNG, 1000, &length));
  EXPECT_GT(length, 100u) << "the built-in help is shown";
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
