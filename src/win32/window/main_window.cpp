// The main window's life and its messages: creation, the hand-over of calls
// from workers, and the translation of control notifications into events.
#include "win32/window/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <utility>
#include <vector>

#include "common/trace.h"
#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/images.h"
#include "win32/window/dpi.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

constexpr wchar_t kContainerClass[] = L"LumoraWiFiContainer";
constexpr UINT_PTR kBalloonTimer = 1;  // hides the balloon tip
constexpr DWORD kTrayEndMs = 1000;     // for the icon's removal, at the end

Win32Window* Self(HWND hwnd) {
  return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(GetAncestor(hwnd, GA_ROOT), GWLP_USERDATA));
}

Ctl CtlOfId(int id) {
  const int index = id - kControlIdBase;
  return (index >= 0 && index < kControlCount) ? static_cast<Ctl>(index) : Ctl::kCount;
}

// The procedures of the controls' classes, by the control they were taken
// from (Win32Window::WatchKeys).
std::array<std::atomic<WNDPROC>, kControlCount> g_control_procs{};

// The control a watched window is: a combo box's edit field is its box.
Ctl WatchedCtl(HWND hwnd) {
  const Ctl parent = CtlOfId(GetDlgCtrlID(GetParent(hwnd)));
  if (parent != Ctl::kCount && DefOf(parent).kind == ControlKind::kCombo) return parent;
  return CtlOfId(GetDlgCtrlID(hwnd));
}

}  // namespace

bool TranslateDialogKeys(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!root) return false;
  wchar_t cls[64] = {};
  GetClassNameW(root, cls, 64);
  return lstrcmpW(cls, kMainWindowClass) == 0 && IsDialogMessageW(root, &msg);
}

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
  ui_thread_ = GetCurrentThreadId();
  for (const ControlDef& d : ControlDefs()) {
    ControlState& state = controls_[static_cast<int>(d.id)];
    state.own_visible = !(d.flags & flag::kHidden);
    state.design = d.rect;
    state.image = d.image;
    // Pictures acting as buttons carry their name as their text.
    state.text = d.kind == ControlKind::kIconBoard ? AccessibleName(d.id) : d.text;
    state.enabled = !(d.flags & flag::kDisabled);
    state.checked = d.flags & flag::kChecked;
    state.masked = d.flags & flag::kPassword;
    if (d.kind == ControlKind::kCombo)
      for (const char* item : ComboItems(d.id)) state.items.emplace_back(item);
  }
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Win32Window::~Win32Window() {
  tray_.Remove();
  for (HMENU m : popups_)
    if (m) DestroyMenu(m);
  for (HFONT f : fonts_) DeleteObject(f);
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
  TrafficBarWindow::RegisterClass(instance_);

  // 430 x 316 outside at 96 DPI, fixed border; the design caption is empty.
  dpi_ = SystemDpi();
  HWND main = CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClass, L"",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, Px(kMainWidth), Px(kMainHeight), nullptr,
                              nullptr, instance_, nullptr);
  if (!main) return false;
  main_ = main;
  // The monitor it opened on may have a DPI of its own.
  dpi_ = DpiOf(main);
  MakeFonts();
  SetWindowLongPtrW(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  queue_.Attach(main, kMsgRunOnUi);
  tray_.Attach(main, kMsgTray);
  bar_.on_tick = [this] {
    if (on_timer) on_timer(Timer::时钟流量);
  };
  bar_.on_event = [this](Ctl c, ControlEvent e, int value) {
    if (on_event) on_event(c, e, value);
  };
  bar_.Bind(instance_, [this](Ctl c, HWND hwnd) { controls_[static_cast<int>(c)].hwnd = hwnd; });
  // Centred on the screen, as the window first appears.
  SetWindowPos(main, nullptr, (GetSystemMetrics(SM_CXSCREEN) - Px(kMainWidth)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - Px(kMainHeight)) / 2, Px(kMainWidth),
               Px(kMainHeight), SWP_NOZORDER | SWP_NOACTIVATE);
  TraceMark("controls begin");
  BuildControls();
  TraceMark("controls end");
  BuildMenus();
  return true;
}

