// ui_driver: the end-to-end driver for scripts and people.
//   ui_driver wait TITLE [MS]      waits until the window is visible
//   ui_driver list TITLE           one line per control: id class visible enabled checked text
//   ui_driver click TITLE TEXT     clicks the first button whose text is TEXT
//   ui_driver close TITLE          closes the window as its close box does
//   ui_driver shot PATH.bmp        saves the screen
#include <windows.h>

#include <cstdio>
#include <string>

#include "screenshot.h"
#include "ui_driver.h"
#include "win32/utf16.h"

using namespace lumora;
using namespace lumora::e2e;

namespace {

void Print(const std::string& utf8) {
  DWORD wrote = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), DWORD(utf8.size()), &wrote, nullptr);
}

int Usage() {
  Print("usage: ui_driver wait|list|click|close TITLE [...] | shot PATH\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  const std::string arg = Narrow(argv[2]);
  if (command == L"shot") return SaveScreenshot(arg) ? 0 : 1;

  const DWORD wait_ms = (command == L"wait" && argc > 3) ? DWORD(_wtoi(argv[3])) : 10000;
  HWND top = WaitForWindow(arg, wait_ms);
  if (!top) {
    Print("no visible window titled " + arg + "\n");
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"close") {
    RequestClose(top);
    return 0;
  }
  const auto controls = ListControls(top);
  if (command == L"list") {
    for (const Control& c : controls) {
      char head[96];
      std::snprintf(head, sizeof(head), "%d %s %d %d %d ", c.id, c.class_name.c_str(), c.visible,
                    c.enabled, c.checked);
      Print(head + c.text + "\n");
    }
    return 0;
  }
  if (command == L"click" && argc > 3) {
    const std::string text = Narrow(argv[3]);
    for (const Control& c : controls)
      if (c.class_name == "Button" && c.text == text) {
        Click(c.hwnd);
        return 0;
      }
    Print("no button " + text + "\n");
    return 1;
  }
  return Usage();
}
