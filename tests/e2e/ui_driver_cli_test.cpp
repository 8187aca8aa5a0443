// ui_driver.exe as scripts use it against the real program: tab pages, and
// waiting for a caption or a list cell, only where the user can see it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "common/gbk.h"
#include "e2e_env.h"
#include "win32/command_host_win.h"

namespace lumora::e2e {
namespace {

// What ui_driver.exe (next to this test program) prints for `args`.
std::string Driver(const std::string& args) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string exe = self;
  exe = exe.substr(0, exe.find_last_of('\\') + 1) + "ui_driver.exe";
  return RunHiddenCommandBytes("\"" + exe + "\" " + args);
}

TEST(UiDriverCli, PagesAndWaitsForWhatIsShown) {
  ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
  DeleteFileA("c:\\tovkwifi.ini");
  std::ofstream("c:\\wifiblack.txt", std::ios::binary) << Utf8ToGbk("02-11-22-33-44-77+隔壁\r\n");
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);

  const std::string title = std::string("\"") + kMainTitle + "\" ";
  const struct {
    const char* args;
    const char* prints;
  } steps[] = {
      {"waitfor {}开启WiFi 5000", "开启WiFi\n"},
      // The black list is on a page not shown yet.
      {"waitfor {}隔壁 300", "nothing in LumoraWiFi5.1 read 隔壁 within 300 ms\n"},
      {"page {}1", ""},
      {"waitfor {}隔壁 5000", "02-11-22-33-44-77\t隔壁\n"},
      {"waitfor {}开启WiFi 300", "nothing in LumoraWiFi5.1 read 开启WiFi within 300 ms\n"},
      {"page {}0", ""},
      {"waitfor {}开启WiFi 5000", "开启WiFi\n"},
  };
  for (const auto& step : steps) {
    std::string args = step.args;
    args.replace(args.find("{}"), 2, title);
    EXPECT_EQ(Driver(args), step.prints) << args;
  }
  DeleteFileA("c:\\wifiblack.txt");
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
