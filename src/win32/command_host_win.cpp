#include "win32/command_host_win.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>

#include "win32/message_pump.h"
#include "win32/thread_stack.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

// Closes a handle when the scope ends, whatever path leaves it.
struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Wakes a blocking wait when the current worker is asked to stop.
class StopEvent {
 public:
  StopEvent() {
    if (StopState* stop = CurrentStop()) {
      event_.h = CreateEventW(nullptr, TRUE, FALSE, nullptr);
      HANDLE e = event_.h;
      stop_ = stop;
      id_ = stop->AddWaker([e] { SetEvent(e); });
    }
  }
  ~StopEvent() {
    if (stop_) stop_->RemoveWaker(id_);
  }
  HANDLE get() const { return event_.h; }

 private:
  Handle event_;
  StopState* stop_ = nullptr;
  int id_ = 0;
};

class Win32Worker : public Worker {
 public:
  explicit Win32Worker(std::function<void()> entry) : entry_(std::move(entry)) {}
  // Its step has returned (the thread may still be letting COM go), or it
  // never ran. Told by the thread itself: a start under load once waited
  // half a minute on a reset whose thread had ended but whose handle did not
  // read as signalled.
  bool Finished() const override {
    return done_.load() || !thread_.h || WaitForSingleObject(thread_.h, 0) == WAIT_OBJECT_0;
  }
  HANDLE thread() const { return thread_.h; }
  DWORD thread_id() const { return thread_id_; }

  bool Start(const std::shared_ptr<Win32Worker>& self) {
    // The thread holds its own reference: the worker outlives a caller that
    // gives up waiting for it.
    auto* ref = new std::shared_ptr<Win32Worker>(self);
    thread_.h = CreateThread(nullptr, kThreadStack, &Win32Worker::Run, ref,
                             STACK_SIZE_PARAM_IS_A_RESERVATION, &thread_id_);
    if (!thread_.h) delete ref;
    return thread_.h != nullptr;
  }

 private:
  static DWORD WINAPI Run(void* param) {
    std::unique_ptr<std::shared_ptr<Win32Worker>> ref(
        static_cast<std::shared_ptr<Win32Worker>*>(param));
    Win32Worker& self = **ref;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
      CurrentStopScope scope(&self.Stop());
      if (!self.Stop().StopRequested()) self.entry_();
    }
    self.done_.store(true);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
  }

  std::function<void()> entry_;
  std::atomic<bool> done_{false};
  Handle thread_;
  DWORD thread_id_ = 0;
};

// A console program started hidden, its output and its errors going into
// one pipe.
struct HiddenChild {
  Handle output, process, thread;
};

enum class Spawn { kStarted, kNoPipe, kNotFound };

Spawn StartHidden(std::string_view command_line, HiddenChild& child) {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof(sa);
  sa.bInheritHandle = TRUE;
  // Our copy of the write end goes when this returns, or the pipe would never
  // report its end.
  Handle write_end;
  if (!CreatePipe(&child.output.h, &write_end.h, &sa, 0)) return Spawn::kNoPipe;
  // Only the write end goes to the child.
  SetHandleInformation(child.output.h, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  si.hStdOutput = write_end.h;
  si.hStdError = write_end.h;
  PROCESS_INFORMATION pi{};
  std::wstring line = Widen(command_line);
  // CREATE_NO_WINDOW: the console child gets no console window at all, so
  // nothing can flash up even for a moment.
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi))
    return Spawn::kNotFound;
  child.process.h = pi.hProcess;
  child.thread.h = pi.hThread;
  return Spawn::kStarted;
}

// Everything the child writes until it ends; a stop request of the calling
// worker ends the child.
std::string ReadUntilEnd(const HiddenChild& child) {
  StopEvent stop;
  std::string out;
  // Reads one chunk when the pipe holds something; false when it is empty.
  const auto read_chunk = [&] {
    DWORD available = 0;
    if (!PeekNamedPipe(child.output.h, nullptr, 0, nullptr, &available, nullptr) || available == 0)
      return false;
    char buffer[1024] = {};
    DWORD got = 0;
    if (!ReadFile(child.output.h, buffer, 1023, &got, nullptr) || got == 0) return false;
    // A chunk ends at its first zero byte.
    out.append(buffer, strnlen(buffer, got));
    return true;
  };
  for (;;) {
    const bool read = read_chunk();
    if (!read && WaitForSingleObject(child.process.h, 0) == WAIT_OBJECT_0) {
      // It may have printed its last words between the look at the pipe and
      // its end: everything it wrote is in the pipe now, read to its end.
      // (The exit code is not used: a program may exit with 259.)
      while (read_chunk()) {
      }
      return out;
    }
    if (StopRequested()) {
      TerminateProcess(child.process.h, 1);
      return out;
    }
    if (read) continue;
    // Serve the window while polling the pipe every 10 ms; the process's end
    // and a stop request cut the pause short.
    HANDLE waits[] = {child.process.h, stop.get()};
    WaitServingMessages(stop.get() ? 2 : 1, waits, 10);
  }
}

}  // namespace

std::string RunHiddenCommandBytes(std::string_view command_line) {
  return RunHiddenCommandBytesIfFound(command_line).value_or(std::string());
}

std::optional<std::string> RunHiddenCommandBytesIfFound(std::string_view command_line) {
  HiddenChild child;
  switch (StartHidden(command_line, child)) {
    case Spawn::kNoPipe: return std::string();
    case Spawn::kNotFound: return std::nullopt;
    case Spawn::kStarted: break;
  }
  return ReadUntilEnd(child);
}

std::string Win32CommandHost::RunHiddenCommand(std::string_view command_line) {
  return CodePageToUtf8(GetOEMCP(), RunHiddenCommandBytes(command_line));
}

std::optional<std::string> Win32CommandHost::RunHiddenCommandIfFound(std::string_view command_line) {
  std::optional<std::string> bytes = RunHiddenCommandBytesIfFound(command_line);
  if (!bytes) return std::nullopt;
  return CodePageToUtf8(GetOEMCP(), *bytes);
}

void Win32CommandHost::WaitResponsive(int ms) {
  if (ms <= 0) {
    PumpPendingMessages();
    return;
  }
  StopEvent stop;
  HANDLE waits[] = {stop.get()};
  WaitServingMessages(stop.get() ? 1 : 0, waits, DWORD(ms));
}

WorkerHandle Win32CommandHost::StartWorkerThread(std::function<void()> entry) {
  auto worker = std::make_shared<Win32Worker>(std::move(entry));
  if (!worker->Start(worker)) return nullptr;
  return worker;
}

bool Win32CommandHost::StopWorkerThread(const WorkerHandle& handle) {
  auto* worker = static_cast<Win32Worker*>(handle.get());
  if (!worker) return true;
  worker->Stop().RequestStop();
  if (!worker->thread()) return true;
  // A worker stopping itself cannot wait for its own end.
  if (worker->thread_id() == GetCurrentThreadId()) return false;
  HANDLE thread = worker->thread();
  // Served messages let a worker that is writing to the window finish its
  // write and reach its next check.
  return WaitServingMessages(1, &thread, kStopWaitMs) == 0;
}

}  // namespace lumora
