// The HTML views: layout with LayoutHtml in GDI fonts, painting, scrolling,
// links under the mouse, and the document's text for WM_GETTEXT.
#include "win32/window/html_view.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "updates/html_layout.h"
#include "win32/app_messages.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

// Design units, scaled to the view's screen.
constexpr int kMarginDesign = 6;      // blank edge around the text, as a browser leaves
constexpr int kLineStepDesign = 16;   // per scroll bar arrow click
constexpr int kWheelStepDesign = 48;  // per wheel notch
constexpr COLORREF kLinkColour = RGB(0, 0, 238);
// Points of the HTML font sizes 1 to 7.
constexpr int kPoints[] = {8, 10, 12, 14, 18, 24, 36};

struct FontInfo {
  HFONT font = nullptr;
  int height = 0, descent = 0;
};

// One view's document, its layout and its fonts. Lives with the view's
// window and is used on the window thread only.
class ViewState {
 public:
  ~ViewState() {
    for (auto& [key, info] : fonts_) DeleteObject(info.font);
  }

  HtmlDocument document;
  std::wstring text;  // the plain text, CR LF line ends
  HtmlLayout layout;
  int scroll = 0;  // document pixels above the view
  int dpi = 96;    // of the view's screen
  bool laying_out = false;
  bool stale = false;    // changed while out of sight: laid out when it comes into sight
  bool pressed = false;  // the left button went down in this view

  int Px(int design) const { return ScaleToDpi(design, dpi); }
  // A new screen: fonts and layout anew.
  void SetDpi(int new_dpi) {
    if (new_dpi == dpi) return;
    dpi = new_dpi;
    for (auto& [key, info] : fonts_) DeleteObject(info.font);
    fonts_.clear();
  }

  const FontInfo& Font(HDC dc, const HtmlStyle& style, bool link) {
    const bool underline = style.underline || link;
    const int size = std::clamp(style.size, kHtmlMinSize, kHtmlMaxSize);
    const int key = size * 8 + (style.bold ? 1 : 0) + (style.italic ? 2 : 0) + (underline ? 4 : 0);
    FontInfo& info = fonts_[key];
    if (info.font) return info;
    const int height = -MulDiv(kPoints[size - 1], dpi, 72);
    info.font = CreateFontW(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, style.italic,
                            underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"宋体");
    const HGDIOBJ old = SelectObject(dc, info.font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    info.height = tm.tmHeight + tm.tmExternalLeading;
    info.descent = tm.tmDescent;
    return info;
  }

 private:
  std::map<int, FontInfo> fonts_;
};

class GdiMeasure : public HtmlMeasure {
 public:
  GdiMeasure(HDC dc, ViewState& state) : dc_(dc), state_(state) {}
  int TextWidth(const HtmlStyle& style, std::string_view utf8) override {
    SelectObject(dc_, state_.Font(dc_, style, false).font);
    const std::wstring wide = Widen(utf8);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), int(wide.size()), &size);
    return size.cx;
  }
  int LineHeight(const HtmlStyle& style) override { return state_.Font(dc_, style, false).height; }

 private:
  HDC dc_;
  ViewState& state_;
};

