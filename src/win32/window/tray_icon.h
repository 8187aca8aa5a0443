#pragma once
// The program's icon in the notification area: shown, changed, removed, and
// put back when the shell restarts.
//
// The shell answers these calls in its own time, and a busy or hung shell
// never: they go to a thread of their own, in the order they were made, and
// the window never waits for them (except, bounded, for the last one).
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <string_view>

#include "ui/controls.h"

namespace lumora {

class TrayIcon {
 public:
  using NotifyFn = BOOL(WINAPI*)(DWORD action, NOTIFYICONDATAW* data);

  // `notify` stands in for the shell's Shell_NotifyIconW (null: the shell's).
  explicit TrayIcon(NotifyFn notify = nullptr);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // `owner` receives `callback_message` with the mouse message in lParam.
  void Attach(HWND owner, UINT callback_message) {
    owner_ = owner;
    callback_ = callback_message;
  }
  void Show(Image icon, std::string_view tip);
  void SetIcon(Image icon);  // keeps the tip
  void Remove();
  void ShowAgain();  // after "TaskbarCreated": the shell lost it
  // A balloon from the icon (information icon); nothing while it is not shown.
  void ShowBalloon(std::string_view title, std::string_view text);
  bool Shown() const { return shown_; }
  // Waits at most `ms` for the shell to have taken every call made so far.
  bool Flush(DWORD ms);

 private:
  struct Calls;  // the calls on their way, shared with the thread making them

  void Apply(DWORD action);
  void Hand(DWORD action, const NOTIFYICONDATAW& data);
  NOTIFYICONDATAW Addressed() const;

  std::shared_ptr<Calls> calls_;
  HWND owner_ = nullptr;
  UINT callback_ = 0;
  bool shown_ = false;
  Image icon_ = Image::kNone;
  std::string tip_;
};

}  // namespace lumora
