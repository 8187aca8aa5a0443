#include "guard/name_book.h"

#include <optional>

#include "common/gbk.h"
#include "common/lines.h"
#include "guard/device_files.h"

namespace lumora {
namespace {

// The MAC text is written as the name book holds it: GBK bytes.
FileUpdate StoreName(FileStore& files, const std::string& mac, const std::string& name, bool add) {
  const std::string key = Utf8ToGbk(mac);
  if (key.empty()) return FileUpdate::kUnchanged;
  // A name is the rest of one line.
  std::string one_line = name;
  std::erase_if(one_line, [](char c) { return c == '\r' || c == '\n'; });
  const std::string record = key + "+" + Utf8ToGbk(one_line);
  return LockedUpdate(files, kNameBookPath,
                          [&](const std::string& book) -> std::optional<std::string> {
                            const int n = RecordLineOf(book, key);
                            if (n > 0) return OverwriteLine(book, n, record);
                            if (!add) return std::nullopt;
                            return book + "\r\n" + record;
                          });
}

}  // namespace

std::string FindName(FileStore& files, const std::string& mac) {
  return FindNameIn(DeviceFileText(files, kNameBookPath), mac);
}

std::string FindNameIn(const std::string& book, const std::string& mac) {
  const std::string key = Utf8ToGbk(mac);
  if (key.empty()) return {};
  const std::string line = LineAt(book, RecordLineOf(book, key));
  if (line.size() <= 18) return {};
  return GbkToUtf8(std::string_view(line).substr(18));
}

void RecordName(FileStore& files, const std::string& mac, const std::string& name) {
  StoreName(files, mac, name, true);
}

bool RenameDevice(FileStore& files, const std::string& mac, const std::string& name) {
  return StoreName(files, mac, name, false) != FileUpdate::kFailed;
}

}  // namespace lumora
