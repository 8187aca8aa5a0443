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
  EXPECT_TRUE(port.ReadRows(rows));
  EXPECT_EQ(Win32ReverseLookup().HostName("not an address"), "");
}

TEST(GuardPortsWin, ListViewSelectionPlacesAndWidths) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND view = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!view) GTEST_SKIP() << "no display to create windows on";
  LVCOLUMNW column{LVCF_WIDTH, 0, 108};
  SendMessageW(view, LVM_INSERTCOLUMNW, 0, LPARAM(&column));
  LVITEMW item{LVIF_TEXT};
  item.pszText = const_cast<wchar_t*>(L"x");
  for (item.iItem = 0; item.iItem < 3; ++item.iItem)
    SendMessageW(view, LVM_INSERTITEMW, 0, LPARAM(&item));
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED;
  for (int row : {2, 0}) SendMessageW(view, LVM_SETITEMSTATE, row, LPARAM(&selected));

  Win32ListViews lists([view](Ctl) { return view; });
  EXPECT_EQ(lists.SelectedRows(Ctl::超级列表框1), (std::vector<int>{0, 2}));
  EXPECT_EQ(lists.ColumnWidth(Ctl::超级列表框1, 0), 108);
  EXPECT_GT(lists.ItemPosition(Ctl::超级列表框1, 1).y, lists.ItemPosition(Ctl::超级列表框1, 0).y);
  DestroyWindow(view);
}

}  // namespace
}  // namespace lumora
