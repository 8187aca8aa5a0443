// The list views' menus, the in-place rename and the refresh link. Window
// thread only; the scan worker may rebuild the user list at any moment.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "common/gbk.h"
#include "common/lines.h"
#include "guard/access_view.h"
#include "guard/client_guard.h"
#include "guard/device_files.h"
#include "guard/name_book.h"
#include "ui/port_helpers.h"

namespace lumora {
namespace {

constexpr Ctl kUsers = Ctl::超级列表框1;
constexpr Ctl kBlack = Ctl::超级列表框2;
constexpr Ctl kWhite = Ctl::超级列表框3;
constexpr Ctl kEditor = Ctl::编辑框设备;
constexpr char kBlockedAddress[] = "00-00-00-00-00-00";

void DeleteRowsDescending(WindowPort& ui, Ctl list, std::vector<int> rows) {
  std::sort(rows.rbegin(), rows.rend());
  for (int row : rows) ui.DeleteRow(list, row);
}

// Names and MAC texts are fields of one line.
std::string OneLine(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
             text.end());
  return text;
}

// A record added to a list file that may lack its final CRLF (edited by
// hand) still starts on its own line.
std::string AppendRecord(std::string text, const std::string& record) {
  if (!text.empty() && text.compare(text.size() - std::min<std::size_t>(2, text.size()),
                                    std::string::npos, "\r\n") != 0)
    text += "\r\n";
  return text + record + "\r\n";
}

// A change the file did not take is not shown as made: the user hears why.
void ReportUnsaved(WindowPort& ui, const char* path) {
  ui.ShowMessage(std::string("无法保存到 ") + path + "：磁盘可能已满，或文件正被其他程序使用。本次修改没有保存。",
                 "提示", MessageIcon::kWarning, MessageButtons::kOk);
}

}  // namespace

void ClientGuard::OnListRightClick(Ctl list, int row) {
  if (row < 0) return;
  const std::vector<int> selected = p_.lists.SelectedRows(list);
  if (std::find(selected.begin(), selected.end(), row) == selected.end()) return;
  p_.ui.PopupMenu(list == kUsers ? Popup::加黑 : list == kBlack ? Popup::取消黑 : Popup::移白);
}

void ClientGuard::MoveToBlackList() {
  WindowPort& ui = p_.ui;
  RefreshHotspotInterfaceIndex();
  struct Moved {
    std::string ip, mac, name;
  };
  std::vector<Moved> moved;
  for (int row : p_.lists.SelectedRows(kUsers))
    moved.push_back(
        {ui.Cell(kUsers, row, 1), OneLine(ui.Cell(kUsers, row, 2)), OneLine(ui.Cell(kUsers, row, 3))});
  // The hidden address column of the rows already shown stays with them.
  std::map<std::string, std::string> ips;
  for (int row = 0; row < ui.RowCount(kBlack); ++row)
    ips.emplace(ui.Cell(kBlack, row, 1), ui.Cell(kBlack, row, 0));
  for (const Moved& m : moved) ips.emplace(m.mac, m.ip);

  // The file, not the view, is the base: a scan may have reloaded the view
  // from an older file a moment ago.
  auto merge = [&](std::vector<ListRecord> records) {
    for (const Moved& m : moved) records.push_back({m.mac, m.name});
    std::set<std::string> seen;
    std::vector<ListRecord> unique;
    for (ListRecord& r : records)
      if (seen.insert(r.mac).second) unique.push_back(std::move(r));
    return unique;
  };
  std::vector<ListRecord> shown;
  for (int row = 0; row < ui.RowCount(kBlack); ++row)
    shown.push_back({ui.Cell(kBlack, row, 1), ui.Cell(kBlack, row, 2)});
  std::vector<ListRecord> records = merge(shown);
  const FileUpdate update = LockedUpdate(p_.files, kBlackListPath, [&](const std::string& file) {
    records = merge(ListRecords(GbkToUtf8(file)));
    std::string text;
    for (const ListRecord& r : records) text += r.mac + "+" + r.name + "\r\n";
    return std::optional<std::string>(Utf8ToGbk(text));
  });
  if (update == FileUpdate::kFailed) return ReportUnsaved(ui, kBlackListPath);
  // Only the first device is blocked at once; the next scan blocks the rest.
  if (!moved.empty()) BlockClient(moved.front().ip);

  std::vector<std::vector<std::string>> rows;
  for (const ListRecord& r : records) rows.push_back({ips[r.mac], r.mac, r.name});
  ui.SetRows(kBlack, rows);
  // The moved devices leave the user list, wherever a scan has put them.
  for (int row = ui.RowCount(kUsers) - 1; row >= 0; --row) {
    const std::string ip = ui.Cell(kUsers, row, 1), mac = ui.Cell(kUsers, row, 2);
    if (std::any_of(moved.begin(), moved.end(),
                    [&](const Moved& m) { return m.ip == ip && m.mac == mac; }))
      ui.DeleteRow(kUsers, row);
  }
}

