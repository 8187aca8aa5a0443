#include "win32/window/traffic_bar_window.h"

#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/images.h"
#include "win32/utf16.h"

namespace lumora {

void TrafficBarWindow::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = kBarWindowClass;
  RegisterClassExW(&wc);
}

void TrafficBarWindow::Create(HINSTANCE instance, const HFONT* fonts,
                              const std::function<void(Ctl, HWND)>& adopt) {
  if (hwnd_) return;
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kBarWindowClass, L"TrafficBar",
                          WS_POPUP | WS_CLIPCHILDREN, kBarDesignLeft, kBarDesignTop, kBarWidth,
                          kBarHeight, nullptr, nullptr, instance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  for (const ControlDef& d : ControlDefs()) {
    if (d.page != Page::kTrafficBar) continue;
    HWND label = CreateWindowExW(0, L"STATIC", Widen(d.text).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, d.rect.left,
                                 d.rect.top, d.rect.width, d.rect.height, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))),
                                 instance, nullptr);
    SendMessageW(label, WM_SETFONT, WPARAM(fonts[int(d.font)]), FALSE);
    adopt(d.id, label);
  }
  if (timer_ms_ > 0) SetTimer(hwnd_, timer_id_, UINT(timer_ms_), nullptr);
}

void TrafficBarWindow::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

bool TrafficBarWindow::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TrafficBarWindow::SetTimerInterval(UINT_PTR id, int ms) {
  timer_id_ = id;
  timer_ms_ = ms;
  if (!hwnd_) return;
  if (ms > 0) SetTimer(hwnd_, id, UINT(ms), nullptr);
  else KillTimer(hwnd_, id);
}

LRESULT CALLBACK TrafficBarWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TrafficBarWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      HBITMAP background = BitmapOf(Image::kBarBackground);
      HDC dc = reinterpret_cast<HDC>(wp);
      if (background) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, background);
        BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
      } else {
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
      }
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_TIMER:
      if (self && wp == self->timer_id_ && self->on_tick) self->on_tick();
      return 0;
    case WM_NCDESTROY:
      if (self) self->hwnd_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace lumora
