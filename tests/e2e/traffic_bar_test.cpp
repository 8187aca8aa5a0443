// The floating traffic bar of the real program: where it stands, its popup,
// hiding it for good; and, inside the test network namespaces, the rates and
// totals following a steady stream of known rate to and from a phone.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app_driver.h"
#include "common/numbers.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "standin_files.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {

constexpr wchar_t kPopupClass[] = L"LumoraWiFiTrafficBarPopup";

HWND VisiblePopup() {
  HWND popup = FindWindowW(kPopupClass, nullptr);
  return popup && IsWindowVisible(popup) ? popup : nullptr;
}

void Mouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof(in));
  Sleep(40);
}

RECT RectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

class TrafficBar : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
  }
  // The right button on the bar, and the popup it opens.
  static HWND OpenPopup(HWND bar) {
    PostMessageW(FindControl(bar, Ctl::流量条_透明标签1), WM_RBUTTONDOWN, MK_RBUTTON,
                 MAKELPARAM(60, 12));
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = VisiblePopup()) != nullptr; }, 3000);
    return popup;
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_F(TrafficBar, StandsWhereSavedOpensItsPopupAndStaysHiddenOnceHidden) {
  settings_.Write(setting::kTrafficBar, "是");
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  {
    Program program(ProgramPath());
    HWND main = StartReady(program);
    ASSERT_TRUE(main);
    HWND bar = FindTrafficBar();
    ASSERT_TRUE(bar && IsWindowVisible(bar));
    EXPECT_TRUE(IsChecked(main, Ctl::选择框显示流量));
    // No stored place: near the bottom right, written back as a move.
    RECT r = RectOf(bar);
    EXPECT_EQ(r.left, cx - 186);
    EXPECT_EQ(r.top, cy - 118);
    EXPECT_EQ(r.right - r.left, 155);
    EXPECT_EQ(r.bottom - r.top, 23);
    EXPECT_TRUE(WaitUntil([&] {
      return settings_.Read(setting::kBarPosition) ==
             std::to_string(cx - 186) + "|" + std::to_string(cy - 118);
    }, 3000)) << settings_.Read(setting::kBarPosition);
    EXPECT_EQ(GetWindowLongW(bar, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongW(bar, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(TextOf(bar, Ctl::流量条_下载透明标签), "0.0KB/S");
    EXPECT_EQ(TextOf(bar, Ctl::流量条_上传透明标签), "0.0KB/S");

    // Low on the screen the popup opens upward from the bar's middle.
    HWND popup = OpenPopup(bar);
    ASSERT_TRUE(popup) << "no popup";
    RECT p = RectOf(popup);
    EXPECT_EQ(p.bottom, r.top);
    EXPECT_LE(std::abs((p.left + p.right) / 2 - (r.left + 77)), 1);
    Sleep(300);
    EXPECT_TRUE(Shot("traffic-bar-popup-upward"));
    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return !VisiblePopup(); }, 3000)) << "Esc leaves the popup open";

    // Dragged elsewhere (a move like any other): stored, and the popup opens downward.
    SetWindowPos(bar, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return settings_.Read(setting::kBarPosition) == "300|200"; }, 3000));
    popup = OpenPopup(bar);
    ASSERT_TRUE(popup);
    EXPECT_EQ(RectOf(popup).top, 222);
    Sleep(300);
    EXPECT_TRUE(Shot("traffic-bar-popup-downward"));
    // Focus elsewhere closes it.
    SetForegroundWindow(main);
    EXPECT_TRUE(WaitUntil([] { return !VisiblePopup(); }, 3000)) << "the popup outlived its focus";

    // The real mouse: dragged by its body, the bar follows and its place is stored.
    SetCursorPos(360, 212);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 10; ++step) {
      SetCursorPos(360 + 10 * step, 212 + 5 * step);
      Sleep(30);
    }
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] { return RectOf(bar).left == 400 && RectOf(bar).top == 250; }, 3000))
        << RectOf(bar).left << "," << RectOf(bar).top;
    EXPECT_TRUE(WaitUntil([&] { return settings_.Read(setting::kBarPosition) == "400|250"; }, 3000))
        << settings_.Read(setting::kBarPosition);
    SetWindowPos(bar, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Resting on it shows the two-line tip.
    SetCursorPos(350, 210);
    Sleep(100);
    SetCursorPos(360, 212);
    HWND tip = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      tip = FindWindowW(L"tooltips_class32", nullptr);
      while (tip && !IsWindowVisible(tip)) tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr);
      return tip != nullptr;
    }, 4000));
    EXPECT_TRUE(Shot("traffic-bar-tooltip"));

    // A double click brings the hidden main window back.
    Click(FindControl(main, Ctl::按钮右下角));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 3000));
    SetCursorPos(360, 212);
    for (int i = 0; i < 2; ++i) Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 3000));

    // "隐藏流量条", the middle line.
    popup = OpenPopup(bar);
    ASSERT_TRUE(popup);
    RECT c;
    GetClientRect(popup, &c);
    PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(c.right / 2, c.bottom / 2));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, 3000));
    EXPECT_FALSE(VisiblePopup());
    EXPECT_FALSE(IsChecked(main, Ctl::选择框显示流量));
    EXPECT_TRUE(WaitUntil([&] { return settings_.Read(setting::kTrafficBar) == "否"; }, 3000));
    CloseAndExpectEnd(program, main);
  }
  // The next start creates it hidden, where it was.
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  HWND bar = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (bar = FindTrafficBar()) != nullptr; }, 3000));
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_EQ(RectOf(bar).left, 300);
  EXPECT_EQ(RectOf(bar).top, 200);
  EXPECT_FALSE(IsChecked(main, Ctl::选择框显示流量));
  // Checking the option shows it again.
  Click(FindControl(main, Ctl::选择框显示流量));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return settings_.Read(setting::kTrafficBar) == "是"; }, 3000));
  CloseAndExpectEnd(program, main);
}

