// The notification-area icon against a shell that does not answer: the
// window's thread never waits for it, and the shell later gets every call in
// order, the icon changes it missed folded into the latest.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "win32/window/tray_icon.h"

namespace lumora {
namespace {

HANDLE g_answer = CreateEventW(nullptr, TRUE, FALSE, nullptr);
std::mutex g_mutex;
std::vector<std::string> g_calls;  // "add 1", "modify 4", "info", "delete"

// Records each call; answers when g_answer is set, or after 3 s (a window
// that waits for the shell fails below instead of hanging the run).
BOOL WINAPI HungShell(DWORD action, NOTIFYICONDATAW* data) {
  std::string call = action == NIM_ADD ? "add" : action == NIM_DELETE ? "delete" : "modify";
  if (data->uFlags & NIF_INFO) call = "info";
  if (data->uFlags & NIF_TIP) call += " " + std::string(1, char(data->szTip[0]));
  std::unique_lock lock(g_mutex);
  g_calls.push_back(call);
  lock.unlock();
  return WaitForSingleObject(g_answer, 3000) == WAIT_OBJECT_0;
}

TEST(TrayIcon, AHungShellNeverHoldsTheWindowAndLaterGetsEveryCallInOrder) {
  for (bool answers_later : {true, false}) {
    ResetEvent(g_answer);
    ULONGLONG began = GetTickCount64();
    {
      TrayIcon tray(HungShell);
      tray.Show(Image::kTrayOff, "1");
      ASSERT_FALSE(tray.Flush(100)) << "the shell has the first call";
      for (const char* tip : {"2", "3", "4"}) tray.Show(Image::kTrayOn, tip);
      tray.ShowBalloon("标题", "正文");
      tray.SetIcon(Image::kTrayFrame0);  // after the balloon: not folded into the change before it
      tray.Remove();
      if (answers_later) {
        SetEvent(g_answer);
        EXPECT_TRUE(tray.Flush(5000));
        Sleep(2500);  // the idle thread goes; the next call brings another
        tray.Show(Image::kTrayOn, "5");
        EXPECT_TRUE(tray.Flush(5000));
        std::lock_guard lock(g_mutex);
        EXPECT_EQ(g_calls, (std::vector<std::string>{"add 1", "modify 4", "info", "modify 4",
                                                     "delete", "add 5"}));
        began = GetTickCount64();  // the end alone from here
      }
    }  // the end, the second time while the shell still hangs, does not wait for it
    EXPECT_LT(GetTickCount64() - began, 2000u) << "the window waited for the shell";
  }
  SetEvent(g_answer);  // the thread the shell held ends on its own share
}

}  // namespace
}  // namespace lumora
