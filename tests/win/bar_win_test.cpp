// The floating bar's window pieces: the magenta-cut outline, the hover tip
// and the moves it reports.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "win32/bar_win.h"

namespace lumora {
namespace {

struct Moves : BarEvents {
  Point last{-1, -1};
  void OnBarMoved(Point p) override { last = p; }
  void OnBarMouseDown() override {}
  void OnBarLinkClicked(std::string_view) override {}
};

TEST(BarWindow, OutlineTooltipAndMoves) {
  // 155 x 22, magenta in the corners' first three pixels and one whole row.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 155, -22, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(picture);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 155; ++x)
      pixels[y * 155 + x] = (y == 10 || ((y == 0 || y == 21) && (x < 3 || x > 151)))
                                ? 0xFF00FF : 0x203040;
  HRGN region = OutlineRegion(picture);
  ASSERT_TRUE(region);
  for (auto [x, y, inside] : {std::tuple{0, 0, false}, {2, 21, false}, {154, 0, false},
                              {3, 0, true}, {77, 10, false}, {77, 11, true}, {155, 5, false}})
    EXPECT_EQ(bool(PtInRegion(region, x, y)), inside) << x << "," << y;
  DeleteObject(region);
  DeleteObject(picture);
  EXPECT_EQ(OutlineRegion(nullptr), nullptr);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoraTestBar";
  RegisterClassW(&wc);
  HWND bar = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 50, 50, 155, 23,
                             nullptr, nullptr, wc.hInstance, nullptr);
  HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 1, -6, 159, 30, bar,
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(bar && label);
  HWND tip = AttachHoverTooltip(bar, label, "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏");
  ASSERT_TRUE(tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 300);

  Moves moves;
  SetWindowPos(bar, nullptr, 1734, 962, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ReportBarMoved(bar, moves);
  EXPECT_EQ(moves.last, (Point{1734, 962}));
  DestroyWindow(bar);
  EXPECT_GT(PrimaryScreenSize().width, 0);
}

}  // namespace
}  // namespace lumora