// Inside the namespaces of scripts/lib/env.sh, with the traffic pump serving
// (start_traffic_pump): lumora0 is the hosted adapter, the phone is beyond it.
class TrafficNetwork : public TrafficBar {
 protected:
  void SetUp() override {
    if (!std::getenv("LUMORA_NETNS")) GTEST_SKIP() << "not inside the test network namespace";
    TrafficBar::SetUp();
    for (const char* f : {"netsh.log", "netsh-state.ini", "wlan-state.ini", "netsh-fail.txt",
                          "traffic-pump.txt.done"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    WriteText("sharing.ini", "宽带连接|2|none\r\nlumora0|7|none\r\n");
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "lumora0");
    settings_.Write(setting::kTrafficBar, "是");
    settings_.Write(setting::kBarPosition, "600|300");
  }
  // Asks the pump for a stream and returns once it has begun.
  static bool Stream(const char* direction, int bytes_per_second, int seconds) {
    DeleteFileA((std::string(kDir) + "\\traffic-pump.txt.done").c_str());
    WriteText("traffic-pump.txt", std::string(direction) + " " + std::to_string(bytes_per_second) +
                                      " " + std::to_string(seconds) + "\n");
    return WaitUntil([] { return ReadText("traffic-pump.txt").empty(); }, 5000);
  }
  static bool StreamDone(DWORD ms) {
    return WaitUntil([] { return !ReadText("traffic-pump.txt.done").empty(); }, ms);
  }
  // The rate label's figure in KB/s, sampled once a second while the stream runs.
  static double MedianRate(HWND bar, Ctl label, int samples) {
    std::vector<double> kb;
    for (int i = 0; i < samples; ++i) {
      Sleep(1000);
      const std::string text = TextOf(bar, label);
      const double figure = ParseLeadingNumber(text);
      kb.push_back(text.find("MB/S") != std::string::npos ? figure * 1024 : figure);
    }
    std::sort(kb.begin(), kb.end());
    return kb[kb.size() / 2];
  }
};

TEST_F(TrafficNetwork, BarAndTotalsFollowAStreamOfKnownRate) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 40000))
      << TextOf(main, Ctl::按钮开始);
  EXPECT_EQ(TextOf(main, Ctl::编辑框虚拟网卡), "lumora0");
  HWND bar = FindTrafficBar();
  ASSERT_TRUE(bar && IsWindowVisible(bar));
  ASSERT_TRUE(SelectPage(main, 3));
  Sleep(2000);  // the first sample compares with zero; let it pass
  const double up_before = ParseLeadingNumber(TextOf(main, Ctl::标签本次上传流量));

  // 200 KB/s from the phone: its upload. Frames carry 42 bytes of headers
  // per 1024-byte datagram, within the allowance.
  constexpr int kRate = 200 * 1024;
  ASSERT_TRUE(Stream("upload", kRate, 10)) << "the traffic pump does not answer";
  Sleep(1500);
  const double up_rate = MedianRate(bar, Ctl::流量条_上传透明标签, 6);
  EXPECT_NEAR(up_rate, 200, 50) << TextOf(bar, Ctl::流量条_上传透明标签);
  EXPECT_LT(ParseLeadingNumber(TextOf(bar, Ctl::流量条_下载透明标签)), 20);
  Shot("traffic-network-page-upload");
  ASSERT_TRUE(StreamDone(15000));
  Sleep(1700);
  const double up_after = ParseLeadingNumber(TextOf(main, Ctl::标签本次上传流量));
  // 10 s x 200 KB = 1.95 MB of payload, a little more on the wire.
  EXPECT_NEAR(up_after - up_before, 2.04, 0.3);

  // 200 KB/s to the phone: its download.
  ASSERT_TRUE(Stream("download", kRate, 10));
  Sleep(1500);
  const double down_rate = MedianRate(bar, Ctl::流量条_下载透明标签, 6);
  EXPECT_NEAR(down_rate, 200, 50) << TextOf(bar, Ctl::流量条_下载透明标签);
  EXPECT_LT(ParseLeadingNumber(TextOf(bar, Ctl::流量条_上传透明标签)), 20);
  // The bar and its popup while the figures move.
  HWND popup = OpenPopup(bar);
  EXPECT_TRUE(popup);
  Sleep(300);
  Shot("traffic-network-bar-popup");
  if (popup) PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(StreamDone(15000));
  Sleep(1700);

  // The totals: the sum of the two figures as shown, 0.3 yuan a megabyte.
  const std::string up = TextOf(main, Ctl::标签本次上传流量);
  const std::string down = TextOf(main, Ctl::标签本次下载流量);
  const std::string total = TextOf(main, Ctl::标签本次总流量);
  EXPECT_GT(ParseLeadingNumber(down), 1.8) << down;
  const double sum = ParseLeadingNumber(up) + ParseLeadingNumber(down);
  EXPECT_EQ(total, NumberText(sum) + " MB");
  EXPECT_EQ(TextOf(main, Ctl::标签本次总金额), FormatFixed(ParseLeadingNumber(total) * 0.3, 2) + " 元");
  Shot("traffic-network-page-totals");
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
