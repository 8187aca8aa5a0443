#include "win32/window/traffic_bar_window.h"

#include <windowsx.h>

#include <algorithm>

#include "traffic/bar_rules.h"
#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/bar_win.h"
#include "win32/images.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"

namespace lumora {
namespace {

constexpr wchar_t kCoverClass[] = L"LumoraWiFiTrafficBarCover";
constexpr wchar_t kPopupClass[] = L"LumoraWiFiTrafficBarPopup";
constexpr wchar_t kPopupFace[] = L"宋体";
constexpr int kLineGap = 4;  // between two link lines
constexpr COLORREF kLinkColour = RGB(0, 0, 238), kHoverColour = RGB(204, 0, 0);

TrafficBarWindow* Self(HWND hwnd) {
  return reinterpret_cast<TrafficBarWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style, HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace

void TrafficBarWindow::RegisterClass(HINSTANCE instance) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  Register(instance, kBarWindowClass, Proc, CS_DBLCLKS, arrow);
  Register(instance, kCoverClass, CoverProc, CS_DBLCLKS, arrow);
  Register(instance, kPopupClass, PopupProc, CS_DROPSHADOW, LoadCursorW(nullptr, IDC_HAND));
}

void TrafficBarWindow::Bind(HINSTANCE instance, std::function<void(Ctl, HWND)> adopt) {
  instance_ = instance;
  adopt_ = std::move(adopt);
}

int TrafficBarWindow::Px(int design) const { return ScaleToDpi(design, dpi_); }

void TrafficBarWindow::SetHighContrast(bool on) {
  high_contrast_ = on;
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The bar's size, its labels and their font, and its outline, from the
// design at `dpi`; its place stays.
void TrafficBarWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, 0, 0, Px(kBarWidth), Px(kBarHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HFONT old = rate_font_;
  rate_font_ = FontForDpi(Font::kNSimSun, dpi);
  for (HWND child : {cover_, download_, upload_}) {
    if (!child) continue;
    const Ctl c = static_cast<Ctl>(GetDlgCtrlID(child) - kControlIdBase);
    const Rect r = ScaleToDpi(DefOf(c).rect, dpi);
    MoveWindow(child, r.left, r.top, r.width, r.height, TRUE);
    SendMessageW(child, WM_SETFONT, WPARAM(rate_font_), TRUE);
  }
  if (old) DeleteObject(old);
  // The outline: every pixel of the picture but the magenta ones.
  HRGN outline = OutlineRegion(BitmapOf(Image::kBarOutline, dpi));
  SetWindowRgn(hwnd_, outline, TRUE);
}

void TrafficBarWindow::Create() {
  if (hwnd_) return;
  // No WS_CLIPCHILDREN: the cover is transparent, the bar paints under it.
  dpi_ = SystemDpi();
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kBarWindowClass, L"TrafficBar",
                          WS_POPUP, kBarDesignLeft, kBarDesignTop, Px(kBarWidth), Px(kBarHeight),
                          nullptr, nullptr, instance_, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  for (const ControlDef& d : ControlDefs()) {
    if (d.page != Page::kTrafficBar) continue;
    const bool cover = d.id == Ctl::流量条_透明标签1;
    // The rate labels let the mouse through to the cover (a static control
    // without SS_NOTIFY is transparent to it).
    HWND child = CreateWindowExW(
        0, cover ? kCoverClass : L"STATIC", Widen(d.text).c_str(),
        WS_CHILD | WS_VISIBLE | (cover ? 0 : SS_LEFT | SS_NOPREFIX), d.rect.left, d.rect.top,
        d.rect.width, d.rect.height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))), instance_, nullptr);
    if (!child) continue;
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (cover) cover_ = child;
    if (d.id == Ctl::流量条_下载透明标签) download_ = child;
    if (d.id == Ctl::流量条_上传透明标签) upload_ = child;
    if (adopt_) adopt_(d.id, child);
  }
  ApplyDpi(DpiOf(hwnd_));
  if (timer_ms_ > 0) SetTimer(hwnd_, timer_id_, UINT(timer_ms_), nullptr);
}

bool TrafficBarWindow::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TrafficBarWindow::SetVisible(bool visible) {
  if (!hwnd_) return;
  if (!visible) HidePopup();
  // Shown without taking the focus, and on top of everything again.
  if (visible)
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  else
    ShowWindow(hwnd_, SW_HIDE);
}

Point TrafficBarWindow::Position() const {
  RECT r{};
  if (hwnd_) GetWindowRect(hwnd_, &r);
  return Point{r.left, r.top};
}

