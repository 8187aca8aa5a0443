// The window port's calls on the real controls.
#include "win32/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "win32/app_messages.h"
#include "win32/images.h"
#include "win32/message_pump.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

// The shell library is loaded when the tray icon first appears, not at
// program start: loading it costs a noticeable part of the start-up time.
BOOL NotifyIcon(DWORD action, NOTIFYICONDATAW* data) {
  using Fn = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAW*);
  static const Fn fn = [] {
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    return shell ? reinterpret_cast<Fn>(reinterpret_cast<void*>(
                       GetProcAddress(shell, "Shell_NotifyIconW")))
                 : nullptr;
  }();
  return fn ? fn(action, data) : FALSE;
}

std::string TextOf(HWND hwnd) {
  std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return Narrow(text);
}

bool IsKind(Ctl c, ControlKind k) { return c != Ctl::kCount && DefOf(c).kind == k; }

}  // namespace

std::string Win32Window::Text(Ctl c) const {
  return OnUi<std::string>([&] { return TextOf(H(c)); });
}

void Win32Window::SetText(Ctl c, std::string_view text) {
  RunOnUi([&] {
    SetWindowTextW(H(c), Widen(text).c_str());
    // Transparent labels leave the old text behind unless the area repaints.
    if (IsKind(c, ControlKind::kTransparentLabel) || IsKind(c, ControlKind::kLabel)) {
      RECT r;
      GetWindowRect(H(c), &r);
      MapWindowPoints(HWND_DESKTOP, GetParent(H(c)), reinterpret_cast<POINT*>(&r), 2);
      InvalidateRect(GetParent(H(c)), &r, TRUE);
    }
  });
}

bool Win32Window::Visible(Ctl c) const {
  return OnUi<bool>([&] { return own_visible_[static_cast<int>(c)]; });
}

void Win32Window::SetVisible(Ctl c, bool visible) {
  RunOnUi([&] {
    own_visible_[static_cast<int>(c)] = visible;
    ShowWindow(H(c), visible ? SW_SHOWNA : SW_HIDE);
  });
}

bool Win32Window::Enabled(Ctl c) const {
  return OnUi<bool>([&] { return IsWindowEnabled(H(c)) != 0; });
}

void Win32Window::SetEnabled(Ctl c, bool enabled) {
  RunOnUi([&] {
    EnableWindow(H(c), enabled);
    InvalidateRect(H(c), nullptr, TRUE);
  });
}

Rect Win32Window::Bounds(Ctl c) const {
  return OnUi<Rect>([&] {
    RECT r;
    GetWindowRect(H(c), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(H(c)), reinterpret_cast<POINT*>(&r), 2);
    const POINT o = Origin(c);
    // Combo boxes are created taller for their drop-down list.
    const int height = IsKind(c, ControlKind::kCombo) ? DefOf(c).rect.height : r.bottom - r.top;
    return Rect{r.left + o.x, r.top + o.y, r.right - r.left, height};
  });
}

void Win32Window::SetBounds(Ctl c, Rect r) {
  RunOnUi([&] {
    const POINT o = Origin(c);
    MoveWindow(H(c), r.left - o.x, r.top - o.y, r.width, r.height, TRUE);
    InvalidateRect(GetParent(H(c)), nullptr, TRUE);
  });
}

void Win32Window::SetTip(Ctl c, std::string_view tip) {
  RunOnUi([&] {
    tips_[static_cast<int>(c)] = std::string(tip);
    std::wstring wide = Widen(tip);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(H(c));
    info.uId = reinterpret_cast<UINT_PTR>(H(c));
    info.lpszText = wide.data();
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (!wide.empty()) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  });
}

std::string Win32Window::Tip(Ctl c) const {
  return OnUi<std::string>([&] { return tips_[static_cast<int>(c)]; });
}

bool Win32Window::Checked(Ctl c) const {
  return OnUi<bool>([&] { return SendMessageW(H(c), BM_GETCHECK, 0, 0) == BST_CHECKED; });
}

void Win32Window::SetChecked(Ctl c, bool checked) {
  RunOnUi([&] { SendMessageW(H(c), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); });
}

