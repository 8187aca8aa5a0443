// The real main window's hand-over of workers' calls: served while the
// window lives, dropped once it is gone, and no boxes once closing began.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "win32/message_pump.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

DWORD WINAPI RunWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

// Runs `work` on a worker thread while this (the window's) thread serves
// messages, as the program's waits do. False when it did not end in time.
bool OnWorker(const std::function<void()>& work) {
  HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0,
                               nullptr);
  const bool ended = WaitServingMessages(1, &thread, 5000) == 0;
  CloseHandle(thread);
  return ended;
}

// The window's end posts the quit of the message loop: taken back, so the
// thread's later tests still see their messages served.
void Destroy(Win32Window& window) {
  DestroyWindow(window.Main());
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

TEST(MainWindow, WorkersReachTheWindowOnlyWhileItLives) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  std::string read;
  ASSERT_TRUE(OnWorker([&] {
    window.SetText(Ctl::编辑框名称, "家里的WiFi");
    read = window.Text(Ctl::编辑框名称);
  }));
  EXPECT_EQ(read, "家里的WiFi");

  Destroy(window);
  EXPECT_EQ(window.Main(), nullptr);
  MessageResult answer = MessageResult::kYes;
  int rows = -1;
  ASSERT_TRUE(OnWorker([&] {
    window.SetText(Ctl::编辑框名称, "changed");
    read = window.Text(Ctl::编辑框名称);
    rows = window.RowCount(Ctl::超级列表框1);
    answer = window.ShowMessage("不应出现", "提示", MessageIcon::kNone, MessageButtons::kYesNo);
  })) << "a call to a destroyed window must not block";
  EXPECT_EQ(read, "") << "reads of a window that is gone are empty";
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(answer, MessageResult::kNo);
}

TEST(MainWindow, NoBoxOrBalloonOpensOnceClosingBegan) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  window.BeginClosing();
  MessageResult yes_no = MessageResult::kYes, ok = MessageResult::kYes;
  ASSERT_TRUE(OnWorker([&] {
    yes_no = window.ShowMessage("不应出现", "提示", MessageIcon::kError, MessageButtons::kYesNo);
    ok = window.ShowMessage("不应出现", "提示", MessageIcon::kError, MessageButtons::kOk);
    window.ShowBalloon("不应出现", 200, 90);
  })) << "a box opened while closing";
  EXPECT_EQ(yes_no, MessageResult::kNo);
  EXPECT_EQ(ok, MessageResult::kOk);
  EXPECT_EQ(FindWindowW(L"#32770", L"提示"), nullptr);
  Destroy(window);
}

}  // namespace
}  // namespace lumora