void TrafficBarWindow::SetPosition(Point top_left) {
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, top_left.x, top_left.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size TrafficBarWindow::ScreenSize() const { return PrimaryScreenSize(); }

void TrafficBarWindow::SetRateTexts(std::string_view download, std::string_view upload) {
  if (!hwnd_) return;
  SetWindowTextW(download_, Widen(download).c_str());
  SetWindowTextW(upload_, Widen(upload).c_str());
  // The labels draw on the picture without a background of their own: the
  // old figures go only when the picture is painted again under them.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TrafficBarWindow::SetTooltip(std::string_view text) {
  if (!hwnd_ || !cover_) return;
  if (tooltip_) DestroyWindow(tooltip_);
  tooltip_ = AttachHoverTooltip(hwnd_, cover_, text);
}

void TrafficBarWindow::BeginDrag() {
  if (hwnd_) BeginCaptionDrag(hwnd_);
}

// --- the bar's messages

bool TrafficBarWindow::HandleMouse(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (events) events->OnBarMouseDown();
      return true;
    case WM_LBUTTONDBLCLK:
      if (on_event) on_event(Ctl::流量条_透明标签1, ControlEvent::kDoubleClick, 0);
      return true;
    case WM_RBUTTONDOWN:
      if (on_event) on_event(Ctl::流量条_透明标签1, ControlEvent::kRightClick, 0);
      return true;
  }
  return false;
}

