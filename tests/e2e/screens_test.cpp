// The real window on screens of every DPI, from the keyboard alone, and
// read by a screen reader. LUMORA_DPI tells the DPI the test prefix runs at
// (scripts/test sets it with the registry before starting Wine's server).
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdlib>
#include <set>

#include "app_driver.h"
#include "common/settings.h"
#include "standin_files.h"
#include "win32/file_store_win.h"
#include "e2e_env.h"
#include "layout_audit.h"
#include "screenshot.h"
#include "ui/window_layout.h"
#include "ui_driver.h"
#include "win32/utf16.h"
#include "window_audit.h"

namespace lumora::e2e {
namespace {

int PrefixDpi() {
  const char* dpi = std::getenv("LUMORA_DPI");
  return dpi && std::atoi(dpi) > 0 ? std::atoi(dpi) : kDesignDpi;
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
  }
};

// Every page, and the user page in both list modes: no text clipped, no
// two controls overlapping that the design keeps apart; a screenshot each.
TEST_F(Screens, EveryPageFitsItsTextsAtThisDpi) {
  const int dpi = PrefixDpi();
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_NEAR(r.right - r.left, ScaleToDpi(kMainWidth, dpi), 1) << "the window is not scaled";
  EXPECT_NEAR(r.bottom - r.top, ScaleToDpi(kMainHeight, dpi), 1);
  struct Step {
    int page;
    Ctl mode;  // the list mode clicked first, or kCount
    const char* label;
  };
  const Step steps[] = {{0, Ctl::kCount, "page0"},      {1, Ctl::kCount, "page1-black"},
                        {1, Ctl::单选框白, "page1-white"}, {1, Ctl::单选框黑, "page1-black-again"},
                        {2, Ctl::kCount, "page2"},      {3, Ctl::kCount, "page3"},
                        {4, Ctl::kCount, "page4"}};
  for (const Step& step : steps) {
    ASSERT_TRUE(SelectPage(main, step.page));
    if (step.mode != Ctl::kCount) ClickAndWait(FindControl(main, step.mode));
    Sleep(300);
    const std::vector<AuditedControl> controls = ReadShownPage(main, dpi);
    const std::vector<std::string> faults = AuditLayout(controls);
    std::printf("AUDIT dpi=%d %s controls=%zu faults=%zu\n", dpi, step.label, controls.size(),
                faults.size());
    for (const std::string& f : faults) ADD_FAILURE() << dpi << " DPI, " << step.label << ": " << f;
    EXPECT_GT(controls.size(), 3u) << step.label << ": the page was not read";
    EXPECT_TRUE(Shot("dpi" + std::to_string(dpi) + "-" + step.label));
  }
  // The floating bar at this DPI too.
  ASSERT_TRUE(SelectPage(main, 3));
  ClickAndWait(FindControl(main, Ctl::选择框显示流量));
  HWND bar = FindTrafficBar();
  ASSERT_TRUE(bar && WaitUntil([&] { return IsWindowVisible(bar) != 0; }, 3000));
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.right - r.left, ScaleToDpi(kBarWidth, dpi));
  EXPECT_EQ(r.bottom - r.top, ScaleToDpi(kBarHeight, dpi));
  Sleep(300);
  EXPECT_TRUE(Shot("dpi" + std::to_string(dpi) + "-bar"));
  CloseAndExpectEnd(program, main);
}

