// The update offer, the notice banner, the help page and the official site of
// the real program, against a loopback server of the test's own (its
// addresses in the settings file), and without one.
// Winsock before anything that includes <windows.h>.
#include "tools/loopback_http.h"

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

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

DWORD FirewallStartType() {
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = OpenServiceW(scm, L"MpsSvc", SERVICE_QUERY_CONFIG);
  DWORD need = 0, type = 0;
  QueryServiceConfigW(service, nullptr, 0, &need);
  std::vector<BYTE> buffer(need + 1);
  if (QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()), need,
                          &need))
    type = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data())->dwStartType;
  CloseServiceHandle(service);
  CloseServiceHandle(scm);
  return type;
}

void SetFirewallStartType(DWORD type) {
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = OpenServiceW(scm, L"MpsSvc", SERVICE_CHANGE_CONFIG);
  ChangeServiceConfigW(service, SERVICE_NO_CHANGE, type, SERVICE_NO_CHANGE, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr);
  CloseServiceHandle(service);
  CloseServiceHandle(scm);
}

class UpdatesE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
    for (const char* f : {"opened.log", "netsh.log", "netsh-state.ini", "netsh-fail.txt"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    WriteText("sharing.ini", "宽带连接|2|none\r\n无线网络连接 2|7|none\r\n");
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  }

  void UseServer(const std::string& base) {
    settings_.Write(setting::kUpdateServer, base);
    settings_.Write(setting::kWebServer, base);
  }

  // A server with a newer version, the banner asked for, a notice and a help text.
  void ServeNewVersion() {
    server_.Put("/updata.txt", Document("5.2", "1", kSite));
    server_.Put("/sygg.html",
                "<html><head><meta charset=\"utf-8\"></head><body><b>公告：</b>新版本 "
                "<font color=red>5.2</font> 已发布</body></html>");
    server_.Put("/upwifi/bzxx.txt",
                Utf8ToGbk(std::string("<a href=\"") + kFaq +
                          "\">常见问题</a><br><b>在线帮助</b>：手机连不上时，请重启WiFi。"));
    server_.Put("/upwifi/tongji.html", "<html></html>");
    UseServer(server_.Base());
    settings_.Write(setting::kAutoStartHotspot, "y");
  }

  // Waits for the ready start button; `ms` gets the time from the start.
  static HWND StartReady(Program& program, ULONGLONG started, ULONGLONG* ms = nullptr) {
    EXPECT_TRUE(program.Started());
    HWND main = WaitForWindow(kMainTitle, 15000);
    EXPECT_TRUE(main);
    if (!main) return nullptr;
    EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000));
    if (ms) *ms = GetTickCount64() - started;
    return main;
  }

  static bool NothingShared() {
    const std::string sharing = ReadText("sharing.ini");
    return !Has(sharing, "public") && !Has(sharing, "private");
  }

  static void ChooseOfficialSite(HWND main) {
    TrayClick(main, WM_RBUTTONUP);
    HWND menu = OpenPopupMenu(5000);
    ASSERT_TRUE(menu);
    for (int i = 0; i < 2; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);  // "官方网站"
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  }

  static void CloseAndExpectEnd(Program& program, HWND main) {
    RequestClose(main);
    EXPECT_TRUE(program.WaitForExit(8000)) << "the program kept running after its window closed";
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
  LoopbackHttp server_;
};