void TrafficBarWindow::PaintBackground(HDC dc) {
  RECT r;
  GetClientRect(hwnd_, &r);
  HBITMAP background = BitmapOf(Image::kBarBackground, dpi_);
  if (high_contrast_ || !background) {
    FillRect(dc, &r, GetSysColorBrush(high_contrast_ ? COLOR_WINDOW : COLOR_3DDKSHADOW));
    if (high_contrast_) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, background);
  BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

LRESULT CALLBACK TrafficBarWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TrafficBarWindow* self = Self(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      self->PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      SetTextColor(reinterpret_cast<HDC>(wp),
                   self->high_contrast_ ? GetSysColor(COLOR_WINDOWTEXT) : RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_DPICHANGED: {
      const RECT& r = *reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      self->ApplyDpi(HIWORD(wp));
      return 0;
    }
    case WM_TIMER:
      if (wp == self->timer_id_ && self->on_tick) self->on_tick();
      return 0;
    case WM_MOVE:
      if (self->events) ReportBarMoved(hwnd, *self->events);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
      self->HandleMouse(msg);
      return 0;
    case WM_NCDESTROY:
      if (self->popup_) DestroyWindow(self->popup_);
      if (self->popup_font_) DeleteObject(self->popup_font_);
      if (self->rate_font_) DeleteObject(self->rate_font_);
      self->popup_font_ = self->rate_font_ = nullptr;
      self->hwnd_ = self->cover_ = self->tooltip_ = self->popup_ = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// 透明标签1: draws nothing, takes the mouse and carries the tooltip.
LRESULT CALLBACK TrafficBarWindow::CoverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TrafficBarWindow* self = Self(hwnd);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
      if (self && self->HandleMouse(msg)) return 0;
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void TrafficBarWindow::SetTimerInterval(UINT_PTR id, int ms) {
  timer_id_ = id;
  timer_ms_ = ms;
  if (!hwnd_) return;
  if (ms > 0) SetTimer(hwnd_, id, UINT(ms), nullptr);
  else KillTimer(hwnd_, id);
}

// --- the popup

void TrafficBarWindow::ShowPopup(const BarPopup& popup, std::string_view markup) {
  if (!hwnd_) return;
  links_ = ParsePopupLinks(markup);
  hover_ = -1;
  if (links_.empty()) return;
  if (!popup_) {
    popup_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, L"",
                             WS_POPUP | WS_BORDER, 0, 0, 1, 1, hwnd_, nullptr, instance_, nullptr);
    if (!popup_) return;
    SetWindowLongPtrW(popup_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  const int points = links_.front().points;
  // Keyed by the size at the bar's DPI, so a bar moved to another screen gets it anew.
  if (!popup_font_ || points * 1000 + dpi_ != popup_points_) {
    if (popup_font_) DeleteObject(popup_font_);
    popup_font_ = CreateFontW(-MulDiv(points, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                              GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, kPopupFace);
    popup_points_ = points * 1000 + dpi_;
  }

  // The four layout values: the margins left, top, right and bottom, in
  // design units like the anchor's offset from the bar's corner.
  const int left = Px(popup.layout[0]), top = Px(popup.layout[1]);
  const int right = Px(popup.layout[2]), bottom = Px(popup.layout[3]);
  BarPopup placed = popup;
  const Point corner = Position();
  placed.anchor = {corner.x + Px(popup.anchor.x - corner.x), corner.y + Px(popup.anchor.y - corner.y)};
  HDC dc = GetDC(popup_);
  HGDIOBJ old = SelectObject(dc, popup_font_);
  link_rects_.clear();
  int y = top, width = 0;
  const int gap = Px(kLineGap);
  for (const PopupLink& link : links_) {
    const std::wstring text = Widen(link.text);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    link_rects_.push_back(RECT{left, y, left + extent.cx, y + extent.cy});
    width = std::max(width, int(extent.cx));
    y += extent.cy + gap;
  }
  SelectObject(dc, old);
  ReleaseDC(popup_, dc);
  const int border = 2 * GetSystemMetrics(SM_CXBORDER);
  const Size content{left + width + right + border, y - gap + bottom + border};
  // Every line as wide as the widest, so a click anywhere on a line counts.
  for (RECT& r : link_rects_) r.right = left + width;

  const Rect at = PopupRect(placed, content);
  SetWindowPos(popup_, HWND_TOPMOST, at.left, at.top, at.width, at.height, SWP_SHOWWINDOW);
  InvalidateRect(popup_, nullptr, TRUE);
  // In front, with the focus: Esc and a click elsewhere close it.
  SetForegroundWindow(popup_);
  SetFocus(popup_);
}

void TrafficBarWindow::HidePopup() {
  if (popup_ && IsWindowVisible(popup_)) ShowWindow(popup_, SW_HIDE);
  hover_ = -1;
}

int TrafficBarWindow::LinkAt(int y) const {
  for (std::size_t i = 0; i < link_rects_.size(); ++i)
    if (y >= link_rects_[i].top && y < link_rects_[i].bottom + Px(kLineGap)) return int(i);
  return -1;
}

void TrafficBarWindow::ClickLink(int index) {
  if (index < 0 || index >= int(links_.size())) return;
  const std::string msg = links_[index].msg;  // the handler may show the popup anew
  if (events) events->OnBarLinkClicked(msg);
}

// The popup from the keyboard: arrows pick a line, Enter follows it, Esc closes.
void TrafficBarWindow::HandlePopupKey(UINT key) {
  const int n = int(links_.size());
  if (key == VK_ESCAPE) {
    HidePopup();
  } else if (key == VK_RETURN) {
    ClickLink(hover_);
  } else if ((key == VK_DOWN || key == VK_UP) && n > 0) {
    hover_ = hover_ < 0 ? (key == VK_DOWN ? 0 : n - 1) : (hover_ + (key == VK_DOWN ? 1 : n - 1)) % n;
    InvalidateRect(popup_, nullptr, FALSE);
  }
}

void TrafficBarWindow::PaintPopup(HDC dc) {
  RECT r;
  GetClientRect(popup_, &r);
  FillRect(dc, &r, high_contrast_ ? GetSysColorBrush(COLOR_WINDOW)
                                  : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, popup_font_);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < links_.size() && i < link_rects_.size(); ++i) {
    const bool hover = int(i) == hover_;
    if (high_contrast_) {
      RECT line = link_rects_[i];
      if (hover) FillRect(dc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(hover ? COLOR_HIGHLIGHTTEXT : COLOR_HOTLIGHT));
    } else {
      SetTextColor(dc, hover ? kHoverColour : kLinkColour);
    }
    RECT line = link_rects_[i];
    const std::wstring text = Widen(links_[i].text);
    DrawTextW(dc, text.c_str(), int(text.size()), &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, old);
}

LRESULT TrafficBarWindow::HandlePopup(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(popup_, &ps);
      PaintPopup(dc);
      EndPaint(popup_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      const int over = LinkAt(GET_Y_LPARAM(lp));
      if (over != hover_) {
        hover_ = over;
        InvalidateRect(popup_, nullptr, FALSE);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      ClickLink(LinkAt(GET_Y_LPARAM(lp)));
      return 0;
    case WM_KEYDOWN:
      HandlePopupKey(UINT(wp));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) HidePopup();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
  }
  return DefWindowProcW(popup_, msg, wp, lp);
}

LRESULT CALLBACK TrafficBarWindow::PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TrafficBarWindow* self = Self(hwnd);
  if (!self || self->popup_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->HandlePopup(msg, wp, lp);
}

}  // namespace lumora
