#include "app_driver.h"

#include <commctrl.h>

#include "win32/app_messages.h"
#include "win32/utf16.h"

namespace lumora::e2e {

HWND FindControl(HWND top, Ctl c) {
  for (const Control& control : ListControls(top))
    if (control.id == ControlId(c)) return control.hwnd;
  return nullptr;
}

std::string TextOf(HWND top, Ctl c) { return WindowText(FindControl(top, c)); }

bool IsChecked(HWND top, Ctl c) {
  return SendMessageW(FindControl(top, c), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsMasked(HWND top, Ctl c) {
  return SendMessageW(FindControl(top, c), EM_GETPASSWORDCHAR, 0, 0) != 0;
}

bool ChooseForRow(HWND list, int row, int item) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!MouseOnCell(list, row, 1, Mouse::kClick) || !MouseOnCell(list, row, 1, Mouse::kRightClick))
      return false;
    if (ChooseMenuItem(item, 1500)) return true;
  }
  return false;
}

void MoveSlider(HWND top, Ctl slider, int position) {
  HWND hwnd = FindControl(top, slider);
  SendMessageW(hwnd, TBM_SETPOS, TRUE, position);
  SendMessageW(GetParent(hwnd), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), LPARAM(hwnd));
  SendMessageW(GetParent(hwnd), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), LPARAM(hwnd));
}

void TypeAndEnter(HWND top, Ctl combo, const std::string& text) {
  HWND box = FindControl(top, combo);
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, LPARAM(Widen(text).c_str()));
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
}

bool StartButtonReads(HWND top, const char* caption) {
  HWND button = FindControl(top, Ctl::按钮开始);
  return button && IsWindowEnabled(button) && WindowText(button) == caption;
}

bool SelectPage(HWND top, int index) {
  HWND tab = FindControl(top, Ctl::选择夹1);
  if (!tab) return false;
  RECT r{};
  if (!AskRect(tab, TCM_GETITEMRECT, WPARAM(index), r)) return false;
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tab, WM_LBUTTONUP, 0, at);
  return true;
}

void TrayClick(HWND top, UINT mouse_message) { PostMessageW(top, kMsgTray, 1, mouse_message); }

HWND OpenPopupMenu(DWORD timeout_ms) {
  HWND menu = nullptr;
  WaitUntil(
      [&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      timeout_ms);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

void ClosePopupMenu() {
  if (HWND menu = FindWindowW(L"#32768", nullptr)) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0);
  }
}

HWND WaitForMessageBox(const std::string& title, DWORD timeout_ms) {
  const std::wstring wide = Widen(title);
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindWindowW(L"#32770", wide.c_str())) != nullptr; }, timeout_ms);
  return box;
}

std::string MessageBoxText(HWND box) {
  // The message is the static control with the identifier 0xFFFF.
  for (const Control& c : ListControls(box))
    if (c.class_name == "Static" && (c.id & 0xFFFF) == 0xFFFF && !c.text.empty()) return c.text;
  return {};
}

void PressOk(HWND box) {
  for (const Control& c : ListControls(box))
    if (c.class_name == "Button") {
      Click(c.hwnd);
      return;
    }
}

void PressAnswer(HWND box, int id) { Click(GetDlgItem(box, id)); }

HWND FindTrafficBar() { return FindWindowW(kBarWindowClass, nullptr); }

}  // namespace lumora::e2e
