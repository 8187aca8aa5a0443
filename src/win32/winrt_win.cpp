#include "win32/winrt_win.h"

#include "common/stop_state.h"

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

bool Await(IInspectable* async, DWORD timeout_ms) {
  ComRef<IAsyncInfo> info;
  if (!async || FAILED(async->QueryInterface(kIidAsyncInfo, info.put_void()))) return false;
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    int status = kAsyncStarted;
    if (FAILED(info->get_Status(&status))) return false;
    if (status != kAsyncStarted) return status == kAsyncCompleted;
    if (GetTickCount64() >= deadline || StopRequested()) {
      info->Cancel();
      return false;
    }
    Sleep(20);
  }
}

}  // namespace lumora::winrt