TEST_F(UpdatesE2e, RefusedOfferKeepsTheRunningHotspotAndTheServedPagesShow) {
  ServeNewVersion();
  Program program(ProgramPath());
  HWND main = WaitForWindow(kMainTitle, 15000);
  ASSERT_TRUE(main);
  HWND box = WaitForMessageBox("更新提示", 20000);
  ASSERT_TRUE(box) << "no update offer";
  EXPECT_EQ(MessageBoxText(box),
            std::string("亲！检测到最新V5.2版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n") + kNotes);
  // The automatic open goes on beside the offer.
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  HWND banner = FindControl(main, Ctl::超文本浏览框1);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(banner) != 0; }, 5000)) << "no banner";
  EXPECT_EQ(WindowText(banner), "公告：新版本 5.2 已发布");
  Sleep(300);
  EXPECT_TRUE(Shot("update-offer-and-banner"));

  PressAnswer(box, IDNO);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000));
  // The start-up goes on to the statistics request; nothing else changes.
  EXPECT_TRUE(WaitUntil([&] { return server_.Count("/upwifi/tongji.html") == 1; }, 10000));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(StartButtonReads(main, "关闭WiFi"));
  EXPECT_TRUE(Has(ReadText("sharing.ini"), "宽带连接|2|public")) << ReadText("sharing.ini");
  EXPECT_EQ(ReadText("opened.log"), "");
  EXPECT_EQ(server_.Count("/updata.txt"), 2) << "the banner's fetch and the offer's";

  // The help page: the server's text, its link opened with a click.
  ASSERT_TRUE(SelectPage(main, 4));
  HWND help = FindControl(main, Ctl::简单超文本框1);
  EXPECT_EQ(WindowText(help), "常见问题\r\n在线帮助：手机连不上时，请重启WiFi。");
  Sleep(300);
  EXPECT_TRUE(Shot("help-page-served"));
  PostMessageW(help, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
  PostMessageW(help, WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
  EXPECT_TRUE(WaitUntil([] { return Has(ReadText("opened.log"), kFaq); }, 10000));

  ChooseOfficialSite(main);
  EXPECT_TRUE(WaitUntil([] { return Has(ReadText("opened.log"), kSite); }, 10000))
      << ReadText("opened.log");
  CloseAndExpectEnd(program, main);
  EXPECT_TRUE(NothingShared());
}

TEST_F(UpdatesE2e, AcceptedOfferOpensTheDownloadAndEndsWithNothingShared) {
  ServeNewVersion();
  Program program(ProgramPath());
  HWND main = WaitForWindow(kMainTitle, 15000);
  ASSERT_TRUE(main);
  HWND box = WaitForMessageBox("更新提示", 20000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  ASSERT_TRUE(Has(ReadText("sharing.ini"), "public"));

  PressAnswer(box, IDYES);
  EXPECT_TRUE(program.WaitForExit(15000)) << "the program did not end after an accepted update";
  EXPECT_TRUE(WaitUntil([] { return Has(ReadText("opened.log"), kDownload); }, 10000))
      << ReadText("opened.log");
  EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
}

TEST_F(UpdatesE2e, EqualVersionOffersNothingAndOnlyWebAddressesOpen) {
  // "5.10" is 5.1; " 1" is not the banner flag; the site is a local file.
  server_.Put("/updata.txt", Document("5.10", " 1", "file:///c:/windows/system32/notepad.exe"));
  server_.Put("/sygg.html", "公告");
  UseServer(server_.Base());
  Program program(ProgramPath());
  HWND main = StartReady(program, GetTickCount64());
  ASSERT_TRUE(main);
  EXPECT_TRUE(WaitUntil([&] { return server_.Count("/upwifi/tongji.html") == 1; }, 10000))
      << "the start-up did not get past the offer";
  EXPECT_FALSE(WaitForMessageBox("更新提示", 1000));
  EXPECT_FALSE(IsWindowVisible(FindControl(main, Ctl::超文本浏览框1)));
  EXPECT_EQ(server_.Count("/sygg.html"), 0);

  ChooseOfficialSite(main);
  Sleep(2000);
  EXPECT_EQ(ReadText("opened.log"), "");
  EXPECT_TRUE(program.Running());
  CloseAndExpectEnd(program, main);
}

TEST_F(UpdatesE2e, ServerDownShowsTheBuiltInHelpAndIsReadyAsFastAsWithoutOne) {
  ULONGLONG without = 0, down = 0;
  {
    Program program(ProgramPath());
    HWND main = StartReady(program, GetTickCount64(), &without);
    ASSERT_TRUE(main);
    CloseAndExpectEnd(program, main);
  }
  std::string closed;
  {
    LoopbackHttp gone;  // a port where nothing listens any more
    closed = gone.Base();
  }
  UseServer(closed);
  Program program(ProgramPath());
  HWND main = StartReady(program, GetTickCount64(), &down);
  ASSERT_TRUE(main);
  std::cout << "ready after " << without << " ms without a server, " << down
            << " ms with the server down\n";
  RecordProperty("ready_ms_without_server", int(without));
  RecordProperty("ready_ms_server_down", int(down));
  EXPECT_LT(down, without + 1500);

  ASSERT_TRUE(SelectPage(main, 4));
  HWND help = FindControl(main, Ctl::简单超文本框1);
  EXPECT_EQ(WindowText(help).substr(0, 23), "LumoraWiFi 使用帮助");
  Sleep(300);
  EXPECT_TRUE(Shot("help-page-built-in"));
  // The help is long: the view scrolls.
  EXPECT_TRUE(GetWindowLongW(help, GWL_STYLE) & WS_VSCROLL);
  SendMessageW(help, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-2 * WHEEL_DELTA)), 0);
  Sleep(300);
  EXPECT_TRUE(Shot("help-page-scrolled"));
  CloseAndExpectEnd(program, main);
}

TEST_F(UpdatesE2e, ServerThatNeverAnswersLeavesTheWindowUsableAndTheStartupFinishes) {
  LoopbackHttp silent(true);
  UseServer(silent.Base());
  SetFirewallStartType(SERVICE_DEMAND_START);
  Program program(ProgramPath());
  HWND main = StartReady(program, GetTickCount64());
  ASSERT_TRUE(main);
  // The last start-up step prepares the services.
  EXPECT_TRUE(WaitUntil([] { return FirewallStartType() == SERVICE_AUTO_START; }, 15000))
      << "the start-up did not finish";
  // The window answers at once meanwhile.
  ASSERT_TRUE(SelectPage(main, 4));
  DWORD_PTR length = 0;
  EXPECT_TRUE(SendMessageTimeoutW(FindControl(main, Ctl::简单超文本框1), WM_GETTEXTLENGTH, 0, 0,
                                  SMTO_ABORTIFHUNG, 1000, &length));
  EXPECT_GT(length, 100u) << "the built-in help is shown";
  EXPECT_FALSE(WaitForMessageBox("更新提示", 500));
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
