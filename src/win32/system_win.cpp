#include "win32/system_win.h"

#include "win32/app_messages.h"
#include "win32/utf16.h"
#include "win32/window/main_window.h"

namespace lumora {

bool Win32System::ActivateOtherInstance(std::string_view title) {
  HWND other = FindWindowW(nullptr, Widen(title).c_str());
  if (!other || other == window_.Main()) return false;
  ShowWindowAsync(other, SW_SHOWNORMAL);
  return true;
}

OsVersion Win32System::ProcessOsVersion() {
  // GetVersion reports what the system tells this process (the manifest's
  // supported systems decide it on Windows 8.1 and later).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const DWORD version = GetVersion();
#pragma GCC diagnostic pop
  return {int(LOBYTE(LOWORD(version))), int(HIBYTE(LOWORD(version)))};
}

void Win32System::EndProcess() {
  // Posted: the window goes when the caller (maybe a worker, maybe the
  // window's own handler) has returned; the message loop then ends.
  if (HWND main = window_.Main()) PostMessageW(main, kMsgEnd, 0, 0);
  else PostQuitMessage(0);
}

}  // namespace lumora