ViewState* StateOf(HWND hwnd) {
  return reinterpret_cast<ViewState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The view's screen's DPI: its window's, which also follows a move to a
// monitor of another DPI.
int ViewDpi(HWND hwnd) { return Win32Window::DpiOfWindowHolding(hwnd); }

std::wstring CrLf(const std::string& utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return Widen(text);
}

int ClientHeight(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return r.bottom;
}

int MaxScroll(HWND hwnd, const ViewState& s) {
  return std::max(0, s.layout.height + 2 * s.Px(kMarginDesign) - ClientHeight(hwnd));
}

void ScrollTo(HWND hwnd, ViewState& s, int position) {
  position = std::clamp(position, 0, MaxScroll(hwnd, s));
  if (position == s.scroll) return;
  s.scroll = position;
  SetScrollPos(hwnd, SB_VERT, position, TRUE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

// Lays the document out for the view's width. A scroll bar appears when the
// text is taller than the view, which narrows it: then once more.
void LayOut(HWND hwnd, ViewState& s) {
  if (s.laying_out) return;  // the scroll bar's own resize
  s.laying_out = true;
  s.stale = false;
  s.SetDpi(ViewDpi(hwnd));
  const int margin = s.Px(kMarginDesign);
  int width = -1;
  for (int pass = 0; pass < 3; ++pass) {
    RECT r;
    GetClientRect(hwnd, &r);
    if (r.right == width) break;
    width = r.right;
    HDC dc = GetDC(hwnd);
    GdiMeasure measure(dc, s);
    s.layout = LayoutHtml(s.document, std::max(1, width - 2 * margin), measure);
    ReleaseDC(hwnd, dc);
    s.scroll = std::clamp(s.scroll, 0, std::max(0, s.layout.height + 2 * margin - int(r.bottom)));
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0,
                  std::max(0, s.layout.height + 2 * margin - 1), UINT(std::max<LONG>(r.bottom, 0)),
                  s.scroll, 0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  s.laying_out = false;
  InvalidateRect(hwnd, nullptr, FALSE);
}

// A view out of sight is laid out only when it comes into sight: measuring a
// long help text fills the fonts' glyph caches (under Wine some 600 KB that
// stay), which a user who never opens the page does not need.
void Relayout(HWND hwnd, ViewState& s) {
  if (s.laying_out) return;  // the scroll bar's own resize
  if (IsWindowVisible(hwnd)) LayOut(hwnd, s);
  else s.stale = true;
}

void LayOutIfStale(HWND hwnd, ViewState& s) {
  if (s.stale) LayOut(hwnd, s);
}

// White and black, or the system's window colours in high contrast.
COLORREF PageColour() { return HighContrastOn() ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255); }
COLORREF TextColour(const HtmlRun& run) {
  const Colour c = run.style.colour;
  if (HighContrastOn()) return GetSysColor(run.link >= 0 ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT);
  return run.link >= 0 ? kLinkColour : run.style.has_colour ? RGB(c.r, c.g, c.b) : RGB(0, 0, 0);
}

void Paint(HWND hwnd, ViewState& s) {
  const int margin = s.Px(kMarginDesign);
  PAINTSTRUCT ps;
  HDC target = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  // Drawn aside and copied at once: no flicker while scrolling.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1));
  const HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  HBRUSH page = CreateSolidBrush(PageColour());
  FillRect(dc, &r, page);
  DeleteObject(page);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  const HGDIOBJ old_font = GetCurrentObject(dc, OBJ_FONT);
  const int dy = margin - s.scroll;
  for (const HtmlLine& line : s.layout.lines) {
    if (line.top + line.height + dy < 0 || line.top + dy > r.bottom) continue;
    // One baseline for the line: its largest font's descent above the bottom.
    int descent = 0;
    for (const HtmlFragment& f : line.fragments) {
      const HtmlRun& run = s.document.runs[std::size_t(f.run)];
      descent = std::max(descent, s.Font(dc, run.style, run.link >= 0).descent);
    }
    const int baseline = line.top + line.height - descent + dy;
    for (const HtmlFragment& f : line.fragments) {
      const HtmlRun& run = s.document.runs[std::size_t(f.run)];
      SelectObject(dc, s.Font(dc, run.style, run.link >= 0).font);
      SetTextColor(dc, TextColour(run));
      const std::wstring text = Widen(f.text);
      TextOutW(dc, f.x + margin, baseline, text.c_str(), int(text.size()));
    }
  }
  SelectObject(dc, old_font);
  BitBlt(target, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(hwnd, &ps);
}

int LinkAtPoint(const ViewState& s, int x, int y) {
  const int margin = s.Px(kMarginDesign);
  return s.layout.LinkAt(s.document, x - margin, y - margin + s.scroll);
}

void OnVScroll(HWND hwnd, ViewState& s, int code) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd, SB_VERT, &si);
  const int page = ClientHeight(hwnd);
  int to = s.scroll;
  switch (code) {
    case SB_LINEUP: to -= s.Px(kLineStepDesign); break;
    case SB_LINEDOWN: to += s.Px(kLineStepDesign); break;
    case SB_PAGEUP: to -= page; break;
    case SB_PAGEDOWN: to += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: to = si.nTrackPos; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = MaxScroll(hwnd, s); break;
    default: return;
  }
  ScrollTo(hwnd, s, to);
}

// A click on a link goes to the window's event sink like any control's click.
void DispatchLink(HWND hwnd, int link) {
  auto* window = reinterpret_cast<Win32Window*>(
      GetWindowLongPtrW(GetAncestor(hwnd, GA_ROOT), GWLP_USERDATA));
  const int index = GetDlgCtrlID(hwnd) - kControlIdBase;
  if (!window || !window->on_event || index < 0 || index >= kControlCount) return;
  window->on_event(static_cast<Ctl>(index), ControlEvent::kClick, link);
}

// The keys of a page in a browser, once the view has the focus.
int ScrollCodeOfKey(WPARAM key) {
  switch (key) {
    case VK_UP: return SB_LINEUP;
    case VK_DOWN: return SB_LINEDOWN;
    case VK_PRIOR: return SB_PAGEUP;
    case VK_NEXT: return SB_PAGEDOWN;
    case VK_HOME: return SB_TOP;
    case VK_END: return SB_BOTTOM;
  }
  return -1;
}

// The keyboard, the wheel and the mouse on the view.
bool HandleViewInput(HWND hwnd, ViewState& s, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_VSCROLL:
      OnVScroll(hwnd, s, LOWORD(wp));
      return true;
    case WM_GETDLGCODE:
      result = DLGC_WANTARROWS;
      return true;
    case WM_KEYDOWN: {
      const int code = ScrollCodeOfKey(wp);
      if (code >= 0) OnVScroll(hwnd, s, code);
      return code >= 0;
    }
    case WM_MOUSEWHEEL:
      ScrollTo(hwnd, s, s.scroll - GET_WHEEL_DELTA_WPARAM(wp) * s.Px(kWheelStepDesign) / WHEEL_DELTA);
      return true;
    case WM_SETCURSOR: {
      POINT at;
      GetCursorPos(&at);
      ScreenToClient(hwnd, &at);
      if (LOWORD(lp) != HTCLIENT || LinkAtPoint(s, at.x, at.y) < 0) return false;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    }
    case WM_LBUTTONDOWN:
      s.pressed = true;
      SetFocus(hwnd);  // so the wheel reaches the view
      return true;
    case WM_LBUTTONUP: {
      if (!std::exchange(s.pressed, false)) return true;
      const int link = LinkAtPoint(s, short(LOWORD(lp)), short(HIWORD(lp)));
      if (link >= 0) DispatchLink(hwnd, link);
      return true;
    }
  }
  return false;
}

// The document's plain text answers WM_GETTEXT: screen readers read it.
LRESULT CopyText(const ViewState& s, WPARAM size, LPARAM buffer) {
  if (size == 0) return 0;
  const std::size_t n = std::min(s.text.size(), std::size_t(size) - 1);
  auto* out = reinterpret_cast<wchar_t*>(buffer);
  std::copy_n(s.text.data(), n, out);
  out[n] = L'\0';
  return LRESULT(n);
}

LRESULT CALLBACK HtmlViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ViewState));
  ViewState* s = StateOf(hwnd);
  if (!s) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete s;
      return DefWindowProcW(hwnd, msg, wp, lp);
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case kMsgLayOutView:  // its page is about to show
      LayOutIfStale(hwnd, *s);
      return 0;
    case WM_SHOWWINDOW:
      if (wp) LayOutIfStale(hwnd, *s);
      break;
    case WM_PAINT:
      LayOutIfStale(hwnd, *s);
      Paint(hwnd, *s);
      return 0;
    case WM_SIZE:
    case WM_DPICHANGED_AFTERPARENT:
      Relayout(hwnd, *s);
      return 0;
    case WM_GETTEXTLENGTH:
      return LRESULT(s->text.size());
    case WM_GETTEXT:
      return CopyText(*s, wp, lp);
  }
  if (HandleViewInput(hwnd, *s, msg, wp, lp, result)) return result;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterHtmlViewClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, kHtmlViewClass, &wc)) return;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HtmlViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kHtmlViewClass;
  RegisterClassExW(&wc);
}

void Win32HtmlView::ShowHtml(Ctl view, const HtmlDocument& document) {
  // The document goes with the call: the caller does not wait for it.
  window_.RunOnUi([this, view, document] {
    HWND hwnd = window_.Handle(view);
    wchar_t cls[64] = {};
    if (!hwnd || !GetClassNameW(hwnd, cls, 64) || std::wstring(cls) != kHtmlViewClass) return;
    ViewState* s = StateOf(hwnd);
    if (!s) return;
    s->document = document;
    s->text = CrLf(document.PlainText());
    s->scroll = 0;
    Relayout(hwnd, *s);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_WINDOW, CHILDID_SELF);
  });
}

}  // namespace lumora
