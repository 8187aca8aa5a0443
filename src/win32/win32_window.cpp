#include "win32/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/images.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

constexpr wchar_t kContainerClass[] = L"LumoraWiFiContainer";
constexpr UINT_PTR kBalloonTimer = 1;  // hides the balloon tip

Win32Window* Self(HWND hwnd) {
  return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(GetAncestor(hwnd, GA_ROOT), GWLP_USERDATA));
}

Ctl CtlOfId(int id) {
  const int index = id - kControlIdBase;
  return (index >= 0 && index < kControlCount) ? static_cast<Ctl>(index) : Ctl::kCount;
}

// Window class and styles of one kind of control.
struct KindStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD ex_style;
};

KindStyle StyleOf(const ControlDef& d) {
  const DWORD base = WS_CHILD | WS_CLIPSIBLINGS;
  switch (d.kind) {
    case ControlKind::kLabel:
      return {L"STATIC", base | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case ControlKind::kTransparentLabel:
      // Drawn after the siblings below it and without a background of its own.
      return {L"STATIC", base | SS_LEFTNOWORDWRAP | SS_NOPREFIX, WS_EX_TRANSPARENT};
    case ControlKind::kHyperlink:
      return {L"STATIC", base | SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
    case ControlKind::kEdit:
      return {L"EDIT", base | WS_TABSTOP | ES_AUTOHSCROLL | (d.flags & flag::kPassword ? ES_PASSWORD : 0),
              WS_EX_CLIENTEDGE};
    case ControlKind::kButton:
      return {L"BUTTON", base | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::kCheckBox:
      return {L"BUTTON", base | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kRadio:
      return {L"BUTTON", base | WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::kCombo:
      return {L"COMBOBOX", base | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::kListView:
      return {WC_LISTVIEWW, base | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE};
    case ControlKind::kGroupBox:
      return {kContainerClass, base | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::kPicture:
      return {L"STATIC", base | SS_BITMAP | SS_CENTERIMAGE, 0};
    case ControlKind::kIconBoard:
      return {L"STATIC", base | SS_ICON | SS_NOTIFY | SS_CENTERIMAGE, 0};
    case ControlKind::kSlider:
      return {TRACKBAR_CLASSW, base | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 0};
    case ControlKind::kBrowser:
      // The web views are filled by the update and notice code; until then
      // a plain white area stands in their place.
      return {L"STATIC", base | SS_WHITERECT, 0};
    case ControlKind::kHtmlView:
      return {L"EDIT", base | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
              WS_EX_CLIENTEDGE};
    case ControlKind::kTab:
      return {WC_TABCONTROLW, base | WS_CLIPCHILDREN, 0};
  }
  return {L"STATIC", base, 0};
}

HFONT MakeFont(const wchar_t* face, int height, bool bold, bool underline = false) {
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH, face);
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
  ui_thread_ = GetCurrentThreadId();
  for (const ControlDef& d : ControlDefs()) {
    const int i = static_cast<int>(d.id);
    own_visible_[i] = !(d.flags & flag::kHidden);
    masked_[i] = (d.flags & flag::kPassword) != 0;
    pictures_[i] = d.image;
  }
  for (const MenuItemDef& m : MenuItemDefs()) menu_enabled_[static_cast<int>(m.id)] = !m.disabled;
  face_brush_ = GetSysColorBrush(COLOR_BTNFACE);
  fonts_[int(Font::kDefault)] = MakeFont(L"Verdana", -12, false);
  fonts_[int(Font::kYaHeiBold)] = MakeFont(L"微软雅黑", -15, true);
  fonts_[int(Font::kSongBold)] = MakeFont(L"宋体", -12, true);
  fonts_[int(Font::kNSimSun)] = MakeFont(L"新宋体", -12, false);
  link_font_ = MakeFont(L"Verdana", -12, false, true);
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Win32Window::~Win32Window() {
  if (tray_shown_) RemoveTrayIcon();
  for (HMENU m : popups_)
    if (m) DestroyMenu(m);
  for (HFONT f : fonts_) DeleteObject(f);
  DeleteObject(link_font_);
}

bool Win32Window::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

  wc.lpfnWndProc = MainProc;
  wc.hIcon = IconOf(Image::kAppIcon, 48);
  wc.hIconSm = IconOf(Image::kAppIcon, 16);
  wc.lpszClassName = kMainWindowClass;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = ContainerProc;
  wc.hIcon = wc.hIconSm = nullptr;
  wc.lpszClassName = kContainerClass;
  RegisterClassExW(&wc);

  wc.lpfnWndProc = BarProc;
  wc.lpszClassName = kBarWindowClass;
  RegisterClassExW(&wc);

  // 430 x 316 outside, fixed border; the design caption is empty.
  main_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClass, L"",
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight, nullptr, nullptr,
                          instance_, nullptr);
  if (!main_) return false;
  SetWindowLongPtrW(main_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Centred on the screen, as the window first appears.
  RECT r;
  GetWindowRect(main_, &r);
  SetWindowPos(main_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - kMainWidth) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - kMainHeight) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  BuildControls();
  BuildMenus();
  return true;
}

void Win32Window::BuildControls() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main_,
                             nullptr, instance_, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);

  for (const ControlDef& d : ControlDefs()) {
    if (d.page == Page::kTrafficBar) continue;  // built with the bar
    const KindStyle ks = StyleOf(d);
    HWND parent = main_;
    Rect r = d.rect;
    if (d.kind != ControlKind::kTab) {
      parent = d.parent != kNoParent ? H(d.parent) : pages_[static_cast<int>(d.page)];
      const POINT o = Origin(d.id);
      r.left -= o.x;
      r.top -= o.y;
    }
    const bool visible = own_visible_[static_cast<int>(d.id)];
    HWND hwnd = CreateWindowExW(ks.ex_style, ks.cls, Widen(d.text).c_str(),
                                ks.style | (visible ? WS_VISIBLE : 0), r.left, r.top, r.width,
                                d.kind == ControlKind::kCombo ? 240 : r.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))),
                                instance_, nullptr);
    controls_[static_cast<int>(d.id)] = hwnd;
    // Later controls lie over earlier ones, as they were laid out.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool link = d.kind == ControlKind::kHyperlink;
    SendMessageW(hwnd, WM_SETFONT, WPARAM(link ? link_font_ : fonts_[int(d.font)]), FALSE);
    if (d.flags & flag::kDisabled) EnableWindow(hwnd, FALSE);
    if (d.flags & flag::kChecked) SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);

    switch (d.kind) {
      case ControlKind::kTab: {
        tab_ = hwnd;
        for (int page = 0; page < 5; ++page) {
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          std::wstring title = Widen(PageTitle(static_cast<Page>(page)));
          item.pszText = title.data();
          TabCtrl_InsertItem(tab_, page, &item);
        }
        // Page controls are placed from the tab control's corner; the page
        // windows cover the area below the tabs.
        RECT area{0, 0, r.width, r.height};
        TabCtrl_AdjustRect(tab_, FALSE, &area);
        page_origin_ = {area.left, area.top};
        for (int page = 0; page < 5; ++page) {
          pages_[page] = CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"",
                                         WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                             (page == 0 ? WS_VISIBLE : 0),
                                         r.left + area.left, r.top + area.top,
                                         area.right - area.left, area.bottom - area.top, main_,
                                         nullptr, instance_, nullptr);
          SetWindowPos(pages_[page], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        break;
      }
      case ControlKind::kListView: {
        ListView_SetExtendedListViewStyle(hwnd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        int column = 0;
        for (const ColumnDef& c : ColumnDefs()) {
          if (c.list != d.id) continue;
          std::wstring title = Widen(c.title);
          LVCOLUMNW col{};
          col.mask = LVCF_TEXT | LVCF_WIDTH;
          col.pszText = title.data();
          col.cx = c.width;
          ListView_InsertColumn(hwnd, column++, &col);
        }
        break;
      }
      case ControlKind::kCombo:
        for (const char* item : ComboItems(d.id))
          SendMessageW(hwnd, CB_ADDSTRING, 0, LPARAM(Widen(item).c_str()));
        break;
      case ControlKind::kSlider:
        SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(0, 340));
        break;
      case ControlKind::kPicture:
      case ControlKind::kIconBoard:
        SetPicture(d.id, d.image);
        break;
      default:
        break;
    }
  }
}

