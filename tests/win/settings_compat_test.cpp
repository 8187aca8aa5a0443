// The settings store against the system's own profile functions: a file
// written by either side reads the same on the other.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/gbk.h"
#include "common/settings.h"
#include "win32/file_store_win.h"

namespace lumora {
namespace {

constexpr char kDir[] = "c:\\lumora-tests";
constexpr char kFile[] = "c:\\lumora-tests\\compat.ini";

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The profile functions take ANSI (code page 936 here) text.
std::string OsRead(const std::string& section, const std::string& key, const std::string& def,
                   const char* file = kFile) {
  std::string buffer(10240, '\0');
  const DWORD n = GetPrivateProfileStringA(Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(),
                                           Utf8ToGbk(def).c_str(), buffer.data(), 10240, file);
  buffer.resize(n);
  return GbkToUtf8(buffer);
}

void OsWrite(const std::string& section, const std::string& key, const std::string& value) {
  ASSERT_TRUE(WritePrivateProfileStringA(Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(),
                                         Utf8ToGbk(value).c_str(), kFile));
}

class SettingsCompat : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 936u) << "the test prefix runs with a Chinese locale";
    CreateDirectoryA(kDir, nullptr);
    DeleteFileA(kFile);
  }
  void TearDown() override { DeleteFileA(kFile); }
  Win32FileStore files;
  SettingsStore store{files, kFile};
};

TEST_F(SettingsCompat, WhatWeWriteTheSystemReads) {
  store.WriteSetting("流量条", "是否开", "是");
  store.WriteSetting("user", "ssid", "我的热点 1");
  store.WriteSetting("monitor", "monitor", "");
  store.WriteSetting("user", "ssid", "第二次");  // rewritten in place
  EXPECT_EQ(OsRead("流量条", "是否开", "否"), "是");
  EXPECT_EQ(OsRead("USER", "SSID", "x"), "第二次");
  EXPECT_EQ(OsRead("monitor", "monitor", "监控"), "");  // empty value, not the default
  EXPECT_EQ(OsRead("monitor", "missing", "监控"), "监控");
}

TEST_F(SettingsCompat, WhatTheSystemWritesWeRead) {
  OsWrite("流量条", "是否开", "是");
  OsWrite("kdmc", "kdmc", "本地连接 2");
  OsWrite("monitor", "monitor", "");
  EXPECT_EQ(store.Read(setting::kTrafficBar), "是");
  EXPECT_EQ(store.Read(setting::kRememberedConnection), "本地连接 2");
  EXPECT_EQ(store.Read(setting::kMonitor), "");
  EXPECT_EQ(store.Read(setting::kSsid), "mylove");
  EXPECT_EQ(store.ReadSetting("流量条", "没有"), "");
}

TEST_F(SettingsCompat, BothSidesTakeTurnsOnOneFile) {
  OsWrite("a", "1", "os-1");
  store.WriteSetting("a", "2", "ours-2");
  OsWrite("b", "1", "os-3");
  store.WriteSetting("a", "1", "ours-4");
  OsWrite("a", "2", "os-5");
  EXPECT_EQ(store.ReadSetting("a", "1"), "ours-4");
  EXPECT_EQ(store.ReadSetting("a", "2"), "os-5");
  EXPECT_EQ(store.ReadSetting("b", "1"), "os-3");
  EXPECT_EQ(OsRead("a", "1", ""), "ours-4");
  EXPECT_EQ(OsRead("a", "2", ""), "os-5");
  EXPECT_EQ(OsRead("b", "1", ""), "os-3");
}

TEST_F(SettingsCompat, LeadingBlanksAndTheLengthCutMatchTheSystem) {
  OsWrite("user", "ssid", "abc");
  EXPECT_EQ(store.ReadSetting("  user", "\t ssid", "d"), OsRead("  user", "\t ssid", "d"));
  EXPECT_EQ(store.ReadSetting("  user", "\t ssid", "d"), "abc");
  EXPECT_EQ(store.ReadSetting(" ", "ssid", "d"), "");

  OsWrite("big", "v", std::string(12000, 'x'));
  EXPECT_EQ(store.ReadSetting("big", "v"), std::string(kMaxSettingBytes, 'x'));
  EXPECT_EQ(OsRead("big", "v", ""), std::string(kMaxSettingBytes, 'x'));
}

TEST_F(SettingsCompat, MissingFileGivesEveryDefaultAndStaysMissing) {
  for (const SettingKey& k : setting::kAll) {
    EXPECT_EQ(store.Read(k), k.fallback) << k.section << "/" << k.key;
    EXPECT_EQ(store.Read(k), OsRead(k.section, k.key, k.fallback)) << k.section << "/" << k.key;
  }
  EXPECT_FALSE(Exists(kFile)) << "reading must not create the file";
  store.WriteSetting("qidong", "qidong", "n");
  EXPECT_TRUE(Exists(kFile));
  EXPECT_EQ(OsRead("qidong", "qidong", ""), "n");
}

TEST(SettingsFile, TheRealPathReadsDefaultsWhenAbsent) {
  Win32FileStore files;
  SettingsStore store(files);
  DeleteFileA("c:\\tovkwifi.ini");
  EXPECT_EQ(store.Read(setting::kSsid), "mylove");
  EXPECT_EQ(store.Read(setting::kPassphrase), "5094817263");
  EXPECT_EQ(store.Read(setting::kSkinHue), "310");
  EXPECT_FALSE(Exists("c:\\tovkwifi.ini"));
}

}  // namespace
}  // namespace lumora
