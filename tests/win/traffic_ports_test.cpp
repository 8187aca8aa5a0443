// The traffic monitor's Windows pieces under Wine: the counters' ports (the
// adapters are the Linux interfaces; Wine's Win32_NetworkAdapter has no
// NetConnectionID, so WMI finds nothing here) and the floating bar's window
// pieces.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>

#include <vector>

#include "win32/bar_win.h"
#include "win32/counters_win.h"
#include "win32/interface_index_win.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

TEST(TrafficPorts, AdaptersFoundByNameWithTheirCountersAndNothingElse) {
  Win32InterfaceIndexPort index;
  Win32CountersPort counters;
  ULONG size = 0;
  GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
  std::vector<unsigned long long> buffer(size / sizeof(unsigned long long) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, first, &size), ULONG(NO_ERROR));
  for (auto* a = first; a; a = a->Next) {
    const std::string name = Narrow(a->FriendlyName);
    EXPECT_EQ(index.AdapterGuidByFriendlyName(name), a->AdapterName) << name;
    EXPECT_EQ(InterfaceIndexForConnection(index, name), std::int32_t(a->IfIndex)) << name;
    EXPECT_TRUE(counters.ReadCounters(a->IfIndex)) << name;
  }
  for (const char* name : {"没有这个连接", "Tom's \\ WiFi' OR NetConnectionID<>'", ""}) {
    EXPECT_EQ(index.AdapterGuidFromWmi(name), "") << name;
    EXPECT_EQ(CounterSource(index, counters).Read(name), std::nullopt) << name;
  }
  EXPECT_EQ(index.AdapterIndex("{00000000-0000-0000-0000-000000000000}"), 0u);
  EXPECT_FALSE(counters.ReadCounters(987654));
}

struct Moves : BarEvents {
  Point last{-1, -1};
  void OnBarMoved(Point p) override { last = p; }
  void OnBarMouseDown() override {}
  void OnBarLinkClicked(std::string_view) override {}
};

TEST(TrafficPorts, BarOutlineTooltipAndMoves) {
  // 155 x 22, magenta in the top and bottom rows' ends and in row 10.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 155, -22, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(picture);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 155; ++x)
      static_cast<DWORD*>(bits)[y * 155 + x] =
          (y == 10 || ((y == 0 || y == 21) && (x < 3 || x > 151))) ? 0xFF00FF : 0x203040;
  HRGN region = OutlineRegion(picture);
  ASSERT_TRUE(region);
  for (auto [x, y, inside] : {std::tuple{0, 0, false}, {2, 21, false}, {154, 0, false},
                              {3, 0, true}, {77, 10, false}, {77, 11, true}, {155, 5, false}})
    EXPECT_EQ(bool(PtInRegion(region, x, y)), inside) << x << "," << y;
  DeleteObject(region);
  DeleteObject(picture);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"LumoraTestBar";
  RegisterClassW(&wc);
  HWND bar = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 50, 50, 155, 23,
                             nullptr, nullptr, nullptr, nullptr);
  HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 1, -6, 159, 30, bar, nullptr,
                               nullptr, nullptr);
  ASSERT_TRUE(bar && label) << "needs a display";
  HWND tip = AttachHoverTooltip(bar, label, "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏");
  ASSERT_TRUE(tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  Moves moves;
  SetWindowPos(bar, nullptr, 1734, 962, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ReportBarMoved(bar, moves);
  EXPECT_EQ(moves.last, (Point{1734, 962}));
  DestroyWindow(bar);
}

}  // namespace
}  // namespace lumora
