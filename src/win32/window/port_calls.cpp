// The window port's calls on the real controls, the main window, the bar,
// the tray icon and the boxes.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/images.h"
#include "win32/message_pump.h"
#include "win32/utf16.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

constexpr UINT_PTR kBalloonTimer = 1;
constexpr int kBalloonWidth = 360;  // where its text breaks, design units

std::string TextOf(HWND hwnd) {
  std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return Narrow(text);
}

bool IsKind(Ctl c, ControlKind k) { return c != Ctl::kCount && DefOf(c).kind == k; }

}  // namespace

std::string Win32Window::Text(Ctl c) const {
  return OnUi<std::string>([&] {
    const ControlState* held = Held(c);
    return held ? held->text : TextOf(H(c));
  });
}

void Win32Window::SetText(Ctl c, std::string_view text) {
  RunOnUi([this, c, wide = Widen(text)] {
    if (ControlState* held = Held(c)) {
      held->text = Narrow(wide);
      return;
    }
    SetWindowTextW(H(c), wide.c_str());
    // Transparent labels leave the old text behind unless the area repaints.
    if (IsKind(c, ControlKind::kTransparentLabel) || IsKind(c, ControlKind::kLabel)) {
      PlaceControl(c);  // room for the new text
      RECT r;
      GetWindowRect(H(c), &r);
      MapWindowPoints(HWND_DESKTOP, GetParent(H(c)), reinterpret_cast<POINT*>(&r), 2);
      // The children there too: a transparent label under the erased area
      // must paint itself again after it.
      RedrawWindow(GetParent(H(c)), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
  });
}

// A control disabled while it has the keyboard (the start button during a
// start) leaves it with nothing: it gets it back when it is enabled again,
// unless the user has moved on meanwhile.
void Win32Window::SetEnabled(Ctl c, bool enabled) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) {
      held->enabled = enabled;
      return;
    }
    const HWND focus = GetFocus();
    if (!enabled && focus && focus == H(c)) parked_focus_ = c;
    EnableWindow(H(c), enabled);
    if (enabled && parked_focus_ == c) {
      parked_focus_ = Ctl::kCount;
      if (!GetFocus() || GetFocus() == main_) SetFocus(H(c));
    }
    InvalidateRect(H(c), nullptr, TRUE);
  });
}

// Places and sizes are design units: the window scales them to its screen.
Rect Win32Window::Bounds(Ctl c) const {
  return OnUi<Rect>([&] { return controls_[static_cast<int>(c)].design; });
}

void Win32Window::SetBounds(Ctl c, Rect r) {
  RunOnUi([=, this] {
    controls_[static_cast<int>(c)].design = r;
    if (Held(c)) return;
    PlaceControl(c);
    InvalidateRect(GetParent(H(c)), nullptr, TRUE);
  });
}

bool Win32Window::Checked(Ctl c) const {
  return OnUi<bool>([&] {
    const ControlState* held = Held(c);
    return held ? held->checked : SendMessageW(H(c), BM_GETCHECK, 0, 0) == BST_CHECKED;
  });
}

void Win32Window::SetChecked(Ctl c, bool checked) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) held->checked = checked;
    else SendMessageW(H(c), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  });
}

int Win32Window::SliderPosition(Ctl c) const {
  return OnUi<int>([&] {
    const ControlState* held = Held(c);
    return held ? held->slider : int(SendMessageW(H(c), TBM_GETPOS, 0, 0));
  });
}

void Win32Window::SetSliderPosition(Ctl c, int position) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) {
      held->slider = std::clamp(position, kSliderMin, kSliderMax);
      return;
    }
    const int low = int(SendMessageW(H(c), TBM_GETRANGEMIN, 0, 0));
    const int high = int(SendMessageW(H(c), TBM_GETRANGEMAX, 0, 0));
    SendMessageW(H(c), TBM_SETPOS, TRUE, std::clamp(position, low, high));
  });
}

void Win32Window::SetTitle(std::string_view title) {
  RunOnUi([this, wide = Widen(title)] { SetWindowTextW(main_, wide.c_str()); });
}

void Win32Window::SetMainVisible(bool visible) {
  RunOnUi([=, this] { ShowWindow(main_, visible ? SW_SHOW : SW_HIDE); });
}