void Win32Window::RunOnUi(std::function<void()> fn) const {
  if (GetCurrentThreadId() != ui_thread_) {
    queue_.Post(std::move(fn));
    return;
  }
  if (main_) fn();  // gone: nothing reaches a destroyed window
}

void Win32Window::ShowPage(int index) {
  const Page shown = static_cast<Page>(index);
  MakePage(shown);
  // An HTML view changed while out of sight is laid out before its page shows.
  for (const ControlDef& d : ControlDefs()) {
    const bool view = d.kind == ControlKind::kHtmlView || d.kind == ControlKind::kBrowser;
    if (view && d.page == shown && H(d.id)) SendMessageW(H(d.id), kMsgLayOutView, 0, 0);
  }
  for (int page = 0; page < kPageCount; ++page)
    ShowWindow(pages_[page], page == index ? SW_SHOW : SW_HIDE);
}

int Win32Window::DpiOfWindowHolding(HWND hwnd) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  wchar_t cls[64] = {};
  GetClassNameW(root, cls, 64);
  const Win32Window* window = Self(hwnd);
  return window && lstrcmpW(cls, kMainWindowClass) == 0 ? window->dpi_ : DpiOf(hwnd);
}

void Win32Window::SelectPage(int index) {
  TabCtrl_SetCurSel(tab_, index);
  ShowPage(index);
  if (on_event) on_event(Ctl::选择夹1, ControlEvent::kSelectionChange, index);
}

void Win32Window::PopupAtCursor(Popup popup) {
  POINT at;
  GetCursorPos(&at);
  if (menu_anchor_) at = *std::exchange(menu_anchor_, std::nullopt);
  // The menu closes when the user clicks elsewhere only if our window is in front.
  SetForegroundWindow(main_);
  const int chosen = TrackPopupMenu(popups_[static_cast<int>(popup)],
                                    TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, main_, nullptr);
  PostMessageW(main_, WM_NULL, 0, 0);
  if (chosen) ChooseMenuItem(chosen - kMenuIdBase);
}

// The bar's popup item opens what a right click on the bar opens; the
// others go to their handlers.
void Win32Window::ChooseMenuItem(int index) {
  if (index < 0 || index >= kMenuItemCount) return;
  const auto item = static_cast<MenuItem>(index);
  if (item == MenuItem::流量条菜单) {
    if (on_event && bar_.Exists()) on_event(Ctl::流量条_透明标签1, ControlEvent::kRightClick, 0);
    return;
  }
  if (on_menu) on_menu(item);
}

// Every control that takes the focus answers the keys itself: Tab and
// Shift+Tab go in reading order, Ctrl+Tab changes the page, Enter presses a
// button, and Enter and Esc in an edit or combo box are events of their own.
// Hooked the plain way, by window procedure: the common controls'
// SetWindowSubclass finds its data with GetProp on every message, a round
// trip to the Wine server each, and a list view that gets three messages a
// row took ten seconds to fill with 20000 rows.
void Win32Window::WatchKeys(Ctl c) {
  HWND target = H(c);
  if (DefOf(c).kind == ControlKind::kCombo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(H(c), &info) && info.hwndItem) target = info.hwndItem;
  }
  const auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
  // A class's procedure is the same for every window of it.
  if (old != &ControlProc) g_control_procs[static_cast<int>(c)].store(old);
}

// The next control of the page shown that can take the focus, or the tab
// headers at either end of the page.
void Win32Window::MoveFocus(Ctl from, bool forward) {
  std::vector<HWND> ring{tab_};
  for (Ctl c : TabOrder(static_cast<Page>(TabCtrl_GetCurSel(tab_))))
    if (IsWindowVisible(H(c)) && IsWindowEnabled(H(c))) ring.push_back(H(c));
  const auto at = std::find(ring.begin(), ring.end(), H(from));
  const int n = int(ring.size());
  const int i = at == ring.end() ? 0 : int(at - ring.begin());
  SetFocus(ring[std::size_t((i + (forward ? 1 : n - 1)) % n)]);
}

