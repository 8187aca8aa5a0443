#include "guard/access_view.h"

#include <optional>

#include "common/gbk.h"
#include "common/lines.h"
#include "guard/device_files.h"

namespace lumora {

void ApplyModeLayout(WindowPort& ui, bool black) {
  ui.SetText(Ctl::分组框4, black ? "允许上网的用户↓" : "白名单列表↓");
  Rect label = ui.Bounds(Ctl::透明标签3);
  label.left = black ? 130 : 90;
  ui.SetBounds(Ctl::透明标签3, label);
  ui.SetText(Ctl::透明标签3, black ? "右击鼠标拉入黑名单   双击可修改名称备注"
                                  : "当前模式仅允许下表中的用户上网，右击鼠标操作");
  for (Ctl c : kBlackModeControls) ui.SetVisible(c, black);
  for (Ctl c : kWhiteModeControls) ui.SetVisible(c, !black);
}

int MacColumn(Ctl view) { return view == Ctl::超级列表框2 ? 1 : 0; }

std::vector<ListRecord> ListRecords(const std::string& text) {
  std::vector<ListRecord> records;
  for (const std::string& line : SplitLines(text)) {
    // A blank line is no record: it would show as an empty row, and the
    // black list, rewritten from its records, would turn it into a "+" record.
    if (line.empty()) continue;
    std::vector<std::string> fields = SplitAt(line, "+");
    ListRecord r;
    if (!fields.empty()) r.mac = fields[0];
    // MAC+name; a line with more than one "+" keeps its MAC text only.
    if (fields.size() == 2) r.name = fields[1];
    records.push_back(std::move(r));
  }
  return records;
}

void LoadListView(FileStore& files, const std::string& path, WindowPort& ui, Ctl view) {
  // Read under the file's lock, shown after it: a worker must never wait on
  // the window while it holds a file.
  const std::optional<std::string> bytes = LockedRead(files, path);
  if (bytes) ShowListView(*bytes, ui, view);
}

void ShowListView(const std::string& bytes, WindowPort& ui, Ctl view) {
  const std::string text = GbkToUtf8(bytes);
  const int mac_column = MacColumn(view);
  std::vector<std::vector<std::string>> rows;
  for (ListRecord& r : ListRecords(text)) {
    std::vector<std::string> row(std::size_t(mac_column) + 2);
    row[std::size_t(mac_column)] = std::move(r.mac);
    row[std::size_t(mac_column) + 1] = std::move(r.name);
    rows.push_back(std::move(row));
  }
  ui.SetRows(view, rows);
}

}  // namespace lumora
