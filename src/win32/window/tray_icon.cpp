#include "win32/window/tray_icon.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#include "win32/images.h"
#include "win32/system_function.h"
#include "win32/thread_stack.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"

namespace lumora {
namespace {

// The shell library is loaded when the tray icon first appears, not at
// program start: loading it costs a noticeable part of the start-up time.
BOOL WINAPI ShellNotifyIcon(DWORD action, NOTIFYICONDATAW* data) {
  using Fn = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAW*);
  static const Fn fn = SystemFunction<Fn>(L"shell32.dll", "Shell_NotifyIconW");
  return fn ? fn(action, data) : FALSE;
}

constexpr DWORD kEndWaitMs = 200;  // for the thread at the end, when the shell hangs
constexpr DWORD kIdleEndMs = 2000;  // after the last call: the start animation's frames are closer

}  // namespace

struct TrayIcon::Calls {
  struct Call {
    DWORD action;
    NOTIFYICONDATAW data;
  };
  explicit Calls(NotifyFn fn) : notify(fn ? fn : ShellNotifyIcon) {}

  // An icon or tip change still waiting replaces the one before it: a
  // shell that was busy gets the latest picture, not every frame it missed.
  // True when no thread is there to make the call: the caller starts one.
  bool Add(DWORD action, const NOTIFYICONDATAW& data) {
    std::lock_guard lock(mutex);
    const bool plain = action == NIM_MODIFY && !(data.uFlags & NIF_INFO);
    if (plain && !waiting.empty() && waiting.back().action == NIM_MODIFY &&
        waiting.back().data.uFlags == data.uFlags)
      waiting.back().data = data;
    else
      waiting.push_back({action, data});
    changed.notify_all();
    return !std::exchange(running, true);
  }

  static DWORD WINAPI Run(void* param) {
    std::shared_ptr<Calls> self = std::move(*static_cast<std::shared_ptr<Calls>*>(param));
    delete static_cast<std::shared_ptr<Calls>*>(param);
    std::unique_lock lock(self->mutex);
    for (;;) {
      // Idle, the thread goes: under Wine a thread costs about 1 MB of
      // private memory for as long as it lives.
      const bool more = self->changed.wait_for(lock, std::chrono::milliseconds(kIdleEndMs), [&] {
        return self->ending || !self->waiting.empty();
      });
      if (!more || self->waiting.empty()) {
        self->running = false;
        return 0;
      }
      Call call = self->waiting.front();
      self->waiting.pop_front();
      self->calling = true;
      lock.unlock();
      self->notify(call.action, &call.data);
      lock.lock();
      self->calling = false;
      self->changed.notify_all();
    }
  }

  const NotifyFn notify;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Call> waiting;
  bool calling = false;
  bool ending = false;
  bool running = false;     // a thread takes the calls
  HANDLE thread = nullptr;  // the latest one; only the caller's thread uses it
};

TrayIcon::TrayIcon(NotifyFn notify) : calls_(std::make_shared<Calls>(notify)) {}

TrayIcon::~TrayIcon() {
  {
    std::lock_guard lock(calls_->mutex);
    calls_->ending = true;  // what is still waiting is made first
    calls_->changed.notify_all();
  }
  if (calls_->thread) {
    WaitForSingleObject(calls_->thread, kEndWaitMs);
    CloseHandle(calls_->thread);  // a thread the shell holds keeps its own share
  }
}

void TrayIcon::Hand(DWORD action, const NOTIFYICONDATAW& data) {
  if (!calls_->Add(action, data)) return;
  if (calls_->thread) CloseHandle(calls_->thread);  // one that went idle
  auto* share = new std::shared_ptr<Calls>(calls_);
  calls_->thread = CreateThread(nullptr, kThreadStack, &Calls::Run, share,
                                STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (calls_->thread) return;
  delete share;
  std::lock_guard lock(calls_->mutex);
  calls_->running = false;  // the calls wait for the next one
}

bool TrayIcon::Flush(DWORD ms) {
  std::unique_lock lock(calls_->mutex);
  return calls_->changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
    return calls_->waiting.empty() && !calls_->calling;
  });
}

NOTIFYICONDATAW TrayIcon::Addressed() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = 1;
  return data;
}

void TrayIcon::Apply(DWORD action) {
  NOTIFYICONDATAW data = Addressed();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callback_;
  // The notification area is drawn at the system's DPI.
  data.hIcon = IconOf(icon_, MetricForDpi(SM_CXSMICON, SystemDpi()));
  const std::wstring tip = Widen(tip_);
  lstrcpynW(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip));
  Hand(action, data);
}

void TrayIcon::Show(Image icon, std::string_view tip) {
  icon_ = icon;
  tip_ = std::string(tip);
  Apply(shown_ ? NIM_MODIFY : NIM_ADD);
  shown_ = true;
}

void TrayIcon::SetIcon(Image icon) {
  icon_ = icon;
  if (shown_) Apply(NIM_MODIFY);
}

void TrayIcon::Remove() {
  if (!shown_) return;
  Hand(NIM_DELETE, Addressed());
  shown_ = false;
}

void TrayIcon::ShowBalloon(std::string_view title, std::string_view text) {
  if (!shown_) return;
  NOTIFYICONDATAW data = Addressed();
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  lstrcpynW(data.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(data.szInfoTitle));
  lstrcpynW(data.szInfo, Widen(text).c_str(), ARRAYSIZE(data.szInfo));
  Hand(NIM_MODIFY, data);
}

void TrayIcon::ShowAgain() {
  if (shown_) Apply(NIM_ADD);
}

}  // namespace lumora