bool Win32Window::HandleKey(Ctl c, UINT key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  const ControlKind kind = DefOf(c).kind;
  if (key == VK_TAB && ctrl) {
    const int page = TabCtrl_GetCurSel(tab_);
    SelectPage((page + (shift ? kPageCount - 1 : 1)) % kPageCount);
    SetFocus(tab_);
  } else if (key == VK_TAB) {
    MoveFocus(c, !shift);
  } else if (key == VK_RETURN && (kind == ControlKind::kButton || kind == ControlKind::kIconBoard ||
                                  kind == ControlKind::kHyperlink)) {
    SendMessageW(H(c), BM_CLICK, 0, 0);
  } else if ((key == VK_RETURN || key == VK_ESCAPE) &&
             (kind == ControlKind::kEdit || kind == ControlKind::kCombo)) {
    if (on_event) on_event(c, ControlEvent::kKey, int(key));
  } else {
    return false;
  }
  return true;
}

LRESULT CALLBACK Win32Window::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const Ctl c = WatchedCtl(hwnd);
  const WNDPROC old = c == Ctl::kCount ? nullptr : g_control_procs[static_cast<int>(c)].load();
  if (!old) return DefWindowProcW(hwnd, msg, wp, lp);
  const bool tab = DefOf(c).kind == ControlKind::kTab;
  if (tab && msg == WM_ERASEBKGND) {  // the strip behind the tab headers
    if (Win32Window* self = Self(hwnd)) {
      RECT r;
      GetClientRect(hwnd, &r);
      self->theme_.FillTabStrip(reinterpret_cast<HDC>(wp), r);
      return 1;
    }
  }
  // The selected header shows whether the headers have the focus.
  if (tab && (msg == WM_SETFOCUS || msg == WM_KILLFOCUS)) InvalidateRect(hwnd, nullptr, FALSE);
  const bool ours = wp == VK_TAB || wp == VK_RETURN || (wp == VK_ESCAPE && !tab);
  if (msg == WM_GETDLGCODE && ours) return CallWindowProcW(old, hwnd, msg, wp, lp) | DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && ours) {
    Win32Window* self = Self(hwnd);
    if (self && self->HandleKey(c, UINT(wp))) return 0;
  }
  if (msg == WM_CHAR && ours) return 0;  // no beep
  return CallWindowProcW(old, hwnd, msg, wp, lp);
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
  if (c == Ctl::kCount) return theme_.ControlColours(dc, ControlKind::kLabel, nullptr, true);
  const ControlState& state = controls_[static_cast<int>(c)];
  return theme_.ControlColours(dc, DefOf(c).kind, state.text_set ? &state.text_colour : nullptr,
                               IsWindowEnabled(control));
}

// Owner-drawn tab headers, push buttons, links and icons; each shows when
// it has the focus.
void Win32Window::HandleDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == tab_) {
    const Page page = static_cast<Page>(item.itemID);
    const bool selected = int(item.itemID) == TabCtrl_GetCurSel(tab_);
    theme_.DrawTab(item, Widen(PageTitle(page)).c_str(), selected, selected && GetFocus() == tab_);
    return;
  }
  const Ctl c = CtlOfId(int(item.CtlID));
  if (item.CtlType != ODT_BUTTON || c == Ctl::kCount) return;
  switch (DefOf(c).kind) {
    case ControlKind::kIconBoard:
      theme_.DrawIconButton(item, IconOf(controls_[static_cast<int>(c)].image,
                                         std::min(item.rcItem.right, item.rcItem.bottom)));
      break;
    case ControlKind::kHyperlink:
      theme_.DrawLink(item);
      break;
    default:
      theme_.DrawButton(item);
  }
}

