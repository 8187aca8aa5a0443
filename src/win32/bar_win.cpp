#include "win32/bar_win.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "win32/utf16.h"

namespace lumora {
namespace {

// Wide enough for the longer line of the tip; the tip breaks at "\r\n".
constexpr int kTipWidth = 300;

}  // namespace

HRGN OutlineRegion(HBITMAP outline, COLORREF cut) {
  BITMAP bm{};
  if (!outline || !GetObjectW(outline, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0)
    return nullptr;
  const int width = bm.bmWidth, height = std::abs(bm.bmHeight);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(size_t(width) * size_t(height));
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, outline, 0, UINT(height), pixels.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height) return nullptr;

  // One rectangle per run of kept pixels in a row.
  const DWORD key = (DWORD(GetRValue(cut)) << 16) | (DWORD(GetGValue(cut)) << 8) | GetBValue(cut);
  std::vector<RECT> runs;
  for (int y = 0; y < height; ++y) {
    const DWORD* row = pixels.data() + size_t(y) * size_t(width);
    for (int x = 0; x < width;) {
      while (x < width && (row[x] & 0xFFFFFF) == key) ++x;
      const int start = x;
      while (x < width && (row[x] & 0xFFFFFF) != key) ++x;
      if (x > start) runs.push_back(RECT{start, y, x, y + 1});
    }
  }
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = DWORD(runs.size());
  header->nRgnSize = DWORD(runs.size() * sizeof(RECT));
  header->rcBound = RECT{0, 0, width, height};
  if (!runs.empty())
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

HWND AttachHoverTooltip(HWND owner, HWND tool, std::string_view text) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};  // the tooltip class
  InitCommonControlsEx(&classes);
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tip) return nullptr;
  std::wstring wide = Widen(text);
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = wide.data();
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
  return tip;
}

void BeginCaptionDrag(HWND window) {
  ReleaseCapture();
  SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void ReportBarMoved(HWND bar, BarEvents& events) {
  RECT r;
  if (GetWindowRect(bar, &r)) events.OnBarMoved(Point{r.left, r.top});
}

Size PrimaryScreenSize() {
  return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace lumora
