#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/gbk.h"
#include "common/locked_file.h"
#include "common/settings.h"
#include "fakes/memory_files.h"

namespace lumora {
namespace {

constexpr char kPath[] = "c:\\tovkwifi.ini";

TEST(Settings, MissingFileGivesEveryDefaultAndIsNotCreated) {
  fakes::MemoryFiles files;
  SettingsStore store(files);
  const std::pair<SettingKey, const char*> expected[] = {
      {setting::kSsid, "mylove"},   {setting::kPassphrase, "5094817263"},
      {setting::kSkinHue, "310"},   {setting::kMonitor, "监控"},
      {setting::kTrafficBar, "否"}, {setting::kShowPassword, ""},
      {setting::kAutoStartHotspot, ""}, {setting::kUseRememberedConnection, ""},
      {setting::kRememberedConnection, ""}, {setting::kAdapterOverride, ""},
      {setting::kAdapterOverrideName, ""},
  };
  for (const auto& [key, want] : expected) EXPECT_EQ(store.Read(key), want) << key.key;
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(files.writes, 0);
  EXPECT_EQ(FloatingBarDefaultPosition(1280, 1024), "1094|906");
  EXPECT_EQ(FloatingBarDefaultPosition(1280, 1024, 200), "908|788");  // the bar twice as large
}

TEST(Settings, EmptyValueIsUsedAndCaseRules) {
  fakes::MemoryFiles files;
  files.files[kPath] = Utf8ToGbk("[monitor]\r\nmonitor=\r\n[QiDong]\r\nQIDONG=Y\r\n");
  SettingsStore store(files);
  EXPECT_EQ(store.Read(setting::kMonitor), "");    // stands empty: not "监控"
  EXPECT_EQ(store.Read(setting::kAutoStartHotspot), "Y");  // names fold, values do not
  EXPECT_EQ(store.ReadSetting("monitor", "other"), "");
  EXPECT_EQ(store.ReadSetting("monitor", "other", "d"), "d");
}

TEST(Settings, WritesAreGbkAndReadBackAsUtf8) {
  fakes::MemoryFiles files;
  SettingsStore store(files);
  EXPECT_TRUE(store.Write(setting::kTrafficBar, "是"));
  EXPECT_EQ(files.files[kPath], "[\xC1\xF7\xC1\xBF\xCC\xF5]\r\n\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7\r\n");
  EXPECT_EQ(store.Read(setting::kTrafficBar), "是");
  store.Write(setting::kAutoStartHotspot, "y");
  store.Write(setting::kAutoStartHotspot, "n");
  EXPECT_EQ(store.Read(setting::kAutoStartHotspot), "n");
}

TEST(Settings, BlankNamesGiveEmptyText) {
  fakes::MemoryFiles files;
  files.files[kPath] = "[user]\r\nssid=x\r\n";
  SettingsStore store(files);
  EXPECT_EQ(store.ReadSetting(" \t", "ssid", "d"), "");
  EXPECT_EQ(store.ReadSetting("user", "\x01", "d"), "");
  EXPECT_FALSE(store.WriteSetting("", "ssid", "y"));
  SettingsStore blank_path(files, "  ");
  EXPECT_EQ(blank_path.ReadSetting("user", "ssid", "d"), "");
}

TEST(Settings, LongValuesAreCutWithoutSplittingACharacter) {
  fakes::MemoryFiles files;
  SettingsStore store(files);
  files.files[kPath] = "[a]\r\nascii=" + std::string(20000, 'x') + "\r\n" +
                       "wide=x" + std::string(12000, '\xD6') + "\r\n";
  EXPECT_EQ(store.ReadSetting("a", "ascii"), std::string(kMaxSettingBytes, 'x'));
  // "x" + 5119 double-byte characters fill 10239 bytes exactly.
  const std::string wide = store.ReadSetting("a", "wide");
  EXPECT_EQ(Utf8ToGbk(wide).size(), kMaxSettingBytes);
  files.files[kPath] = "[a]\r\nwide=" + std::string(12000, '\xD6') + "\r\n";
  EXPECT_EQ(Utf8ToGbk(store.ReadSetting("a", "wide")).size(), kMaxSettingBytes - 1);
}

TEST(Settings, UnreadableFileIsNeverReplaced) {
  fakes::MemoryFiles files;
  files.files[kPath] = "[user]\r\nssid=keep\r\n";
  files.unreadable.insert(kPath);
  SettingsStore store(files);
  EXPECT_EQ(store.Read(setting::kSsid), "mylove");
  EXPECT_FALSE(store.WriteSetting("user", "key", "x"));
  EXPECT_EQ(files.files[kPath], "[user]\r\nssid=keep\r\n");
  files.unreadable.clear();
  files.unwritable.insert(kPath);
  EXPECT_FALSE(store.WriteSetting("user", "key", "x"));
}

// Stores of their own and a plain locked change of the same file: the
// file's one lock serves them all.
TEST(Settings, ConcurrentWritersLoseNoUpdate) {
  fakes::MemoryFiles files;
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&files, t] {
      SettingsStore own(files);
      for (int i = 0; i < 50; ++i)
        own.WriteSetting("s" + std::to_string(t), "k" + std::to_string(i), std::to_string(i));
    });
  writers.emplace_back([&files] {
    for (int i = 0; i < 50; ++i)
      LockedUpdate(files, kPath, [i](const std::string& text) {
        return std::optional<std::string>(text + "\r\n[raw" + std::to_string(i) + "]\r\nk=1");
      });
  });
  for (auto& w : writers) w.join();
  SettingsStore store(files);
  for (int i = 0; i < 50; ++i) {
    for (int t = 0; t < 4; ++t)
      EXPECT_EQ(store.ReadSetting("s" + std::to_string(t), "k" + std::to_string(i)),
                std::to_string(i));
    EXPECT_EQ(store.ReadSetting("raw" + std::to_string(i), "k"), "1");
  }
}

}  // namespace
}  // namespace lumora