// A group box: a frame with its caption in the caption colour.
void Win32Window::PaintGroupBox(HWND hwnd, Ctl c) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  HFONT old = static_cast<HFONT>(SelectObject(dc, fonts_[0]));
  std::wstring caption(GetWindowTextLengthW(hwnd) + 1, L'\0');
  caption.resize(GetWindowTextW(hwnd, caption.data(), int(caption.size())));
  SIZE text{};
  GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &text);
  const bool captioned = !(DefOf(c).flags & flag::kNoCaption);
  RECT frame = r;
  frame.top += captioned ? text.cy / 2 : 0;
  theme_.DrawGroupBox(dc, frame, caption.c_str(), captioned ? int(caption.size()) : 0,
                      controls_[static_cast<int>(c)].caption);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
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
    case WM_DRAWITEM:
    case WM_CONTEXTMENU:
      if (self) return self->HandleMain(msg, wp, lp);
      break;
    case WM_ERASEBKGND:
      if (self) {
        RECT r;
        GetClientRect(hwnd, &r);
        self->theme_.FillPage(reinterpret_cast<HDC>(wp), r);
        return 1;
      }
      break;
    case WM_SETCURSOR:
      if (self && self->HandleSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
      break;
    case WM_PAINT: {
      const Ctl c = CtlOfId(GetDlgCtrlID(hwnd));
      if (self && c != Ctl::kCount) {
        self->PaintGroupBox(hwnd, c);
        return 0;
      }
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
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
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) return self->HandleMain(msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Window::HandleCommand(Ctl c, UINT code) {
  if (!on_event) return;
  switch (DefOf(c).kind) {
    case ControlKind::kCombo:
      if (code == CBN_SELCHANGE)
        on_event(c, ControlEvent::kSelectionChange, int(SendMessageW(H(c), CB_GETCURSEL, 0, 0)));
      else if (code == CBN_KILLFOCUS)
        on_event(c, ControlEvent::kFocusLost, 0);
      break;
    case ControlKind::kEdit:
      if (code == EN_KILLFOCUS) on_event(c, ControlEvent::kFocusLost, 0);
      break;
    default:
      // Buttons, check boxes, radio buttons, links and icon boards.
      if (code == BN_CLICKED) on_event(c, ControlEvent::kClick, 0);
      break;
  }
}

void Win32Window::HandleNotify(const NMHDR& hdr) {
  if (hdr.hwndFrom == tab_ && hdr.code == TCN_SELCHANGE) {
    SelectPage(TabCtrl_GetCurSel(tab_));
    return;
  }
  const Ctl c = CtlOfId(int(hdr.idFrom));
  if (c == Ctl::kCount || DefOf(c).kind != ControlKind::kListView || !on_event) return;
  const int row = reinterpret_cast<const NMITEMACTIVATE&>(hdr).iItem;
  // Enter on a row does what a double click on it does (the rename).
  if (hdr.code == NM_RETURN)
    on_event(c, ControlEvent::kDoubleClick, ListView_GetNextItem(hdr.hwndFrom, -1, LVNI_FOCUSED));
  if (hdr.code == NM_DBLCLK) on_event(c, ControlEvent::kDoubleClick, row);
  else if (hdr.code == NM_RCLICK) on_event(c, ControlEvent::kRightClick, row);
}

// The context-menu key or Shift+F10 on a list view: the menu of its
// selected row, as a right click on that row would open it, at the row.
void Win32Window::HandleContextKey(HWND from) {
  const Ctl c = CtlOfId(GetDlgCtrlID(from));
  if (c == Ctl::kCount || DefOf(c).kind != ControlKind::kListView || !on_event) return;
  const int row = ListView_GetNextItem(from, -1, LVNI_SELECTED);
  RECT r{};
  if (row >= 0 && ListView_GetItemRect(from, row, &r, LVIR_LABEL)) {
    POINT at{r.left, r.bottom};
    ClientToScreen(from, &at);
    menu_anchor_ = at;
  }
  on_event(c, ControlEvent::kRightClick, row);
  menu_anchor_.reset();
}

// What the controls report: clicks, notifications, their drawing and colours.
bool Win32Window::HandleControlMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_COMMAND: {
      if (HIWORD(wp) == 0 && lp == 0) {  // a menu item
        ChooseMenuItem(int(LOWORD(wp)) - kMenuIdBase);
        return true;
      }
      const Ctl c = CtlOfId(LOWORD(wp));
      if (c != Ctl::kCount) HandleCommand(c, HIWORD(wp));
      return true;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (hdr->code == NM_CUSTOMDRAW && hdr->hwndFrom == H(Ctl::滑块条色调))
        result = theme_.DrawSlider(*reinterpret_cast<NMCUSTOMDRAW*>(lp));
      else if (hdr->code == NM_CUSTOMDRAW && DefOf(CtlOfId(int(hdr->idFrom))).kind == ControlKind::kListView)
        result = theme_.DrawListRow(*reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
      else
        HandleNotify(*hdr);
      return true;
    }
    case WM_DRAWITEM:
      HandleDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == H(Ctl::滑块条色调) && on_event)
        on_event(Ctl::滑块条色调, ControlEvent::kScroll,
                 int(SendMessageW(H(Ctl::滑块条色调), TBM_GETPOS, 0, 0)));
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      result = reinterpret_cast<LRESULT>(HandleCtlColor(reinterpret_cast<HDC>(wp),
                                                        reinterpret_cast<HWND>(lp)));
      return true;
    case WM_SETCURSOR:
      result = TRUE;
      return HandleSetCursor(reinterpret_cast<HWND>(wp));
    case WM_CONTEXTMENU:
      // Mouse right clicks on a list arrive as NM_RCLICK; this is the keyboard's.
      if (lp != -1) return false;
      HandleContextKey(reinterpret_cast<HWND>(wp));
      return true;
  }
  return false;
}

