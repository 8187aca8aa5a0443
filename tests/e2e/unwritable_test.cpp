// The settings file and the list files when the real program cannot rewrite
// them while it runs: another program holds them open without sharing, they
// turn read-only, or the disk is full. A list change the file did not take
// is reported and not shown as made; the settings file keeps every byte (a replacement that
// stops half way would tear it); once the files can be written again the
// same change goes through, and nothing half-written is left beside them.
//
// The full disk needs drive C on a small disk of its own: scripts/lib/env.sh
// run_on_full_disk sets that up and LUMORA_FULL_DISK; without it the row is
// skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "app_driver.h"
#include "common/gbk.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "prepared_files.h"
#include "screenshot.h"

namespace lumora::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kFillDir[] = "c:\\lumora-fill";

enum class Kind { kLocked, kReadOnly, kDiskFull };

// Keeps the program from writing until lifted: both list files held open
// with no sharing (reads and replacements fail) or made read-only by their
// owner; or drive C filled, one file taking every free block and empty
// files every free file entry, so neither a longer file nor a new one fits.
class Blocker {
 public:
  explicit Blocker(Kind kind) : kind_(kind) {
    if (kind == Kind::kDiskFull) FillDisk();
    for (const char* path : {kBlackPath, kWhitePath}) {
      if (kind == Kind::kReadOnly) SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
      if (kind == Kind::kLocked)
        locks_.push_back(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
  }
  ~Blocker() { Lift(); }
  void Lift() {
    for (HANDLE h : locks_) CloseHandle(h);
    locks_.clear();
    if (kind_ == Kind::kReadOnly)
      for (const char* path : {kBlackPath, kWhitePath}) SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    for (; fillers_ >= 0; --fillers_) DeleteFileA(Filler(fillers_).c_str());
    RemoveDirectoryA(kFillDir);
  }

 private:
  static std::string Filler(int n) { return std::string(kFillDir) + "\\" + std::to_string(n); }
  void FillDisk() {
    CreateDirectoryA(kFillDir, nullptr);
    HANDLE big = CreateFileA(Filler(0).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string chunk(1 << 16, 'f');
    DWORD wrote = 0;
    while (WriteFile(big, chunk.data(), DWORD(chunk.size()), &wrote, nullptr) && wrote) {
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL)) << "the disk never filled";
    CloseHandle(big);
    for (fillers_ = 1; fillers_ < 100000; ++fillers_) {
      HANDLE empty = CreateFileA(Filler(fillers_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      if (empty == INVALID_HANDLE_VALUE) break;
      CloseHandle(empty);
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL)) << "no file entry ran out";
  }

  Kind kind_;
  std::vector<HANDLE> locks_;
  int fillers_ = -1;
};

struct Condition {
  const char* name;
  Kind kind;
};

std::ostream& operator<<(std::ostream& out, const Condition& c) { return out << c.name; }

const Condition kConditions[] = {
    {"Locked", Kind::kLocked}, {"ReadOnly", Kind::kReadOnly}, {"DiskFull", Kind::kDiskFull}};

// The list's menu action gets a box naming the file; the rows stay.
void RefusedWithItsReason(HWND main, HWND list, const char* path, int columns, const char* shot) {
  const Rows before = ListViewRows(list, columns);
  ASSERT_TRUE(ChooseForRow(list, 0, 0));
  HWND box = WaitForMessageBox("提示", 5000);
  ASSERT_TRUE(box) << "no message for " << path;
  EXPECT_EQ(MessageBoxText(box), Unsaved(path));
  Shot(shot);
  PressOk(box);
  EXPECT_EQ(ListViewRows(list, columns), before);
  EXPECT_TRUE(Answers(main));
}

class Unwritable : public ::testing::TestWithParam<Condition> {
 protected:
  void SetUp() override {
    if (GetParam().kind == Kind::kDiskFull && !std::getenv("LUMORA_FULL_DISK"))
      GTEST_SKIP() << "drive C is not a small disk of its own here";
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    ResetStandins();
    prepared_.emplace_back(
        new PreparedFile(kIniPath, Prep::kBytes, "[user]\r\nssid=mylove\r\nkey=5094817263\r\n"));
    prepared_.emplace_back(new PreparedFile(
        kBlackPath, Prep::kBytes, Utf8ToGbk("02-11-22-33-44-77+隔壁\r\n02-11-22-33-44-78+楼下\r\n")));
    prepared_.emplace_back(new PreparedFile(kWhitePath, Prep::kBytes, Utf8ToGbk("02-11-22-33-44-55+安卓\r\n")));
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "无线网络连接 2");
    for (const char* path : {kIniPath, kBlackPath, kWhitePath}) before_.push_back(Snapshot(path));
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
  std::vector<std::unique_ptr<PreparedFile>> prepared_;
  std::vector<std::string> before_;
};

TEST_P(Unwritable, ChangesAreRefusedAloudAndNoFileIsTorn) {
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(SelectPage(main, 1));
  HWND black = FindControl(main, Ctl::超级列表框2), white = FindControl(main, Ctl::超级列表框3);
  ASSERT_EQ(ListViewRows(black, 3).size(), 2u);

  // The white list loads when its mode is chosen: chosen while the file
  // reads. The clicks wait for their handlers, which read and write files.
  std::optional<Blocker> blocker(std::in_place, GetParam().kind);
  if (HasFailure()) return;
  RefusedWithItsReason(main, black, kBlackPath, 3, "unwritable-black");
  blocker.reset();
  ClickAndWait(FindControl(main, Ctl::单选框白));
  ASSERT_TRUE(IsWindowVisible(white));
  // The settings file just short of a block, so the start's longer name
  // needs one more.
  std::string ini = Snapshot(kIniPath) + "[pad]\r\nfiller=";
  ini += std::string(4086 - 2 - ini.size(), 'x') + "\r\n";
  ASSERT_TRUE(files_.WriteAll(kIniPath, ini));
  before_[0] = ini;
  blocker.reset();
  blocker.emplace(GetParam().kind);

  // A start with a longer name and pass phrase: the hotspot runs, the file
  // keeps what it held.
  ASSERT_TRUE(SelectPage(main, 0));
  TypeText(FindControl(main, Ctl::编辑框名称), std::string(32, 'N'));
  TypeText(FindControl(main, Ctl::编辑框密码), std::string(63, 'k'));
  Click(FindControl(main, Ctl::按钮开始));
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  Click(FindControl(main, Ctl::按钮开始));
  EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000));

  ASSERT_TRUE(SelectPage(main, 1));
  RefusedWithItsReason(main, white, kWhitePath, 2, "unwritable-white");
  ClickAndWait(FindControl(main, Ctl::单选框黑));  // the mode is a setting: on a full disk its write fails unseen

  // Writable again: the same change goes through.
  blocker->Lift();
  const char* paths[] = {kIniPath, kBlackPath, kWhitePath};
  // On a full disk the settings file took nothing either, byte for byte.
  for (int i = GetParam().kind == Kind::kDiskFull ? 0 : 1; i < 3; ++i)
    EXPECT_EQ(Snapshot(paths[i]), before_[i]) << paths[i];
  ASSERT_TRUE(ChooseForRow(black, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(black, 3).size() == 1; }, 3000));
  EXPECT_FALSE(WaitForMessageBox("提示", 500));
  EXPECT_EQ(GbkToUtf8(Snapshot(kBlackPath)), "02-11-22-33-44-78+楼下\r\n");

  CloseAndExpectEnd(program, main);
  EXPECT_EQ(Snapshot(kWhitePath), before_[2]);
  for (const char* path : paths)
    EXPECT_EQ(GetFileAttributesA((std::string(path) + ".new").c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

INSTANTIATE_TEST_SUITE_P(Unwritable, Unwritable, ::testing::ValuesIn(kConditions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumora::e2e