void ClientGuard::CopyToWhiteList() {
  WindowPort& ui = p_.ui;
  const std::vector<int> selected = p_.lists.SelectedRows(kUsers);
  if (selected.empty()) return;
  const std::string mac = Utf8ToGbk(OneLine(ui.Cell(kUsers, selected.front(), 2)));
  const std::string name = Utf8ToGbk(OneLine(ui.Cell(kUsers, selected.front(), 3)));
  if (mac.empty()) return;
  const FileUpdate update = LockedUpdate(p_.files, kWhiteListPath, [&](const std::string& text) {
    const std::string record = mac + "+" + name;
    const int n = RecordLineOf(text, mac);
    return std::optional<std::string>(n > 0 ? WithFinalCrLf(OverwriteLine(text, n, record))
                                            : AppendRecord(text, record));
  });
  if (update == FileUpdate::kFailed) return ReportUnsaved(ui, kWhiteListPath);
  ui.ShowMessage("成功复制到白名单列表，\r\n在[白名单模式]将不拦截此用户。", "信息：",
                 MessageIcon::kInformation, MessageButtons::kOk);
}

// Removes the lines of the selected devices from the list file and their
// rows from the view; true when the file held at least one of them.
bool ClientGuard::RemoveSelected(Ctl view, const char* path) {
  WindowPort& ui = p_.ui;
  const int mac_column = MacColumn(view);
  // Every selected device leaves the file, not only the first: the view
  // must not show as removed what the file still holds.
  std::vector<std::pair<int, std::string>> selected;
  for (int row : p_.lists.SelectedRows(view))
    selected.emplace_back(row, Utf8ToGbk(ui.Cell(view, row, mac_column)));
  if (selected.empty()) return false;
  std::vector<int> removed_rows;
  const auto remove = [&](const std::string& old) -> std::optional<std::string> {
    std::string text = old;
    for (const auto& [row, mac] : selected) {
      const int n = mac.empty() ? 0 : RecordLineOf(text, mac);
      if (n == 0) continue;
      text = WithFinalCrLf(DeleteLine(text, n));
      removed_rows.push_back(row);
    }
    if (removed_rows.empty()) return std::nullopt;
    return text;
  };
  if (LockedUpdate(p_.files, path, remove) == FileUpdate::kFailed) {
    ReportUnsaved(ui, path);
    return false;
  }
  DeleteRowsDescending(ui, view, removed_rows);
  return !removed_rows.empty();
}

void ClientGuard::RemoveFromBlackList() {
  if (!RemoveSelected(kBlack, kBlackListPath)) return;
  // Every block on the hotspot's interface ends; the next scan blocks again
  // the devices still on the black list.
  NeighbourTable table(p_.neighbours);
  for (const NeighbourEntry& e : table.ReadAll())
    if (e.interface_index == std::uint32_t(HotspotInterfaceIndex()) &&
        e.hardware_address == kBlockedAddress)
      table.DeleteByAddress(e.ip_address);
}

void ClientGuard::RemoveFromWhiteList() { RemoveSelected(kWhite, kWhiteListPath); }

void ClientGuard::StartRename(int row) {
  WindowPort& ui = p_.ui;
  if (row < 0 || row >= ui.RowCount(kUsers)) return;
  CommitRename();  // a rename still open ends first
  // The device, not the row: the scan rebuilds the rows every few seconds.
  rename_mac_ = ui.Cell(kUsers, row, 2);
  renaming_ = true;
  const int clicked_column = p_.lists.ColumnAtPointer(kUsers);
  const Point item = p_.lists.ItemPosition(kUsers, row);
  const Rect list = ui.Bounds(kUsers);
  Rect box = ui.Bounds(kEditor);
  box.top = list.top + item.y + 42;
  box.left = list.left + item.x + (clicked_column == 0 ? 0 : 12);
  for (int column = 0; column < 3; ++column) box.left += p_.lists.ColumnWidth(kUsers, column);
  box.width = p_.lists.ColumnWidth(kUsers, 3);
  ui.SetBounds(kEditor, box);
  ui.SetText(kEditor, ui.Cell(kUsers, row, 3));
  ui.SetVisible(kEditor, true);
  p_.lists.Focus(kEditor);
}

void ClientGuard::OnRenameKey(int key) {
  if (key == kEnterKey) CommitRename();
}

void ClientGuard::CommitRename() {
  WindowPort& ui = p_.ui;
  // Hiding the box takes its focus and commits again: that run finds no
  // rename under way.
  if (!renaming_) return;
  renaming_ = false;
  // The row shows what the book can hold: GBK has no emoji.
  const std::string name = GbkToUtf8(Utf8ToGbk(OneLine(ui.Text(kEditor))));
  ui.SetVisible(kEditor, false);
  if (!RenameDevice(p_.files, rename_mac_, name)) return ReportUnsaved(ui, kNameBookPath);
  for (int row = 0; row < ui.RowCount(kUsers); ++row)
    if (ui.Cell(kUsers, row, 2) == rename_mac_) ui.SetCell(kUsers, row, 3, name);
}

void ClientGuard::Refresh() {
  p_.ui.ClearRows(kUsers);
  ClearNeighbourTable();
}

}  // namespace lumora