// The window itself: its background, timers, its screen's DPI and colours.
bool Win32Window::HandleScreenMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(main_, &r);
      theme_.FillWindow(reinterpret_cast<HDC>(wp), r);
      result = 1;
      return true;
    }
    case WM_TIMER: {
      if (wp == kBalloonTimer) {
        KillTimer(main_, kBalloonTimer);
        balloon_.Hide();
        return true;
      }
      const int index = int(wp) - kTimerIdBase;
      if (index >= 0 && index < kTimerCount && on_timer) on_timer(static_cast<Timer>(index));
      return true;
    }
    case WM_RBUTTONUP:
      PopupAtCursor(Popup::菜单);
      return true;
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: the size Windows suggests, then
      // every control at the new DPI.
      const RECT& r = *reinterpret_cast<const RECT*>(lp);
      SetWindowPos(main_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(wp));
      return true;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // A high-contrast theme switched on or off.
      theme_.SystemColoursChanged();
      return false;
    case WM_SETFOCUS:
      // Back to the window: the focus goes to the page shown.
      MoveFocus(Ctl::选择夹1, true);
      return true;
  }
  return false;
}

LRESULT Win32Window::HandleMain(UINT msg, WPARAM wp, LPARAM lp) {
  HWND main = main_;
  switch (msg) {
    case kMsgRunOnUi:
      queue_.Drain();
      return 0;
    case kMsgTray:
      if (on_tray) on_tray(UINT(lp));
      return 0;
    case kMsgEnd:
      DestroyWindow(main);
      return 0;
    case kMsgMakeControls:
      if (MakeNextControl()) MakeRestWhenIdle();
      return 0;
    case WM_POWERBROADCAST:
      if ((wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) && on_resume) on_resume();
      return TRUE;
    case WM_CLOSE:
      if (on_close) on_close();
      else DestroyWindow(main);
      return 0;
    case WM_DESTROY:
      tray_.Remove();
      tray_.Flush(kTrayEndMs);  // a shell that does not answer keeps a stale icon
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      // From here on the window is gone: workers' calls reach nothing.
      main_ = nullptr;
      queue_.Close();
      return DefWindowProcW(main, msg, wp, lp);
  }
  LRESULT result = 0;
  if (HandleControlMessage(msg, wp, lp, result) || HandleScreenMessage(msg, wp, lp, result))
    return result;
  if (msg == taskbar_created_) {
    tray_.ShowAgain();  // Explorer restarted: the icon comes back
    return 0;
  }
  return DefWindowProcW(main, msg, wp, lp);
}

}  // namespace lumora
