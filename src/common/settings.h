#pragma once
// The settings file c:\tovkwifi.ini: every key the program reads or writes,
// with its default, and the store that reads and writes them. No cache: each
// read goes to the file and each write reaches the file at once.
#include <mutex>
#include <string>
#include <string_view>

#include "common/file_store.h"

namespace lumora {

struct SettingKey {
  const char* section;
  const char* key;
  const char* fallback;  // value when the file, section or key is missing
};

namespace setting {
inline constexpr SettingKey kSsid{"user", "ssid", "mylove"};
inline constexpr SettingKey kPassphrase{"user", "key", "5094817263"};
inline constexpr SettingKey kSkinHue{"skin", "color", "310"};
inline constexpr SettingKey kMonitor{"monitor", "monitor", "监控"};
inline constexpr SettingKey kTrafficBar{"流量条", "是否开", "否"};
inline constexpr SettingKey kShowPassword{"xsmm", "mm", ""};
inline constexpr SettingKey kAutoStartHotspot{"qidong", "qidong", ""};
// "n": a hotspot the system took down is not started again by itself.
inline constexpr SettingKey kAutoHeal{"huifu", "huifu", "y"};
inline constexpr SettingKey kUseRememberedConnection{"xzk2", "xz", ""};
inline constexpr SettingKey kRememberedConnection{"kdmc", "kdmc", ""};
// Default depends on the screen: see FloatingBarDefaultPosition.
inline constexpr SettingKey kBarPosition{"flowposition", "xy", ""};
inline constexpr SettingKey kAdapterOverride{"1", "1", ""};
inline constexpr SettingKey kAdapterOverrideName{"1", "2", ""};

inline constexpr SettingKey kAll[] = {
    kSsid, kPassphrase, kSkinHue, kMonitor, kTrafficBar, kShowPassword, kAutoStartHotspot, kAutoHeal,
    kUseRememberedConnection, kRememberedConnection, kBarPosition, kAdapterOverride,
    kAdapterOverrideName};
}  // namespace setting

// "left|top" of the floating bar when nothing is stored.
std::string FloatingBarDefaultPosition(int screen_width, int screen_height);

inline constexpr const char* kSettingsPath = "c:\\tovkwifi.ini";
// A value read back is cut to this many bytes (GBK).
inline constexpr std::size_t kMaxSettingBytes = 10239;

class SettingsStore {
 public:
  explicit SettingsStore(FileStore& files, std::string path = kSettingsPath)
      : files_(files), path_(std::move(path)) {}

  // The stored value; `fallback` when the file, section or key is missing;
  // empty when the key stands with an empty value. Names are UTF-8 and match
  // case-insensitively; leading characters up to code 32 are skipped in the
  // path, section and key, and any of them empty then gives empty text.
  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::string_view fallback = {}) const;
  std::string Read(const SettingKey& k) const { return ReadSetting(k.section, k.key, k.fallback); }

  // Writes at once; creates the file on the first write. False when the
  // file could not be written (callers may ignore it, the user is not told).
  bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);
  bool Write(const SettingKey& k, std::string_view value) {
    return WriteSetting(k.section, k.key, value);
  }

 private:
  FileStore& files_;
  std::string path_;
  // Read-change-write of the whole file: one writer at a time, so that two
  // threads writing different keys never lose one of the updates.
  mutable std::mutex mutex_;
};

}  // namespace lumora
