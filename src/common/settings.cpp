#include "common/settings.h"

#include "common/gbk.h"
#include "common/ini_text.h"
#include "common/locked_file.h"

namespace lumora {

std::string FloatingBarDefaultPosition(int screen_width, int screen_height, int scale_percent) {
  // The distances from the screen's corner grow with the bar, so a bar drawn
  // larger on a screen of more dots per inch stays on the screen.
  const int right = 186 * scale_percent / 100, bottom = 118 * scale_percent / 100;
  return std::to_string(screen_width - right) + "|" + std::to_string(screen_height - bottom);
}

std::string SettingsStore::ReadSetting(std::string_view section, std::string_view key,
                                       std::string_view fallback) const {
  const std::string_view path = SkipLeadingControls(path_);
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  if (path.empty() || section.empty() || key.empty()) return {};
  const std::optional<std::string> file = LockedRead(files_, std::string(path));
  if (!file) return std::string(fallback);
  const auto value = IniGet(*file, Utf8ToGbk(section), Utf8ToGbk(key));
  if (!value) return std::string(fallback);
  return GbkToUtf8(CutGbk(*value, kMaxSettingBytes));
}

bool SettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                 std::string_view value) {
  const std::string_view path = SkipLeadingControls(path_);
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  if (path.empty() || section.empty() || key.empty()) return false;
  // A file that could not be read is never overwritten.
  return LockedUpdate(files_, std::string(path), [&](const std::string& before) {
           return std::optional<std::string>(
               IniSet(before, Utf8ToGbk(section), Utf8ToGbk(key), Utf8ToGbk(value)));
         }) == FileUpdate::kWritten;
}

}  // namespace lumora
