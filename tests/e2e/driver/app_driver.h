#pragma once
// Driving LumoraWiFi by the design names of its controls (their control
// identifiers come from the same definition tables the program is built from).
#include <windows.h>

#include <string>

#include "ui/controls.h"
#include "ui_driver.h"

namespace lumora::e2e {

HWND FindControl(HWND top, Ctl c);
std::string TextOf(HWND top, Ctl c);
bool IsChecked(HWND top, Ctl c);
// An edit box in password mode shows a password character.
bool IsMasked(HWND top, Ctl c);

// The start button is enabled and reads `caption`.
bool StartButtonReads(HWND top, const char* caption);

// Moves a slider to `position` and tells its owner, as a drag ending there does.
void MoveSlider(HWND top, Ctl slider, int position);
// Types `text` into a combo box's edit part and presses Enter there.
void TypeAndEnter(HWND top, Ctl combo, const std::string& text);

// Clicks the tab of page `index` as a user would.
bool SelectPage(HWND top, int index);
// The tray icon's mouse messages (WM_LBUTTONUP, WM_RBUTTONUP, ...).
void TrayClick(HWND top, UINT mouse_message);
// The open pop-up menu, if any, and closing it.
HWND OpenPopupMenu(DWORD timeout_ms);
// Selects the list view's row, right-clicks it and picks item `item` of its
// menu; a scan rebuilding the list in between takes the menu: tried 3 times.
bool ChooseForRow(HWND list, int row, int item);
void ClosePopupMenu();

// A message box titled `title` (class #32770), its text, and its OK button.
HWND WaitForMessageBox(const std::string& title, DWORD timeout_ms);
std::string MessageBoxText(HWND box);
void PressOk(HWND box);
// Presses the box's button with this identifier (IDYES, IDNO, ...).
void PressAnswer(HWND box, int id);

// The floating bar window, or null.
HWND FindTrafficBar();

// Polls `done` every 25 ms until it holds or the time is up.
template <class F>
bool WaitUntil(F done, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(25);
  }
}

}  // namespace lumora::e2e