bool Win32Window::Masked(Ctl c) const {
  return OnUi<bool>([&] { return masked_[static_cast<int>(c)]; });
}

void Win32Window::SetMasked(Ctl c, bool masked) {
  RunOnUi([&] {
    masked_[static_cast<int>(c)] = masked;
    SendMessageW(H(c), EM_SETPASSWORDCHAR, masked ? WPARAM(L'\x25CF') : 0, 0);
    InvalidateRect(H(c), nullptr, TRUE);
  });
}

Image Win32Window::Picture(Ctl c) const {
  return OnUi<Image>([&] { return pictures_[static_cast<int>(c)]; });
}

void Win32Window::SetPicture(Ctl c, Image image) {
  RunOnUi([&] {
    pictures_[static_cast<int>(c)] = image;
    if (IsIconImage(image)) {
      const Rect r = DefOf(c).rect;
      SendMessageW(H(c), STM_SETICON, WPARAM(IconOf(image, std::min(r.width, r.height))), 0);
    } else {
      SendMessageW(H(c), STM_SETIMAGE, IMAGE_BITMAP, LPARAM(BitmapOf(image)));
    }
  });
}

int Win32Window::SliderPosition(Ctl c) const {
  return OnUi<int>([&] { return int(SendMessageW(H(c), TBM_GETPOS, 0, 0)); });
}

void Win32Window::SetSliderPosition(Ctl c, int position) {
  RunOnUi([&] {
    const int low = int(SendMessageW(H(c), TBM_GETRANGEMIN, 0, 0));
    const int high = int(SendMessageW(H(c), TBM_GETRANGEMAX, 0, 0));
    SendMessageW(H(c), TBM_SETPOS, TRUE, std::clamp(position, low, high));
  });
}