void Win32Window::BuildMenus() {
  for (const PopupDef& p : PopupDefs()) popups_[static_cast<int>(p.id)] = CreatePopupMenu();
  for (const MenuItemDef& m : MenuItemDefs())
    AppendMenuW(popups_[static_cast<int>(m.popup)], MF_STRING | (m.disabled ? MF_GRAYED : 0),
                MenuId(m.id), Widen(m.text).c_str());
}

HWND Win32Window::ContainerOf(Ctl c) const {
  const ControlDef& d = DefOf(c);
  if (d.kind == ControlKind::kTab) return main_;
  if (d.page == Page::kTrafficBar) return bar_;
  return d.parent != kNoParent ? H(d.parent) : pages_[static_cast<int>(d.page)];
}

POINT Win32Window::Origin(Ctl c) const {
  const ControlDef& d = DefOf(c);
  if (d.kind == ControlKind::kTab || d.parent != kNoParent || d.page == Page::kTrafficBar)
    return {0, 0};
  return page_origin_;
}

void Win32Window::ShowPage(int index) {
  for (int page = 0; page < 5; ++page) ShowWindow(pages_[page], page == index ? SW_SHOW : SW_HIDE);
}

void Win32Window::PopupAtCursor(Popup popup) {
  POINT at;
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our window is in front.
  SetForegroundWindow(main_);
  const int chosen = TrackPopupMenu(popups_[static_cast<int>(popup)],
                                    TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr);
  PostMessageW(main_, WM_NULL, 0, 0);
  const int index = chosen - kMenuIdBase;
  if (chosen && index >= 0 && index < kMenuItemCount && on_menu) on_menu(static_cast<MenuItem>(index));
}