// The control that has the keyboard in the program's window thread.
HWND FocusOf(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Tab until `target` has the keyboard, starting at `first` while nothing
// has it yet; false when a round passed without it.
bool TabTo(HWND main, HWND first, HWND target) {
  for (int i = 0; i < 30 && FocusOf(main) != target; ++i) {
    HWND from = FocusOf(main) ? FocusOf(main) : first;
    PressKey(from, VK_TAB);
    WaitUntil([&] { return FocusOf(main) != from; }, 2000);
  }
  if (FocusOf(main) != target) {
    wchar_t cls[64] = {};
    GetClassNameW(FocusOf(main), cls, 64);
    std::printf("the keyboard stayed on %ls %d\n", cls, GetDlgCtrlID(FocusOf(main)));
  }
  return FocusOf(main) == target;
}

// Started and stopped without the mouse: Tab to 开启WiFi, Enter, and Enter again.
TEST_F(Screens, TheHotspotStartsAndStopsFromTheKeyboard) {
  WriteText("sharing.ini", "宽带连接|2|none\r\n无线网络连接 2|7|none\r\n");
  Win32FileStore files;
  SettingsStore settings(files);
  settings.Write(setting::kAdapterOverride, "1");
  settings.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  HWND start = FindControl(main, Ctl::按钮开始);
  // Without a window manager nothing gives the window the keyboard at first:
  // the keys start at the first control of the page.
  HWND first = FindControl(main, Ctl::编辑框名称);
  ASSERT_TRUE(TabTo(main, first, start)) << "Tab never reached the start button";
  Shot("keyboard-start-focused");
  PressKey(start, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000))
      << TextOf(main, Ctl::按钮开始);
  // It was disabled while the hotspot started: the keyboard is back on it.
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == start; }, 3000));
  PressKey(start, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 30000))
      << TextOf(main, Ctl::按钮开始);
  CloseAndExpectEnd(program, main);
}

struct Spoken {
  std::string name;
  long role = 0;
};

// IAccessible, as Microsoft publishes it (the import library's symbol was
// seen not to match under Wine).
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader hears of a control, asked through MSAA.
Spoken Speak(HWND hwnd) {
  Spoken spoken;
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, kIAccessible,
                                        reinterpret_cast<void**>(&acc))) || !acc)
    return spoken;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (SUCCEEDED(acc->get_accName(self, &name)) && name) {
    spoken.name = Narrow(name);
    SysFreeString(name);
  }
  VARIANT role{};
  if (SUCCEEDED(acc->get_accRole(self, &role)) && role.vt == VT_I4) spoken.role = role.lVal;
  acc->Release();
  return spoken;
}

// Owner-drawn buttons, the icons that act as buttons, links and the pages
// tell a screen reader their names, read here from a second process.
TEST_F(Screens, ScreenReadersHearTheNames) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  CoInitialize(nullptr);
  const std::pair<Ctl, const char*> buttons[] = {
      {Ctl::按钮开始, "开启WiFi"}, {Ctl::按钮右下角, "缩小到右下角"}, {Ctl::画板_问号, "使用帮助"},
      {Ctl::画板_叹号, "注意"},      {Ctl::超级链接框刷新, "刷新"},   {Ctl::按钮色调, "恢复默认"},
  };
  for (const auto& [c, name] : buttons) {
    const Spoken spoken = Speak(FindControl(main, c));
    EXPECT_EQ(spoken.name, name) << DefOf(c).name;
    // Windows' proxy of the Button class says push button; Wine 8's oleacc
    // has no class proxies and calls every window a client area.
    EXPECT_TRUE(spoken.role == ROLE_SYSTEM_PUSHBUTTON || spoken.role == ROLE_SYSTEM_CLIENT)
        << DefOf(c).name << ": " << spoken.role;
  }
  wchar_t role[64] = {};
  GetRoleTextW(ROLE_SYSTEM_PUSHBUTTON, role, 64);
  std::printf("a screen reader says: %s, %s\n", Speak(FindControl(main, Ctl::按钮开始)).name.c_str(),
              Narrow(role).c_str());
  // The pages carry their titles, as the tab headers read.
  std::set<std::string> pages;
  for (HWND page = FindWindowExW(main, nullptr, L"LumoraWiFiContainer", nullptr); page;
       page = FindWindowExW(main, page, L"LumoraWiFiContainer", nullptr))
    pages.insert(Speak(page).name);
  EXPECT_EQ(pages, (std::set<std::string>{"主界面", "管理用户", "设置中心", "流量统计", "帮助信息"}));
  CoUninitialize();
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