std::vector<std::string> Win32Window::Items(Ctl c) const {
  return OnUi<std::vector<std::string>>([&] {
    std::vector<std::string> items;
    const int count = int(SendMessageW(H(c), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::wstring text(std::size_t(SendMessageW(H(c), CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      text.resize(std::size_t(SendMessageW(H(c), CB_GETLBTEXT, i, LPARAM(text.data()))));
      items.push_back(Narrow(text));
    }
    return items;
  });
}

void Win32Window::ClearItems(Ctl c) {
  RunOnUi([&] { SendMessageW(H(c), CB_RESETCONTENT, 0, 0); });
}

void Win32Window::AddItem(Ctl c, std::string_view text) {
  RunOnUi([&] { SendMessageW(H(c), CB_ADDSTRING, 0, LPARAM(Widen(text).c_str())); });
}

int Win32Window::SelectedIndex(Ctl c) const {
  return OnUi<int>([&] { return int(SendMessageW(H(c), CB_GETCURSEL, 0, 0)); });
}

void Win32Window::SelectIndex(Ctl c, int index) {
  RunOnUi([&] { SendMessageW(H(c), CB_SETCURSEL, WPARAM(index), 0); });
}

int Win32Window::RowCount(Ctl c) const {
  return OnUi<int>([&] { return int(ListView_GetItemCount(H(c))); });
}

int Win32Window::AddRow(Ctl c) {
  return OnUi<int>([&] {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(H(c));
    item.pszText = const_cast<wchar_t*>(L"");
    return int(ListView_InsertItem(H(c), &item));
  });
}

std::string Win32Window::Cell(Ctl c, int row, int column) const {
  return OnUi<std::string>([&] {
    wchar_t text[1024] = {};
    ListView_GetItemText(H(c), row, column, text, 1024);
    return Narrow(text);
  });
}

void Win32Window::SetCell(Ctl c, int row, int column, std::string_view text) {
  RunOnUi([&] {
    std::wstring wide = Widen(text);
    ListView_SetItemText(H(c), row, column, wide.data());
  });
}

void Win32Window::DeleteRow(Ctl c, int row) {
  RunOnUi([&] { ListView_DeleteItem(H(c), row); });
}

void Win32Window::ClearRows(Ctl c) {
  RunOnUi([&] { ListView_DeleteAllItems(H(c)); });
}

int Win32Window::CurrentPage() const {
  return OnUi<int>([&] { return int(TabCtrl_GetCurSel(tab_)); });
}

int Win32Window::TimerInterval(Timer t) const {
  return OnUi<int>([&] { return timers_[static_cast<int>(t)]; });
}

void Win32Window::SetTimerInterval(Timer t, int ms) {
  RunOnUi([&] {
    timers_[static_cast<int>(t)] = std::max(ms, 0);
    HWND owner = TimerDefs()[static_cast<int>(t)].on_bar ? bar_ : main_;
    if (!owner) return;
    if (ms > 0) SetTimer(owner, TimerId(t), UINT(ms), nullptr);
    else KillTimer(owner, TimerId(t));
  });
}

bool Win32Window::MenuItemEnabled(MenuItem m) const {
  return OnUi<bool>([&] { return menu_enabled_[static_cast<int>(m)]; });
}

void Win32Window::SetMenuItemEnabled(MenuItem m, bool enabled) {
  RunOnUi([&] {
    menu_enabled_[static_cast<int>(m)] = enabled;
    const Popup popup = MenuItemDefs()[static_cast<int>(m)].popup;
    EnableMenuItem(popups_[static_cast<int>(popup)], MenuId(m),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  });
}

std::string Win32Window::Title() const {
  return OnUi<std::string>([&] { return TextOf(main_); });
}

void Win32Window::SetTitle(std::string_view title) {
  RunOnUi([&] { SetWindowTextW(main_, Widen(title).c_str()); });
}

bool Win32Window::MainVisible() const {
  return OnUi<bool>([&] { return IsWindowVisible(main_) != 0; });
}

void Win32Window::SetMainVisible(bool visible) {
  RunOnUi([&] { ShowWindow(main_, visible ? SW_SHOW : SW_HIDE); });
}

void Win32Window::ShowMainCentred() {
  RunOnUi([&] {
    ShowWindow(main_, SW_SHOW);
    if (IsIconic(main_) || IsZoomed(main_)) ShowWindow(main_, SW_RESTORE);
    RECT r;
    GetWindowRect(main_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(main_, HWND_TOPMOST, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE);
    // In front of everything for a moment, then an ordinary window again.
    WaitServingMessages(0, nullptr, 200);
    SetWindowPos(main_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(main_);
  });
}

Rect Win32Window::MainRect() const {
  return OnUi<Rect>([&] {
    RECT r;
    GetWindowRect(main_, &r);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  });
}

void Win32Window::SetMainRect(Rect r) {
  RunOnUi([&] {
    SetWindowPos(main_, nullptr, r.left, r.top, std::max(r.width, 0), std::max(r.height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(main_);
  });
}

void Win32Window::RemoveMainBorder() {
  RunOnUi([&] {
    LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
    style &= ~LONG_PTR(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME | WS_SYSMENU);
    SetWindowLongPtrW(main_, GWL_STYLE, style);
    SetWindowPos(main_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  });
}

void Win32Window::SetCaptionColour(Ctl group, Colour colour) {
  RunOnUi([&] {
    caption_colours_[static_cast<int>(group)] = colour;
    InvalidateRect(H(group), nullptr, TRUE);
  });
}

Colour Win32Window::CaptionColour(Ctl group) const {
  return OnUi<Colour>([&] { return caption_colours_[static_cast<int>(group)]; });
}

bool Win32Window::BarExists() const {
  return OnUi<bool>([&] { return bar_ != nullptr; });
}

void Win32Window::CreateBar() {
  RunOnUi([&] {
    if (bar_) return;
    bar_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kBarWindowClass, L"TrafficBar",
                           WS_POPUP | WS_CLIPCHILDREN, kBarDesignLeft, kBarDesignTop, kBarWidth,
                           kBarHeight, nullptr, nullptr, instance_, nullptr);
    SetWindowLongPtrW(bar_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (const ControlDef& d : ControlDefs()) {
      if (d.page != Page::kTrafficBar) continue;
      HWND hwnd = CreateWindowExW(0, L"STATIC", Widen(d.text).c_str(),
                                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, d.rect.left,
                                  d.rect.top, d.rect.width, d.rect.height, bar_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))),
                                  instance_, nullptr);
      SendMessageW(hwnd, WM_SETFONT, WPARAM(fonts_[int(d.font)]), FALSE);
      controls_[static_cast<int>(d.id)] = hwnd;
    }
    const int bar_timer = static_cast<int>(Timer::时钟流量);
    if (timers_[bar_timer] > 0) SetTimer(bar_, TimerId(Timer::时钟流量), UINT(timers_[bar_timer]), nullptr);
  });
}

bool Win32Window::BarVisible() const {
  return OnUi<bool>([&] { return bar_ && IsWindowVisible(bar_); });
}

void Win32Window::SetBarVisible(bool visible) {
  RunOnUi([&] {
    if (bar_) ShowWindow(bar_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
  });
}

void Win32Window::ApplyTrayIcon(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = main_;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kMsgTray;
  data.hIcon = IconOf(tray_icon_, GetSystemMetrics(SM_CXSMICON));
  const std::wstring tip = Widen(tray_tip_);
  lstrcpynW(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip));
  NotifyIcon(action, &data);
}

void Win32Window::ShowTrayIcon(Image icon, std::string_view tip) {
  RunOnUi([&] {
    tray_icon_ = icon;
    tray_tip_ = std::string(tip);
    ApplyTrayIcon(tray_shown_ ? NIM_MODIFY : NIM_ADD);
    tray_shown_ = true;
  });
}

void Win32Window::SetTrayIcon(Image icon) {
  RunOnUi([&] {
    tray_icon_ = icon;
    if (tray_shown_) ApplyTrayIcon(NIM_MODIFY);
  });
}

void Win32Window::RemoveTrayIcon() {
  RunOnUi([&] {
    if (!tray_shown_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = main_;
    data.uID = 1;
    NotifyIcon(NIM_DELETE, &data);
    tray_shown_ = false;
  });
}

bool Win32Window::TrayIconShown() const {
  return OnUi<bool>([&] { return tray_shown_; });
}

Image Win32Window::TrayIcon() const {
  return OnUi<Image>([&] { return tray_icon_; });
}

std::string Win32Window::TrayTip() const {
  return OnUi<std::string>([&] { return tray_tip_; });
}

void Win32Window::SetTextColour(Ctl c, Colour colour) {
  RunOnUi([&] {
    text_colours_[static_cast<int>(c)] = colour;
    InvalidateRect(H(c), nullptr, TRUE);
  });
}

Colour Win32Window::TextColour(Ctl c) const {
  return OnUi<Colour>([&] { return text_colours_[static_cast<int>(c)]; });
}

void Win32Window::ShowBalloon(std::string_view text, int dx, int dy) {
  RunOnUi([&] {
    if (!balloon_) {
      balloon_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 main_, nullptr, instance_, nullptr);
      SendMessageW(balloon_, TTM_SETMAXTIPWIDTH, 0, 360);
    }
    balloon_text_ = Widen(text);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = main_;
    info.uId = 1;
    info.lpszText = balloon_text_.data();
    SendMessageW(balloon_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(balloon_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    RECT r;
    GetWindowRect(main_, &r);
    SendMessageW(balloon_, TTM_TRACKPOSITION, 0, MAKELPARAM(r.left + dx, r.top + dy));
    SendMessageW(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    SetTimer(main_, 1, 5000, nullptr);  // the balloon goes by itself
  });
}

MessageResult Win32Window::ShowMessage(std::string_view text, std::string_view title,
                                       MessageIcon icon, MessageButtons buttons) {
  return OnUi<MessageResult>([&] {
    UINT flags = MB_TASKMODAL | (buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK);
    switch (icon) {
      case MessageIcon::kInformation: flags |= MB_ICONINFORMATION; break;
      case MessageIcon::kWarning: flags |= MB_ICONWARNING; break;
      case MessageIcon::kError: flags |= MB_ICONERROR; break;
      case MessageIcon::kQuestion: flags |= MB_ICONQUESTION; break;
      case MessageIcon::kNone: break;
    }
    const int answer = MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), flags);
    return answer == IDYES ? MessageResult::kYes
           : answer == IDNO ? MessageResult::kNo
                            : MessageResult::kOk;
  });
}

}  // namespace lumora
