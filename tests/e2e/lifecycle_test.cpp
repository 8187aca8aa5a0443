// The real program, started and driven from this second process: first
// start, settings applied, one instance, the tray, the pages, ending.
#include <gtest/gtest.h>

#include "ui/window_layout.h"
#include "app_driver.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
  }
};

TEST_F(Lifecycle, FirstStartShowsTheDesignStateAndWritesNoSettings) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r.right - r.left, kMainWidth);
  EXPECT_EQ(r.bottom - r.top, kMainHeight);

  EXPECT_EQ(TextOf(main, Ctl::编辑框名称), "mylove");
  EXPECT_EQ(TextOf(main, Ctl::编辑框密码), "5094817263");
  EXPECT_FALSE(IsMasked(main, Ctl::编辑框密码));
  EXPECT_TRUE(IsChecked(main, Ctl::选择框_显示密码));
  EXPECT_TRUE(IsChecked(main, Ctl::单选框黑));
  EXPECT_FALSE(IsChecked(main, Ctl::单选框白));
  EXPECT_EQ(TextOf(main, Ctl::透明标签位置), "[150]");
  EXPECT_EQ(TextOf(main, Ctl::组合框_关机), "2");
  EXPECT_EQ(TextOf(main, Ctl::分组框4), "允许上网的用户↓");
  EXPECT_FALSE(IsChecked(main, Ctl::选择框显示流量));
  EXPECT_FALSE(IsChecked(main, Ctl::选择框_启动));
  EXPECT_FALSE(IsChecked(main, Ctl::选择框_开机启动));
  HWND bar = FindTrafficBar();
  EXPECT_TRUE(bar) << "the floating bar is created at start";
  EXPECT_FALSE(bar && IsWindowVisible(bar));

  // Every page, as the user sees it.
  EXPECT_TRUE(Shot("page0-main"));
  for (int page = 1; page < 5; ++page) {
    ASSERT_TRUE(SelectPage(main, page));
    Sleep(300);
    EXPECT_TRUE(Shot("page" + std::to_string(page) + "-" + std::string(PageTitle(static_cast<Page>(page)))));
  }
  ASSERT_TRUE(SelectPage(main, 0));

  // The tray menu.
  TrayClick(main, WM_RBUTTONUP);
  EXPECT_TRUE(OpenPopupMenu(5000)) << "no tray menu";
  Sleep(200);
  EXPECT_TRUE(Shot("tray-menu"));
  ClosePopupMenu();
  EXPECT_TRUE(WaitUntil([] { return !OpenPopupMenu(0); }, 3000));

  // Placing the floating bar is a move, and its place is stored; nothing
  // else was changed, so nothing else is written.
  const std::string bar_only = "[flowposition]\r\nxy=" +
                               std::to_string(GetSystemMetrics(SM_CXSCREEN) - 186) + "|" +
                               std::to_string(GetSystemMetrics(SM_CYSCREEN) - 118) + "\r\n";
  EXPECT_EQ(Win32FileStore().ReadAll("c:\\tovkwifi.ini").bytes, bar_only);
  CloseAndExpectEnd(program, main);
  EXPECT_EQ(Win32FileStore().ReadAll("c:\\tovkwifi.ini").bytes, bar_only);
}

