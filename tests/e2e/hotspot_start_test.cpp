// A start whose sharing never takes effect (no sharing manager, or one with
// no connections) must give up the way the program promises, without hanging.
#include <gtest/gtest.h>

#include "app_driver.h"
#include "e2e_env.h"
#include "screenshot.h"
#include "ui_driver.h"

namespace lumora::e2e {
namespace {

TEST(HotspotStart, SharingThatNeverTakesEffectGivesUpAfterFiveRuns) {
  ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
  DeleteFileA("c:\\tovkwifi.ini");
  DeleteFileA("c:\\lumora-standins\\sharing.ini");  // a sharing manager without connections
  Program program(ProgramPath());
  HWND main = WaitForMain(program);
  ASSERT_TRUE(main);
  HWND button = FindControl(main, Ctl::按钮开始);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) && WindowText(button) == "开启WiFi"; },
                        15000));
  // Without a connection the start stops at the empty connection box, so
  // name one (Wine lists no connections either).
  HWND box = FindControl(main, Ctl::组合框1);
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"本地连接"));

  Click(button);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(button) == "启动中\r\n请稍后"; }, 5000))
      << WindowText(button);
  EXPECT_FALSE(IsWindowEnabled(button));
  Shot("start-starting");

  HWND failed = WaitForMessageBox("启动失败", 90000);
  ASSERT_TRUE(failed) << "no final failure message";
  EXPECT_EQ(MessageBoxText(failed),
            "启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。");
  Shot("start-failed");
  PressOk(failed);
  // Gone first: on a loaded machine the box answered may still be there.
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(failed); }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) && WindowText(button) == "开启WiFi"; },
                        5000))
      << "the window is not back in the stopped state";
  EXPECT_FALSE(WaitForMessageBox("启动失败", 1500)) << "the failure is reported once";

  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(10000));
}

}  // namespace
}  // namespace lumora::e2e
