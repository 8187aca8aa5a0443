// The real main window's hand-over of workers' calls: served while the
// window lives, dropped once it is gone, and no boxes once closing began.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

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

namespace lumora {
namespace {

// A list that is handed its rows again keeps what did not change: the
// rows' texts always match, a selection stays only on a row that still
// shows the same device, and nothing is left of rows that went away.
TEST(MainWindow, ListRowsHandedOverAgainKeepOnlyUnchangedSelections) {
  Win32Window window(GetModuleHandleW(nullptr));
  ASSERT_TRUE(window.Create());
  constexpr Ctl kList = Ctl::超级列表框1;
  const HWND view = window.Handle(kList);
  using Rows = std::vector<std::vector<std::string>>;
  auto row = [](int n, const std::string& mac, const std::string& name) {
    return std::vector<std::string>{std::to_string(n), "192.168.137." + std::to_string(n + 1), mac, name};
  };
  struct Step {
    Rows rows;
    std::vector<int> select_before;  // rows the user selects first
    std::vector<int> selected_after;
  };
  const Step steps[] = {
      {{row(1, "AA", ""), row(2, "BB", "苹果手机"), row(3, "CC", "")}, {}, {}},
      // The same devices: both selections stay.
      {{row(1, "AA", ""), row(2, "BB", "苹果手机"), row(3, "CC", "")}, {0, 2}, {0, 2}},
      // A name arrives for the first row; the third row now shows another device.
      {{row(1, "AA", "安卓设备"), row(2, "BB", "苹果手机"), row(3, "DD", "")}, {0, 1, 2}, {1}},
      // Fewer rows, then more, then none.
      {{row(1, "AA", "安卓设备")}, {0}, {0}},
      {{row(1, "AA", "安卓设备"), row(2, "EE", "一个很长的名字，长过原来的名字")}, {}, {0}},
      {{}, {}, {}},
  };
  for (const Step& step : steps) {
    for (int r : step.select_before) ListView_SetItemState(view, r, LVIS_SELECTED, LVIS_SELECTED);
    window.SetRows(kList, step.rows);
    ASSERT_EQ(window.RowCount(kList), int(step.rows.size()));
    std::vector<int> selected;
    for (int r = 0; r < int(step.rows.size()); ++r) {
      for (int column = 0; column < 4; ++column)
        EXPECT_EQ(window.Cell(kList, r, column), step.rows[r][column]) << r << "," << column;
      if (ListView_GetItemState(view, r, LVIS_SELECTED)) selected.push_back(r);
    }
    EXPECT_EQ(selected, step.selected_after);
  }
  Destroy(window);
}

}  // namespace
}  // namespace lumora
