#include "win32/browser_win.h"

#include <windows.h>
#include <shellapi.h>

#include "win32/com_ref.h"
#include "win32/utf16.h"

namespace lumora {

void ShellBrowser::Open(const std::string& url) {
  // Web addresses only, also when called directly: anything else the shell
  // would run as a program or open as a file.
  if (!IsWebAddress(url)) return;
  ComScope com;  // the shell's handlers may need COM on this thread
  ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lumora
