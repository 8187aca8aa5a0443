// The extras in the real program: the start options through the registry and
// the settings file, the theme as the hue slider moves, and the timed
// power-off (in a Wine session of its own: the power-off ends every program
// of the session).
#include <gtest/gtest.h>

#include <string>

#include "app_driver.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "extras/start_options.h"
#include "extras/theme.h"
#include "screenshot.h"
#include "prepared_files.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"
#include "win32/utf16.h"

namespace lumora::e2e {
namespace {

// The Run value's data, or nothing when it is absent.
bool ReadRunValue(std::string& data) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, Widen(kRunKeyPath).c_str(), Widen(kRunValueName).c_str(),
                   RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return false;
  data = Narrow(buffer);
  return true;
}

// The colour on the screen at a point of a window's client area.
COLORREF PixelAt(HWND hwnd, int x, int y) {
  POINT at{x, y};
  ClientToScreen(hwnd, &at);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return c;
}
COLORREF Ref(Colour c) { return RGB(c.r, c.g, c.b); }

class Extras : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
    ResetStandins();
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
  }

  // Broadband in, the hosted network not yet configured.
  // Starts the program; the window once its start button is enabled.

  // The window once its start button is enabled (with qidong=y it may read
  // 关闭WiFi by then).
  static HWND StartReady(Program& program) {
    HWND main = WaitForMain(program);
    if (main) {
      EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(FindControl(main, Ctl::按钮开始)); }, 15000));
    }
    return main;
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

// Both start options over three starts: the Run value (read back from the
// registry at the next start, removed when unchecked) and qidong.
TEST_F(Extras, StartOptionsTakeEffectAtTheNextStart) {
  HKEY run;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE, &run), ERROR_SUCCESS);
  RegDeleteValueA(run, kRunValueName);
  RegCloseKey(run);
  std::string data;
  {
    Program program(ProgramPath());
    HWND main = StartReady(program);
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsChecked(main, Ctl::选择框_开机启动));
    Click(FindControl(main, Ctl::选择框_开机启动));
    EXPECT_TRUE(WaitUntil([&] { return ReadRunValue(data); }, 5000)) << "no Run value written";
    EXPECT_EQ(data, RunValueData(ProgramPath()));
    Click(FindControl(main, Ctl::选择框_启动));
    EXPECT_TRUE(WaitUntil([&] { return settings_.Read(setting::kAutoStartHotspot) == "y"; }, 5000));
    EXPECT_TRUE(StartButtonReads(main, "开启WiFi")) << "started at the click";
    CloseAndExpectEnd(program, main);
  }
  ResetStandins();
  {
    Program program(ProgramPath());
    HWND main = WaitForMain(program);
    ASSERT_TRUE(main);
    EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000))
        << "not started by itself: " << TextOf(main, Ctl::按钮开始);
    EXPECT_TRUE(Has(ReadText("netsh.log"), "wlan start hostednetwork")) << ReadText("netsh.log");
    EXPECT_TRUE(IsChecked(main, Ctl::选择框_开机启动));
    Click(FindControl(main, Ctl::选择框_开机启动));
    EXPECT_TRUE(WaitUntil([&] { return !ReadRunValue(data); }, 5000)) << "left: " << data;
    CloseAndExpectEnd(program, main);
  }
  settings_.Write(setting::kAutoStartHotspot, "n");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  EXPECT_FALSE(IsChecked(main, Ctl::选择框_开机启动));
  CloseAndExpectEnd(program, main);
}

// The settings page at three hues: the slider's label and stored value, and
// the page, a group caption's surroundings and a push button painted in the
// hue's palette at once.
TEST_F(Extras, HueSliderRepaintsTheWindowAtOnce) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(SelectPage(main, 2));
  Sleep(300);
  HWND button = FindControl(main, Ctl::按钮色调);
  HWND page = GetParent(FindControl(main, Ctl::分组框5));
  struct Case {
    int position;
    const char* label;
  };
  for (const Case& c : {Case{0, "[-160]"}, Case{160, "[0]"}, Case{310, "[150]"}}) {
    MoveSlider(main, Ctl::滑块条色调, c.position);
    Sleep(300);
    const Palette palette = HuePalette(c.position - 160);
    EXPECT_EQ(TextOf(main, Ctl::透明标签位置), c.label);
    EXPECT_EQ(settings_.Read(setting::kSkinHue), std::to_string(c.position));
    EXPECT_EQ(PixelAt(page, 2, 2), Ref(palette.page_background)) << c.label;
    RECT r;
    GetClientRect(button, &r);
    EXPECT_EQ(PixelAt(button, 3, r.bottom / 2), Ref(palette.button_face)) << c.label;
    EXPECT_EQ(PixelAt(button, 0, r.bottom / 2), Ref(palette.button_border)) << c.label;
    const std::string label = c.label;  // "[-160]": brackets are no file name for convert
    Shot("theme-settings-hue" + label.substr(1, label.size() - 2));
  }
  // "恢复默认" from another hue.
  MoveSlider(main, Ctl::滑块条色调, 40);
  Click(button);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(main, Ctl::透明标签位置) == "[150]"; }, 5000));
  EXPECT_EQ(settings_.Read(setting::kSkinHue), "310");
  ASSERT_TRUE(SelectPage(main, 0));
  Sleep(300);
  Shot("theme-main-hue150");
  CloseAndExpectEnd(program, main);
}

// The power-off ends the programs of the Wine session: this runs only in a
// session of its own (LUMORA_OWN_SESSION, set by the test script).
TEST_F(Extras, CountdownWarnsThenTearsDownBeforeThePowerOff) {
  if (!GetEnvironmentVariableA("LUMORA_OWN_SESSION", nullptr, 0))
    GTEST_SKIP() << "needs a Wine session of its own";
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  ASSERT_TRUE(Has(ReadText("sharing.ini"), "宽带连接|2|public"));

  // 0.02 hours are 72 seconds.
  TypeAndEnter(main, Ctl::组合框_关机, "0.02");
  EXPECT_TRUE(IsChecked(main, Ctl::选择框关机));
  HWND label = FindControl(main, Ctl::标签关机);
  EXPECT_TRUE(IsWindowVisible(label));
  EXPECT_EQ(WindowText(label), "00时01分12秒后关机");
  ShowWindow(main, SW_MINIMIZE);

  ASSERT_TRUE(WaitUntil([&] { return WindowText(label) == "00时00分45秒后关机"; }, 40000));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }, 3000))
      << "the window did not come forward at 45 seconds";
  Sleep(300);
  Shot("shutdown-warning");

  // One second before the end: the hotspot goes, then (3 s later) the power-off.
  ASSERT_TRUE(WaitUntil([&] { return WindowText(label) == "00时00分01秒后关机"; }, 50000));
  EXPECT_TRUE(WaitUntil([] { return !Has(ReadText("sharing.ini"), "public"); }, 2500))
      << ReadText("sharing.ini");
  EXPECT_TRUE(Has(ReadText("netsh.log"), "wlan stop hostednetwork")) << ReadText("netsh.log");
  EXPECT_TRUE(program.Running()) << "ended before the power-off was asked";
  // The power-off asks every program with a window to end; this one has none.
  EXPECT_TRUE(program.WaitForExit(20000)) << "the power-off was not asked";
}

}  // namespace
}  // namespace lumora::e2e
