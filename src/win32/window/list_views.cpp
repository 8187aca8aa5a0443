// The window port's calls on list views and combo boxes.
#include <windows.h>

#include <commctrl.h>

#include "win32/utf16.h"
#include "win32/window/main_window.h"

namespace lumora {

std::vector<std::string> Win32Window::Items(Ctl c) const {
  return OnUi<std::vector<std::string>>([&] {
    if (const ControlState* held = Held(c)) return held->items;
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

void Win32Window::AddItem(Ctl c, std::string_view text) {
  RunOnUi([this, c, wide = Widen(text)] {
    if (ControlState* held = Held(c)) held->items.push_back(Narrow(wide));
    else SendMessageW(H(c), CB_ADDSTRING, 0, LPARAM(wide.c_str()));
  });
}

// As a combo box takes it: its text becomes the item's, and an index
// outside the items selects nothing and clears the text.
void Win32Window::SelectIndex(Ctl c, int index) {
  RunOnUi([=, this] {
    ControlState* held = Held(c);
    if (!held) {
      SendMessageW(H(c), CB_SETCURSEL, WPARAM(index), 0);
      return;
    }
    const bool in = index >= 0 && index < int(held->items.size());
    held->selected = in ? index : -1;
    held->text = in ? held->items[std::size_t(index)] : std::string();
  });
}

int Win32Window::RowCount(Ctl c) const {
  return OnUi<int>([&] {
    const ControlState* held = Held(c);
    return held ? int(held->rows.size()) : int(ListView_GetItemCount(H(c)));
  });
}

std::string Win32Window::Cell(Ctl c, int row, int column) const {
  return OnUi<std::string>([&] {
    if (const ControlState* held = Held(c)) {
      const bool in = row >= 0 && row < int(held->rows.size()) && column >= 0 &&
                      column < int(held->rows[std::size_t(row)].size());
      return in ? held->rows[std::size_t(row)][std::size_t(column)] : std::string();
    }
    wchar_t text[1024] = {};
    ListView_GetItemText(H(c), row, column, text, 1024);
    return Narrow(text);
  });
}

void Win32Window::SetCell(Ctl c, int row, int column, std::string_view text) {
  RunOnUi([this, c, row, column, wide = Widen(text)] {
    if (ControlState* held = Held(c)) {
      if (row < 0 || row >= int(held->rows.size()) || column < 0) return;
      std::vector<std::string>& cells = held->rows[std::size_t(row)];
      if (column >= int(cells.size())) cells.resize(std::size_t(column) + 1);
      cells[std::size_t(column)] = Narrow(wide);
      return;
    }
    ListView_SetItemText(H(c), row, column, const_cast<wchar_t*>(wide.c_str()));
  });
}

void Win32Window::DeleteRow(Ctl c, int row) {
  RunOnUi([=, this] {
    ControlState* held = Held(c);
    if (!held) ListView_DeleteItem(H(c), row);
    else if (row >= 0 && row < int(held->rows.size())) held->rows.erase(held->rows.begin() + row);
  });
}

void Win32Window::ClearRows(Ctl c) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) held->rows.clear();
    else ListView_DeleteAllItems(H(c));
  });
}

namespace {

// Whether the cell already shows `text`: asked with room for one character
// more, so a longer text never reads as equal.
bool CellShows(HWND view, int row, int column, const std::wstring& text) {
  std::wstring shown(text.size() + 2, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = shown.data();
  item.cchTextMax = int(shown.size());
  const auto length = std::size_t(SendMessageW(view, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item)));
  return length == text.size() && shown.compare(0, length, text) == 0;
}

}  // namespace

// The scans hand over the same rows every tick: only what differs is
// written, so a steady list costs a few reads and no repaint. Any change is
// made with drawing off (a view that draws after every row takes seconds
// for a hundred under Wine). A row whose text changed loses its selection,
// so a list action never hits a device that moved into a selected place.
void Win32Window::SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) {
  RunOnUi([=, this] {
    if (ControlState* held = Held(c)) {
      held->rows = rows;
      return;
    }
    const HWND view = H(c);
    if (!view) return;
    const int columns = Header_GetItemCount(ListView_GetHeader(view));
    const int wanted = int(rows.size());
    const int had = ListView_GetItemCount(view);
    auto wide_cell = [&](int r, int column) {
      const std::vector<std::string>& cells = rows[std::size_t(r)];
      return column < int(cells.size()) ? Widen(cells[std::size_t(column)]) : std::wstring();
    };
    struct Write {
      int row, column;
      std::wstring text;
    };
    std::vector<Write> writes;
    for (int r = 0; r < wanted && r < had; ++r)
      for (int column = 0; column < columns; ++column) {
        std::wstring text = wide_cell(r, column);
        if (!CellShows(view, r, column, text)) writes.push_back({r, column, std::move(text)});
      }
    const int inserted = wanted > had ? wanted - had : 0;
    const int removed = had > wanted ? had - wanted : 0;
    if (writes.empty() && inserted == 0 && removed == 0) return;

    // A hidden view is left alone: turning drawing back on would show it.
    const bool quiet = (GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE) != 0;
    if (quiet) SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    if (wanted == 0) ListView_DeleteAllItems(view);
    for (int r = had; r > wanted; --r) ListView_DeleteItem(view, r - 1);
    int last_changed = -1;
    for (const Write& w : writes) {
      ListView_SetItemText(view, w.row, w.column, const_cast<wchar_t*>(w.text.c_str()));
      if (w.row != last_changed) ListView_SetItemState(view, w.row, 0, LVIS_SELECTED);
      last_changed = w.row;
    }
    if (inserted > 0) ListView_SetItemCount(view, wanted);
    for (int r = had; r < wanted; ++r) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      std::wstring text = wide_cell(r, 0);
      item.pszText = text.data();
      if (ListView_InsertItem(view, &item) < 0) break;
      for (int column = 1; column < columns; ++column) {
        text = wide_cell(r, column);
        if (!text.empty()) ListView_SetItemText(view, r, column, text.data());
      }
    }
    if (quiet) {
      SendMessageW(view, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(view, nullptr, TRUE);
    }
  });
}

}  // namespace lumora