void Win32Window::ShowMainCentred() {
  RunOnUi([=, this] {
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
  RunOnUi([=, this] {
    SetWindowPos(main_, nullptr, r.left, r.top, std::max(r.width, 0), std::max(r.height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(main_);
  });
}

void Win32Window::RemoveMainBorder() {
  RunOnUi([=, this] {
    LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
    style &= ~LONG_PTR(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME | WS_SYSMENU);
    SetWindowLongPtrW(main_, GWL_STYLE, style);
    SetWindowPos(main_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  });
}

void Win32Window::SetVisible(Ctl c, bool visible) {
  RunOnUi([=, this] {
    controls_[static_cast<int>(c)].own_visible = visible;
    // One of the page shown comes into sight: it is made now.
    const Page page = DefOf(c).page;
    if (visible && Held(c) && page == static_cast<Page>(TabCtrl_GetCurSel(tab_))) MakePage(page);
    if (!Held(c)) ShowWindow(H(c), visible ? SW_SHOWNA : SW_HIDE);
  });
}

void Win32Window::SetTip(Ctl c, std::string_view tip) {
  RunOnUi([this, c, tip_text = Widen(tip)] {
    if (ControlState* held = Held(c)) {
      held->tip = Narrow(tip_text);
      return;
    }
    std::wstring wide = tip_text;
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

void Win32Window::SetMasked(Ctl c, bool masked) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) {
      held->masked = masked;
      return;
    }
    SendMessageW(H(c), EM_SETPASSWORDCHAR, masked ? WPARAM(L'\x25CF') : 0, 0);
    InvalidateRect(H(c), nullptr, TRUE);
  });
}

void Win32Window::SetPicture(Ctl c, Image image) {
  RunOnUi([=, this] {
    controls_[static_cast<int>(c)].image = image;
    if (Held(c)) return;
    if (IsKind(c, ControlKind::kIconBoard)) InvalidateRect(H(c), nullptr, TRUE);  // drawn by us
    else SendMessageW(H(c), STM_SETIMAGE, IMAGE_BITMAP, LPARAM(BitmapOf(image, dpi_)));
  });
}

void Win32Window::SetTimerInterval(Timer t, int interval) {
  RunOnUi([this, t, ms = std::max(interval, 0)] {
    if (TimerDefs()[static_cast<int>(t)].on_bar) {
      bar_.SetTimerInterval(TimerId(t), ms);
      return;
    }
    if (ms > 0) SetTimer(main_, TimerId(t), UINT(ms), nullptr);
    else KillTimer(main_, TimerId(t));
  });
}

void Win32Window::SetMenuItemEnabled(MenuItem m, bool enabled) {
  RunOnUi([=, this] {
    const Popup popup = MenuItemDefs()[static_cast<int>(m)].popup;
    EnableMenuItem(popups_[static_cast<int>(popup)], MenuId(m),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  });
}

void Win32Window::SetCaptionColour(Ctl group, Colour colour) {
  RunOnUi([=, this] {
    controls_[static_cast<int>(group)].caption = colour;
    if (!Held(group)) InvalidateRect(H(group), nullptr, TRUE);
  });
}

void Win32Window::SetTextColour(Ctl c, Colour colour) {
  RunOnUi([=, this] {
    controls_[static_cast<int>(c)].text_colour = colour;
    controls_[static_cast<int>(c)].text_set = true;
    if (!Held(c)) InvalidateRect(H(c), nullptr, TRUE);
  });
}

bool Win32Window::BarExists() const {
  return OnUi<bool>([&] { return bar_.Exists(); });
}

void Win32Window::SetBarVisible(bool visible) {
  RunOnUi([=, this] { bar_.SetVisible(visible); });
}

void Win32Window::ShowTrayIcon(Image icon, std::string_view tip) {
  RunOnUi([this, icon, text = std::string(tip)] { tray_.Show(icon, text); });
}

void Win32Window::SetTrayIcon(Image icon) {
  RunOnUi([=, this] { tray_.SetIcon(icon); });
}

void Win32Window::ShowTrayBalloon(std::string_view title, std::string_view text) {
  if (closing_) return;
  RunOnUi([this, t = std::string(title), x = std::string(text)] {
    if (!closing_) tray_.ShowBalloon(t, x);
  });
}

void Win32Window::RemoveTrayIcon() {
  RunOnUi([=, this] { tray_.Remove(); });
}

void Win32Window::PopupMenu(Popup popup) {
  RunOnUi([=, this] { PopupAtCursor(popup); });
}

void Win32Window::BeginClosing() { closing_ = true; }

void Win32Window::ShowBalloon(std::string_view text, int dx, int dy) {
  if (closing_) return;
  RunOnUi([this, tip = std::string(text), dx, dy] {
    RECT r;
    GetWindowRect(main_, &r);
    balloon_.Show(instance_, main_, kBalloonTimer, tip, POINT{r.left + Px(dx), r.top + Px(dy)},
                  Px(kBalloonWidth));
  });
}

MessageResult Win32Window::ShowMessage(std::string_view text, std::string_view title,
                                       MessageIcon icon, MessageButtons buttons) {
  const MessageResult nothing_changes =
      buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
  // Checked on the window thread too: a request that waited while the close
  // began must not open a box inside the close.
  if (closing_) return nothing_changes;
  // A window gone before the box could open answers what changes nothing too.
  return OnUi<std::optional<MessageResult>>([&]() -> std::optional<MessageResult> {
    if (closing_) return nothing_changes;
    UINT flags = MB_TASKMODAL | (buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK);
    switch (icon) {
      case MessageIcon::kInformation: flags |= MB_ICONINFORMATION; break;
      case MessageIcon::kWarning: flags |= MB_ICONWARNING; break;
      case MessageIcon::kError: flags |= MB_ICONERROR; break;
      case MessageIcon::kQuestion: flags |= MB_ICONQUESTION; break;
      case MessageIcon::kNone: break;
    }
    const int pressed = MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), flags);
    return pressed == IDYES  ? MessageResult::kYes
           : pressed == IDNO ? MessageResult::kNo
                             : MessageResult::kOk;
  }).value_or(nothing_changes);
}

}  // namespace lumora
