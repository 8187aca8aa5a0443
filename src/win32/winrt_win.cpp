#include "win32/winrt_win.h"

#include <memory>

#include "common/stop_state.h"
#include "win32/message_pump.h"

namespace lumora::winrt {

const Runtime& TheRuntime() {
  static const Runtime runtime = [] {
    Runtime r;
    HMODULE combase = LoadLibraryW(L"combase.dll");
    if (!combase) return r;
    auto get = [combase](const char* name) {
      return reinterpret_cast<void*>(GetProcAddress(combase, name));
    };
    r.initialize = reinterpret_cast<decltype(r.initialize)>(get("RoInitialize"));
    r.uninitialize = reinterpret_cast<decltype(r.uninitialize)>(get("RoUninitialize"));
    r.get_factory = reinterpret_cast<decltype(r.get_factory)>(get("RoGetActivationFactory"));
    r.create_string = reinterpret_cast<decltype(r.create_string)>(get("WindowsCreateString"));
    r.delete_string = reinterpret_cast<decltype(r.delete_string)>(get("WindowsDeleteString"));
    r.raw_buffer = reinterpret_cast<decltype(r.raw_buffer)>(get("WindowsGetStringRawBuffer"));
    return r;
  }();
  return runtime;
}

Scope::Scope() {
  const Runtime& r = TheRuntime();
  // RO_INIT_MULTITHREADED; a thread already in COM keeps its apartment.
  if (r.initialize && r.uninitialize) initialized_ = SUCCEEDED(r.initialize(1));
}

Scope::~Scope() {
  if (initialized_) TheRuntime().uninitialize();
}

String::String(const std::wstring& text) {
  const Runtime& r = TheRuntime();
  if (r.create_string && FAILED(r.create_string(text.c_str(), UINT32(text.size()), &h_)))
    h_ = nullptr;
}

String::~String() {
  if (h_) TheRuntime().delete_string(h_);
}

HSTRING* String::put() {
  if (h_) TheRuntime().delete_string(h_);
  h_ = nullptr;
  return &h_;
}

std::wstring String::Text() const {
  if (!h_ || !TheRuntime().raw_buffer) return {};
  UINT32 length = 0;
  const wchar_t* text = TheRuntime().raw_buffer(h_, &length);
  return text ? std::wstring(text, length) : std::wstring();
}

bool GetFactory(const wchar_t* runtime_class, REFIID iid, void** factory) {
  *factory = nullptr;
  if (!TheRuntime().Loaded()) return false;
  String name(runtime_class);
  if (!name.get()) return false;
  if (FAILED(TheRuntime().get_factory(name.get(), iid, factory))) {
    *factory = nullptr;
    return false;
  }
  return *factory != nullptr;
}

AsyncEnd Await(IInspectable* async, DWORD timeout_ms) {
  ComRef<IAsyncInfo> info;
  if (!async || FAILED(async->QueryInterface(kIidAsyncInfo, info.put_void())))
    return {AsyncEnd::kError, E_NOINTERFACE};
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    int status = kAsyncStarted;
    HRESULT hr = info->get_Status(&status);
    if (FAILED(hr)) return {AsyncEnd::kError, hr};
    if (status == kAsyncCompleted) return {AsyncEnd::kCompleted, S_OK};
    if (status == kAsyncCanceled) return {AsyncEnd::kCanceled, S_OK};
    if (status == kAsyncError) {
      if (FAILED(info->get_ErrorCode(&hr)) || SUCCEEDED(hr)) hr = E_FAIL;
      return {AsyncEnd::kError, hr};
    }
    const bool stop = StopRequested();
    if (stop || GetTickCount64() >= deadline) {
      info->Cancel();
      return {stop ? AsyncEnd::kStopped : AsyncEnd::kTimedOut, S_OK};
    }
    Sleep(20);
  }
}

namespace {

// One call carried to a thread of its own; shared by that thread and the
// caller, so either may be the last to let go.
struct MtaCall {
  std::function<void()> call;
  StopState stop;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~MtaCall() {
    for (HANDLE h : {done, stopped})
      if (h) CloseHandle(h);
  }
};

DWORD WINAPI RunMtaCall(void* param) {
  const std::unique_ptr<std::shared_ptr<MtaCall>> owned(static_cast<std::shared_ptr<MtaCall>*>(param));
  MtaCall& task = **owned;
  {
    CurrentStopScope stop_scope(&task.stop);
    Scope scope;
    task.call();
    // Signalled before the runtime is let go: everything the call made is
    // released already, and the end of the apartment may take a while.
    SetEvent(task.done);
  }
  return 0;
}

// How long a stopped call may take to cancel what it waits for.
constexpr DWORD kStopGraceMs = 500;

}  // namespace

bool RunInMta(DWORD bound_ms, std::function<void()> call) {
  StopState* caller = CurrentStop();
  if (caller && caller->StopRequested()) return false;
  auto task = std::make_shared<MtaCall>();
  if (!task->done || !task->stopped) return false;
  task->call = std::move(call);
  auto* param = new std::shared_ptr<MtaCall>(task);
  HANDLE thread = CreateThread(nullptr, 0, RunMtaCall, param, 0, nullptr);
  if (!thread) {
    delete param;
    return false;
  }
  CloseHandle(thread);
  const int waker = caller ? caller->AddWaker([task] {
    task->stop.RequestStop();
    SetEvent(task->stopped);
  }) : 0;
  const HANDLE handles[] = {task->done, task->stopped};
  int signalled = WaitServingMessages(2, handles, bound_ms);
  if (signalled == 1) signalled = WaitServingMessages(1, handles, kStopGraceMs);
  if (caller) caller->RemoveWaker(waker);
  if (signalled != 0) task->stop.RequestStop();  // its waits end; it finishes alone
  return signalled == 0;
}

}  // namespace lumora::winrt
