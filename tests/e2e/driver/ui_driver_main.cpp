// ui_driver: the end-to-end driver for scripts and people.
//   ui_driver wait TITLE [MS]      waits until the window is visible
//   ui_driver list TITLE           one line per control: id class visible enabled checked text
//   ui_driver click TITLE TEXT     clicks the first button whose text is TEXT
//   ui_driver close TITLE          closes the window as its close box does
//   ui_driver shot PATH.bmp        saves the screen
//   ui_driver page TITLE N         selects tab page N (from 0) as a click on its tab does
//   ui_driver waitfor TITLE TEXT [MS]
//                                  waits until a visible, enabled control reads TEXT or a
//                                  cell of a visible list view does; prints that row
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app_driver.h"
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
  Print("usage: ui_driver wait|list|click|close|page|waitfor TITLE [...] | shot PATH\n");
  return 2;
}

// The row of a visible list view with a cell reading `text`, its cells
// joined by tabs; empty when there is none.
std::string RowWithCell(const std::vector<Control>& controls, const std::string& text) {
  for (const Control& c : controls) {
    if (c.class_name != "SysListView32" || !IsWindowVisible(c.hwnd)) continue;
    HWND header = HWND(SendMessageW(c.hwnd, LVM_GETHEADER, 0, 0));
    const int columns = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (const auto& row : ListViewRows(c.hwnd, columns > 0 ? columns : 1)) {
      bool found = false;
      std::string line;
      for (const std::string& cell : row) {
        found = found || cell == text;
        line += (line.empty() ? "" : "\t") + cell;
      }
      if (found) return line;
    }
  }
  return {};
}

// A visible, enabled control reading `text` (a button's caption, a label), or
// the list view row that holds it.
std::string Shows(HWND top, const std::string& text) {
  const auto controls = ListControls(top);
  for (const Control& c : controls)
    if (c.text == text && IsWindowVisible(c.hwnd) && c.enabled) return text;
  return RowWithCell(controls, text);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  const std::string arg = Narrow(argv[2]);
  if (command == L"shot") return SaveScreenshot(arg) ? 0 : 1;

  DWORD wait_ms = 10000;
  if (command == L"wait" && argc > 3) wait_ms = DWORD(_wtoi(argv[3]));
  if (command == L"waitfor" && argc > 4) wait_ms = DWORD(_wtoi(argv[4]));
  HWND top = WaitForWindow(arg, wait_ms);
  if (!top) {
    Print("no visible window titled " + arg + "\n");
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"page" && argc > 3) {
    if (SelectPage(top, _wtoi(argv[3]))) return 0;
    Print("no tab control in " + arg + "\n");
    return 1;
  }
  if (command == L"waitfor" && argc > 3) {
    const std::string text = Narrow(argv[3]);
    std::string shown;
    if (WaitUntil([&] { return !(shown = Shows(top, text)).empty(); }, wait_ms)) {
      Print(shown + "\n");
      return 0;
    }
    Print("nothing in " + arg + " read " + text + " within " + std::to_string(wait_ms) + " ms\n");
    return 1;
  }
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
