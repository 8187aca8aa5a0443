// The client guard as a user of the real program meets it, inside the test
// client network (scripts/lib/env.sh netns_up): three phones are neighbours
// of the hotspot's adapter lumora0, their reverse names come from the
// namespace's hosts file, and one of them is on the black list from the
// start. Skipped outside that network.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "app_driver.h"
#include "common/gbk.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "prepared_files.h"
#include "screenshot.h"
#include "standin_files.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"

namespace lumora::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// As scripts/lib/env.sh sets them up.
constexpr char kAndroidIp[] = "192.168.137.23", kAndroidMac[] = "02-11-22-33-44-55";
constexpr char kIphoneIp[] = "192.168.137.24", kIphoneMac[] = "02-11-22-33-44-66";
constexpr char kBannedIp[] = "192.168.137.25", kBannedMac[] = "02-11-22-33-44-77";
constexpr DWORD kTwoTicks = 2 * 6000 + 3000;

// Read with every kind of sharing: the program replaces these files whole,
// which fails while another process holds them without it.
std::string FileText(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return GbkToUtf8(bytes);
}

// The interface index of the hotspot's adapter, as the program finds it.
DWORD HotspotIndex() {
  ULONG size = 0;
  GetAdaptersInfo(nullptr, &size);
  std::vector<char> buffer(size);
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (!size || GetAdaptersInfo(info, &size) != NO_ERROR) return 0;
  for (; info; info = info->Next)
    if (std::string(info->AdapterName).find("lumora0") != std::string::npos ||
        std::string(info->IpAddressList.IpAddress.String) == "192.168.137.1")
      return info->Index;
  return 0;
}

std::string Block(const std::string& ip) {
  return "interface ipv4 set neighbors " + std::to_string(HotspotIndex()) + " \"" + ip +
         "\" \"00-00-00-00-00-00\" store=active";
}

class GuardEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("LUMORA_NETNS")) GTEST_SKIP() << "not inside the test client network";
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiname.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
    for (const char* f : {"netsh.log", "netsh-fail.txt"})
      DeleteFileA((std::string(kDir) + "\\" + f).c_str());
    WriteText("sharing.ini", "宽带连接|2|none\r\nlumora0|7|none\r\n");
    WriteText("netsh-state.ini", "adapter=lumora0\r\ndhcp=0\r\n");
    std::ofstream("c:\\wifiblack.txt", std::ios::binary)
        << Utf8ToGbk("02-11-22-33-44-77+隔壁\r\n");
    // The hosted adapter is the namespace's interface.
    settings_.Write(setting::kAdapterOverride, "1");
    settings_.Write(setting::kAdapterOverrideName, "lumora0");
  }

  Win32FileStore files_;
  SettingsStore settings_{files_};
};