void Win32Window::RunOnUi(const std::function<void()>& fn) const {
  if (GetCurrentThreadId() == ui_thread_ || !main_) {
    fn();
    return;
  }
  // Synchronous, so the order of effects stays as the worker wrote it; the
  // window thread serves it even while it waits (every wait serves messages).
  SendMessageW(main_, kMsgRunOnUi, 0, reinterpret_cast<LPARAM>(&fn));
}

bool Win32Window::HandleSetCursor(HWND over) {
  const Ctl c = CtlOfId(GetDlgCtrlID(over));
  if (c == Ctl::kCount || ContainerOf(c) != GetParent(over)) return false;
  if (!(DefOf(c).flags & flag::kHandCursor) && DefOf(c).kind != ControlKind::kHyperlink) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

HBRUSH Win32Window::HandleCtlColor(HDC dc, HWND control) {
  const Ctl c = CtlOfId(GetDlgCtrlID(control));
  SetBkMode(dc, TRANSPARENT);
  if (c == Ctl::kCount) return face_brush_;
  const Colour text = text_colours_[static_cast<int>(c)];
  SetTextColor(dc, RGB(text.r, text.g, text.b));
  if (DefOf(c).kind == ControlKind::kHyperlink)
    SetTextColor(dc, IsWindowEnabled(control) ? RGB(0, 0, 238) : GetSysColor(COLOR_GRAYTEXT));
  if (DefOf(c).kind == ControlKind::kTransparentLabel)
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  return face_brush_;
}

LRESULT CALLBACK Win32Window::ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Window* self = Self(hwnd);
  switch (msg) {
    // Pages and group boxes hold controls; what those report goes to the
    // main window, which handles it for all of them.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (self) return self->HandleMain(msg, wp, lp);
      break;
    case WM_SETCURSOR:
      if (self && self->HandleSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      const Ctl c = CtlOfId(GetDlgCtrlID(hwnd));
      if (self && c != Ctl::kCount) {
        // A group box: an etched frame with its caption in the caption colour.
        RECT r;
        GetClientRect(hwnd, &r);
        HFONT old = static_cast<HFONT>(SelectObject(dc, self->fonts_[0]));
        std::wstring caption(GetWindowTextLengthW(hwnd) + 1, L'\0');
        caption.resize(GetWindowTextW(hwnd, caption.data(), int(caption.size())));
        SIZE text{};
        GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &text);
        RECT frame = r;
        frame.top += (DefOf(c).flags & flag::kNoCaption) ? 0 : text.cy / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (!caption.empty() && !(DefOf(c).flags & flag::kNoCaption)) {
          const Colour col = self->caption_colours_[static_cast<int>(c)];
          SetTextColor(dc, RGB(col.r, col.g, col.b));
          SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
          SetBkMode(dc, OPAQUE);
          TextOutW(dc, 8, 0, caption.c_str(), int(caption.size()));
        }
        SelectObject(dc, old);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT done = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return done;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Window::MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Window* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) return self->HandleMain(msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Win32Window::HandleMain(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kMsgRunOnUi:
      (*reinterpret_cast<const std::function<void()>*>(lp))();
      return 0;
    case kMsgTray:
      if (on_tray) on_tray(UINT(lp));
      return 0;
    case kMsgEnd:
      DestroyWindow(main_);
      return 0;
    case WM_COMMAND: {
      if (HIWORD(wp) == 0 && lp == 0) {  // a menu item
        const int index = int(LOWORD(wp)) - kMenuIdBase;
        if (index >= 0 && index < kMenuItemCount && on_menu) on_menu(static_cast<MenuItem>(index));
        return 0;
      }
      const Ctl c = CtlOfId(LOWORD(wp));
      if (c != Ctl::kCount && on_command) on_command(c, HIWORD(wp));
      return 0;
    }
    case WM_NOTIFY: {
      const NMHDR& hdr = *reinterpret_cast<NMHDR*>(lp);
      if (hdr.hwndFrom == tab_ && hdr.code == TCN_SELCHANGE) {
        ShowPage(TabCtrl_GetCurSel(tab_));
        if (on_page_changed) on_page_changed();
        return 0;
      }
      const Ctl c = CtlOfId(int(hdr.idFrom));
      if (c != Ctl::kCount && on_notify) on_notify(c, hdr);
      return 0;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == H(Ctl::滑块条色调) && on_slider)
        on_slider(int(SendMessageW(H(Ctl::滑块条色调), TBM_GETPOS, 0, 0)));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(HandleCtlColor(reinterpret_cast<HDC>(wp),
                                                      reinterpret_cast<HWND>(lp)));
    case WM_SETCURSOR:
      if (HandleSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
      break;
    case WM_TIMER: {
      if (wp == kBalloonTimer) {
        KillTimer(main_, kBalloonTimer);
        SendMessageW(balloon_, TTM_TRACKACTIVATE, FALSE, 0);
        return 0;
      }
      const int index = int(wp) - kTimerIdBase;
      if (index >= 0 && index < kTimerCount && on_timer) on_timer(static_cast<Timer>(index));
      return 0;
    }
    case WM_RBUTTONUP:
      PopupAtCursor(Popup::菜单);
      return 0;
    case WM_CLOSE:
      if (on_close) on_close();
      else DestroyWindow(main_);
      return 0;
    case WM_DESTROY:
      if (tray_shown_) RemoveTrayIcon();
      PostQuitMessage(0);
      return 0;
    default:
      if (msg == taskbar_created_ && tray_shown_) {
        ApplyTrayIcon(NIM_ADD);  // Explorer restarted: the icon comes back
        return 0;
      }
  }
  return DefWindowProcW(main_, msg, wp, lp);
}

LRESULT CALLBACK Win32Window::BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Win32Window* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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
      if (self && int(wp) - kTimerIdBase == static_cast<int>(Timer::时钟流量) && self->on_timer)
        self->on_timer(Timer::时钟流量);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace lumora
