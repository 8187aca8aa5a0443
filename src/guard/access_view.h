#pragma once
// The page "管理用户" in black list and white list mode, and the list views
// loaded from the list files.
#include <string>
#include <vector>

#include "ui/window_port.h"
#include "common/file_store.h"

namespace lumora {

// Captions, the label's place and which lists show, for one mode.
void ApplyModeLayout(WindowPort& ui, bool black_list_mode);

// The view's rows become the file's records: MAC text in the view's MAC
// column, the name in the next one. A missing file is an empty list; one
// another program holds cannot be read and leaves the view as it was.
void LoadListView(FileStore& files, const std::string& path, WindowPort& ui, Ctl view);
// The same from a list file's GBK bytes read already.
void ShowListView(const std::string& bytes, WindowPort& ui, Ctl view);

// The records of a list file's text as a list view shows them: blank lines
// are no records; MAC+name gives both, any other line its MAC text only.
struct ListRecord {
  std::string mac, name;
};
std::vector<ListRecord> ListRecords(const std::string& text);

// Column of the MAC text in a list view of records (black 1, white 0).
int MacColumn(Ctl view);

}  // namespace lumora
