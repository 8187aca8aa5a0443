// The window port's calls on list views and combo boxes.
#include <windows.h>

#include <commctrl.h>

#include "win32/utf16.h"
#include "win32/window/main_window.h"

namespace lumora {

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

void Win32Window::SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) {
  RunOnUi([&] {
    const HWND view = H(c);
    if (!view) return;
    const int columns = Header_GetItemCount(ListView_GetHeader(view));
    // No drawing while the rows go in. A hidden view is left alone: turning
    // drawing back on would show it.
    const bool shown = (GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(view);
    ListView_SetItemCount(view, int(rows.size()));
    std::wstring text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = int(r);
      text = rows[r].empty() ? std::wstring() : Widen(rows[r][0]);
      item.pszText = text.data();
      const int row = int(ListView_InsertItem(view, &item));
      if (row < 0) break;
      for (int column = 1; column < columns && column < int(rows[r].size()); ++column) {
        if (rows[r][std::size_t(column)].empty()) continue;
        text = Widen(rows[r][std::size_t(column)]);
        ListView_SetItemText(view, row, column, text.data());
      }
    }
    if (shown) {
      SendMessageW(view, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(view, nullptr, TRUE);
    }
  });
}

}  // namespace lumora
