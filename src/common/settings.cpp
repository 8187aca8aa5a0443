#include "common/settings.h"

#include "common/gbk.h"
#include "common/ini_text.h"

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
  FileRead file;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    file = files_.ReadAll(std::string(path));
  }
  if (file.status != FileRead::kOk) return std::string(fallback);
  const auto value = IniGet(file.bytes, Utf8ToGbk(section), Utf8ToGbk(key));
  if (!value) return std::string(fallback);
  return GbkToUtf8(CutGbk(*value, kMaxSettingBytes));
}

bool SettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                 std::string_view value) {
  const std::string_view path = SkipLeadingControls(path_);
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  if (path.empty() || section.empty() || key.empty()) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  const FileRead before = files_.ReadAll(std::string(path));
  if (before.status == FileRead::kFailed) return false;  // never overwrite what we could not read
  const std::string after =
      IniSet(before.bytes, Utf8ToGbk(section), Utf8ToGbk(key), Utf8ToGbk(value));
  return files_.WriteAll(std::string(path), after);
}

}  // namespace lumora