TEST_F(Lifecycle, StoredSettingsAreApplied) {
  Win32FileStore files;
  SettingsStore settings(files);
  settings.Write(setting::kShowPassword, "2");
  settings.Write(setting::kMonitor, "不监控");
  settings.Write(setting::kTrafficBar, "是");
  settings.Write(setting::kSsid, "我的热点");
  settings.Write(setting::kSkinHue, "400");
  files.WriteAll("c:\\wifiwhite.txt", "AA-BB-CC-DD-EE-01+\xCA\xD6\xBB\xFA\r\n");  // 手机

  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  EXPECT_EQ(TextOf(main, Ctl::编辑框名称), "我的热点");
  EXPECT_TRUE(IsMasked(main, Ctl::编辑框密码));
  EXPECT_FALSE(IsChecked(main, Ctl::选择框_显示密码));
  EXPECT_TRUE(IsChecked(main, Ctl::单选框白));
  EXPECT_EQ(TextOf(main, Ctl::分组框4), "白名单列表↓");
  EXPECT_EQ(TextOf(main, Ctl::透明标签位置), "[180]");  // the slider stops at 340
  EXPECT_TRUE(IsChecked(main, Ctl::选择框显示流量));
  HWND bar = FindTrafficBar();
  EXPECT_TRUE(bar && IsWindowVisible(bar));
  const auto white = ListViewRows(FindControl(main, Ctl::超级列表框3), 2);
  ASSERT_EQ(white.size(), 1u);
  EXPECT_EQ(white[0], (std::vector<std::string>{"AA-BB-CC-DD-EE-01", "手机"}));
  ASSERT_TRUE(SelectPage(main, 1));
  Sleep(300);
  EXPECT_TRUE(Shot("page1-white-list-mode"));

  // Unchecking "显示密码" masks at once and is remembered.
  Click(FindControl(main, Ctl::选择框_显示密码));
  EXPECT_TRUE(WaitUntil([&] { return !IsMasked(main, Ctl::编辑框密码); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return settings.Read(setting::kShowPassword) == "1"; }, 3000));
  CloseAndExpectEnd(program, main);
}

TEST_F(Lifecycle, ASecondCopyEndsAndLeavesOneWindow) {
  Program first(ProgramPath());
  HWND main = StartReady(first);
  ASSERT_TRUE(main);
  ShowWindow(main, SW_MINIMIZE);
  Program second(ProgramPath());
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitForExit(5000)) << "the second copy kept running";
  EXPECT_EQ(CountWindows(kMainTitle), 1);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }, 3000)) << "the first window was not restored";
  CloseAndExpectEnd(first, main);
}

TEST_F(Lifecycle, HidingToTheTrayKeepsTheProgramAndTheTrayBringsItBack) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮右下角));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 3000));
  Sleep(500);
  EXPECT_TRUE(program.Running());

  TrayClick(main, WM_LBUTTONUP);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }, 3000));
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2) << "not centred";
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2) << "not centred";
  CloseAndExpectEnd(program, main);
}

TEST_F(Lifecycle, ExitFromTheTrayMenuEndsTheProgram) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  TrayClick(main, WM_RBUTTONUP);
  HWND menu = OpenPopupMenu(5000);
  ASSERT_TRUE(menu);
  // "退出" is the last of the three items.
  for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.WaitForExit(5000)) << "退出 did not end the program";
}

TEST_F(Lifecycle, QuestionIconShowsItsHelp) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  HWND icon = FindControl(main, Ctl::画板_问号);
  ASSERT_TRUE(icon);
  PostMessageW(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(icon, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  HWND box = WaitForMessageBox("使用帮助", 5000);
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box).substr(0, 30), std::string("WiFi名称和密码可以自定义").substr(0, 30));
  EXPECT_TRUE(Shot("help-message"));
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000));
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e

namespace lumora::e2e {
namespace {

// Wine reports the version a prefix asks for per program, so the refusal can
// be seen for real.
class WindowsXp : public Lifecycle {
 protected:
  static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\LumoraWiFi.exe";
  void SetUp() override {
    Lifecycle::SetUp();
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Version", REG_SZ, L"winxp", 12), ERROR_SUCCESS);
  }
  void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Version"); }
};

TEST_F(WindowsXp, IsRefusedOnceAndTheWindowStays) {
  Program program(ProgramPath());
  ASSERT_TRUE(program.Started());
  HWND box = WaitForMessageBox("提示", 15000);
  ASSERT_TRUE(box) << "no refusal shown";
  EXPECT_EQ(MessageBoxText(box), "抱歉，该软件暂不支持Win XP系统！");
  EXPECT_TRUE(Shot("xp-refusal"));
  PressOk(box);
  HWND main = WaitForWindow(kMainTitle, 10000);
  ASSERT_TRUE(main);
  Sleep(1000);  // no start-up sequence may enable the button later
  EXPECT_EQ(TextOf(main, Ctl::按钮开始), "不支持XP");
  EXPECT_FALSE(IsWindowEnabled(FindControl(main, Ctl::按钮开始)));
  EXPECT_FALSE(FindWindowW(L"#32770", nullptr)) << "the refusal is shown once";
  EXPECT_FALSE(FindTrafficBar()) << "no floating bar on Windows XP";
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
