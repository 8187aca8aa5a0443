#include "win32/window/tray_icon.h"

#include <shellapi.h>

#include "win32/images.h"
#include "win32/system_function.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"

namespace lumora {
namespace {

// The shell library is loaded when the tray icon first appears, not at
// program start: loading it costs a noticeable part of the start-up time.
BOOL NotifyIcon(DWORD action, NOTIFYICONDATAW* data) {
  using Fn = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAW*);
  static const Fn fn = SystemFunction<Fn>(L"shell32.dll", "Shell_NotifyIconW");
  return fn ? fn(action, data) : FALSE;
}

}  // namespace

void TrayIcon::Apply(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callback_;
  // The notification area is drawn at the system's DPI.
  data.hIcon = IconOf(icon_, MetricForDpi(SM_CXSMICON, SystemDpi()));
  const std::wstring tip = Widen(tip_);
  lstrcpynW(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip));
  NotifyIcon(action, &data);
}

void TrayIcon::Show(Image icon, std::string_view tip) {
  icon_ = icon;
  tip_ = std::string(tip);
  Apply(shown_ ? NIM_MODIFY : NIM_ADD);
  shown_ = true;
}

void TrayIcon::SetIcon(Image icon) {
  icon_ = icon;
  if (shown_) Apply(NIM_MODIFY);
}

void TrayIcon::Remove() {
  if (!shown_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = 1;
  NotifyIcon(NIM_DELETE, &data);
  shown_ = false;
}

void TrayIcon::ShowBalloon(std::string_view title, std::string_view text) {
  if (!shown_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = 1;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  lstrcpynW(data.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(data.szInfoTitle));
  lstrcpynW(data.szInfo, Widen(text).c_str(), ARRAYSIZE(data.szInfo));
  NotifyIcon(NIM_MODIFY, &data);
}

void TrayIcon::ShowAgain() {
  if (shown_) Apply(NIM_ADD);
}

}  // namespace lumora
