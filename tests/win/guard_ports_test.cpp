// The client guard's Windows ports: the neighbour table, reverse lookups
// and the list views' selection and places.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "guard/neighbour_table.h"
#include "win32/list_views_win.h"
#include "win32/neighbours_win.h"
#include "win32/reverse_lookup_win.h"

namespace lumora {
namespace {

TEST(GuardPortsWin, NeighbourTableAndReverseLookup) {
  Win32NeighbourPort port;
  std::vector<NeighbourRow> rows;
  ASSERT_TRUE(port.ReadRows(rows));
  for (const NeighbourEntry& e : NeighbourTable(port).ReadAll()) EXPECT_LE(e.entry_type, 4u);
  NeighbourTable(port).DeleteByAddress("203.0.113.77");  // not there: nothing happens
  EXPECT_EQ(Win32ReverseLookup().HostName("not an address"), "");
}

TEST(GuardPortsWin, ListViewSelectionPlacesAndWidths) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND view = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!view) GTEST_SKIP() << "no display to create windows on";
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  for (int width : {20, 108}) {
    column.cx = width;
    SendMessageW(view, LVM_INSERTCOLUMNW, 9, LPARAM(&column));
  }
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  wchar_t text[] = L"x";
  item.pszText = text;
  for (int i = 0; i < 3; ++i) {
    item.iItem = i;
    SendMessageW(view, LVM_INSERTITEMW, 0, LPARAM(&item));
  }
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageW(view, LVM_SETITEMSTATE, 2, LPARAM(&state));
  SendMessageW(view, LVM_SETITEMSTATE, 0, LPARAM(&state));

  Win32ListViews lists([view](Ctl) { return view; });
  EXPECT_EQ(lists.SelectedRows(Ctl::超级列表框1), (std::vector<int>{0, 2}));
  EXPECT_EQ(lists.ColumnWidth(Ctl::超级列表框1, 1), 108);
  EXPECT_GT(lists.ItemPosition(Ctl::超级列表框1, 1).y, lists.ItemPosition(Ctl::超级列表框1, 0).y);
  DestroyWindow(view);
}

}  // namespace
}  // namespace lumora