TEST_F(GuardEndToEnd, ListsNamesBlocksAndActsOnThePhones) {
  ASSERT_NE(HotspotIndex(), 0u);
  Program program(ProgramPath());
  HWND main = WaitForMain(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 15000));
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 30000));
  ASSERT_TRUE(SelectPage(main, 1));
  HWND users = FindControl(main, Ctl::超级列表框1), black = FindControl(main, Ctl::超级列表框2),
       white = FindControl(main, Ctl::超级列表框3), editor = FindControl(main, Ctl::编辑框设备);

  // Both phones with their names within two ticks; the black-listed one
  // never listed, but blocked on the hotspot's interface.
  const Rows listed = {{"1", kAndroidIp, kAndroidMac, "安卓设备"},
                       {"2", kIphoneIp, kIphoneMac, "苹果手机"}};
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(users, 4) == listed; }, kTwoTicks))
      << ListViewRows(users, 4).size() << " rows";
  EXPECT_EQ(FileText("c:\\wifiname.txt"), std::string("\r\n") + kAndroidMac + "+安卓设备\r\n" +
                                              kIphoneMac + "+苹果手机");
  EXPECT_TRUE(Has(ReadText("netsh.log"), Block(kBannedIp))) << ReadText("netsh.log");
  EXPECT_FALSE(Has(ReadText("netsh.log"), Block(kAndroidIp)));
  EXPECT_EQ(ListViewRows(black, 3), (Rows{{"", kBannedMac, "隔壁"}}));
  Shot("guard-black-mode");

  // A rename committed with Enter lands in the book and outlives a scan.
  ASSERT_TRUE(MouseOnCell(users, 1, 3, Mouse::kDoubleClick));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor); }, 3000));
  EXPECT_EQ(WindowText(editor), "苹果手机");
  TypeText(editor, "李雷的手机");
  Shot("guard-rename");
  PressKey(editor, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return Has(FileText("c:\\wifiname.txt"), std::string(kIphoneMac) + "+李雷的手机"); }, 3000));

  // The same from the keyboard: Home picks the first row, Enter opens the
  // editor on it, borderless and the row's height, and Enter commits.
  PressKey(users, VK_HOME);
  PressKey(users, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor); }, 3000)) << "Enter opened no editor";
  EXPECT_EQ(WindowText(editor), "安卓设备");
  RECT cell{LVIR_BOUNDS, 3, 0, 0}, placed{};
  ASSERT_TRUE(AskRect(users, LVM_GETSUBITEMRECT, 0, cell));
  MapWindowPoints(users, HWND_DESKTOP, reinterpret_cast<POINT*>(&cell), 2);
  GetWindowRect(editor, &placed);
  EXPECT_EQ(placed.top, cell.top);
  EXPECT_EQ(placed.bottom, cell.bottom);
  Shot("guard-rename-keyboard");
  PressKey(editor, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }, 3000));

  // What else the box may get, on the Android phone: each name is shown and
  // kept as the book holds it; a name holding the other phone's MAC text
  // does not become that phone's record; a book another program holds, or
  // one made read-only, takes nothing, and the user hears so.
  enum Book { kFree, kLocked, kReadOnly };
  const struct {
    std::string typed, kept;
    Book book;
  } renames[] = {
      {"", "", kFree},
      {Repeat("长", 200), Repeat("长", 200), kFree},
      {"\xF0\x9F\x93\xB1手机", "?手机", kFree},
      {std::string(kIphoneMac) + "的", std::string(kIphoneMac) + "的", kFree},
      {"锁住", std::string(kIphoneMac) + "的", kLocked},
      {"只读", std::string(kIphoneMac) + "的", kReadOnly},
  };
  for (const auto& r : renames) {
    SCOPED_TRACE(r.typed);
    HANDLE lock = r.book == kLocked ? CreateFileA(kBookPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
    if (r.book == kReadOnly) SetFileAttributesA(kBookPath, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(MouseOnCell(users, 0, 3, Mouse::kDoubleClick));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor); }, 3000));
    TypeText(editor, r.typed);
    PressKey(editor, VK_RETURN);
    if (r.book != kFree) {
      HWND box = WaitForMessageBox("提示", 5000);
      ASSERT_TRUE(box);
      EXPECT_EQ(MessageBoxText(box), Unsaved(kBookPath));
      Shot("guard-rename-refused");
      PressOk(box);
      if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
      SetFileAttributesA(kBookPath, FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }, 3000));
    EXPECT_EQ(ListViewRows(users, 4)[0][3], r.kept);
    EXPECT_TRUE(Has(FileText("c:\\wifiname.txt"), std::string(kAndroidMac) + "+" + r.kept + "\r\n"));
  }
  Sleep(6500);
  ASSERT_EQ(ListViewRows(users, 4).size(), 2u);
  EXPECT_EQ(ListViewRows(users, 4)[0][3], std::string(kIphoneMac) + "的");
  EXPECT_EQ(ListViewRows(users, 4)[1][3], "李雷的手机");
  ASSERT_TRUE(MouseOnCell(users, 0, 3, Mouse::kDoubleClick));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(editor); }, 3000));
  TypeText(editor, "安卓设备");
  PressKey(editor, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); }, 3000));

  // The Android phone onto the white list.
  ASSERT_TRUE(ChooseForRow(users, 0, 1));
  HWND box = WaitForMessageBox("信息：", 5000);
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), "成功复制到白名单列表，\r\n在[白名单模式]将不拦截此用户。");
  PressOk(box);
  EXPECT_EQ(FileText("c:\\wifiwhite.txt"), std::string(kAndroidMac) + "+安卓设备\r\n");

  // Off the black list: the line goes (the neighbour entries it deletes stay
  // under Wine, whose deletion does nothing).
  ASSERT_TRUE(ChooseForRow(black, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(black, 3).empty(); }, 3000));
  EXPECT_EQ(FileText("c:\\wifiblack.txt"), "");

  // The refresh link empties the list; the next scan lists the phones again.
  ClickLink(FindControl(main, Ctl::超级链接框刷新));
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(users, 4).empty(); }, 3000));

  // White list mode: the white list shows, the user list hides, and the
  // phone not on the list is blocked at the next pass.
  Click(FindControl(main, Ctl::单选框白));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(white) && !IsWindowVisible(users); }, 3000));
  EXPECT_EQ(ListViewRows(white, 2), (Rows{{kAndroidMac, "安卓设备"}}));
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  EXPECT_TRUE(WaitUntil([&] { return Has(ReadText("netsh.log"), Block(kIphoneIp)); }, kTwoTicks));
  EXPECT_FALSE(Has(ReadText("netsh.log"), Block(kAndroidIp))) << ReadText("netsh.log");
  Shot("guard-white-mode");
  // Another program holds the white list: the listed phone is not blocked
  // and the list still shows.
  HANDLE lock = CreateFileA(kWhitePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  Sleep(kTwoTicks);
  Shot("guard-white-locked");
  CloseHandle(lock);
  EXPECT_FALSE(Has(ReadText("netsh.log"), Block(kAndroidIp))) << ReadText("netsh.log");
  EXPECT_EQ(ListViewRows(white, 2), (Rows{{kAndroidMac, "安卓设备"}}));

  // Back to black list mode, then the hotspot's stop: the list stays empty.
  Click(FindControl(main, Ctl::单选框黑));
  EXPECT_TRUE(WaitUntil([&] { return ListViewRows(users, 4).size() == 3; }, kTwoTicks));
  Click(FindControl(main, Ctl::按钮开始));
  ASSERT_TRUE(WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 10000));
  Sleep(1000);
  EXPECT_TRUE(ListViewRows(users, 4).empty());

  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000));
}

}  // namespace
}  // namespace lumora::e2e
