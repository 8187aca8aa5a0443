#pragma once
// The Windows Runtime from plain C++, with combase.dll loaded at run time so
// that the program still starts where there is none (Windows 7): strings,
// activation factories and the wait for an asynchronous call.
#include <windows.h>
#include <hstring.h>

#include <functional>
#include <memory>
#include <string>

#include "win32/com_ref.h"
#include "win32/winrt_abi.h"

namespace lumora::winrt {

// combase's entry points; all null where the system has no runtime.
struct Runtime {
  HRESULT(WINAPI* initialize)(int) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
  HRESULT(WINAPI* get_factory)(HSTRING, REFIID, void**) = nullptr;
  HRESULT(WINAPI* create_string)(const wchar_t*, UINT32, HSTRING*) = nullptr;
  HRESULT(WINAPI* delete_string)(HSTRING) = nullptr;
  const wchar_t*(WINAPI* raw_buffer)(HSTRING, UINT32*) = nullptr;
  bool Loaded() const { return get_factory && create_string && delete_string && raw_buffer; }
};

// Loaded once per process, never unloaded.
const Runtime& TheRuntime();

// The runtime for the calling thread (multi-threaded apartment) while it lives.
class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

 private:
  bool initialized_ = false;
};

// An HSTRING owned by its holder.
class String {
 public:
  String() = default;
  explicit String(const std::wstring& text);
  ~String();
  String(const String&) = delete;
  String& operator=(const String&) = delete;
  HSTRING get() const { return h_; }
  HSTRING* put();
  std::wstring Text() const;

 private:
  HSTRING h_ = nullptr;
};

// The factory of a runtime class, as the interface `iid`; false when the
// class cannot be activated here.
bool GetFactory(const wchar_t* runtime_class, REFIID iid, void** factory);

// How an asynchronous call ended; `code` is the system's error of kError.
struct AsyncEnd {
  enum Kind { kCompleted, kError, kCanceled, kTimedOut, kStopped } kind = kTimedOut;
  HRESULT code = S_OK;
};

// Waits for an asynchronous call to end, polling its status; gives up (and
// cancels it) when the calling worker is asked to stop or after
// `timeout_ms`.
AsyncEnd Await(IInspectable* async, DWORD timeout_ms);

// Runs `call` on a thread of its own in the multithreaded apartment, with
// the runtime initialised there, whatever the caller's apartment, and waits
// for it at most `bound_ms` while serving the caller's window messages. A
// stop request of the calling worker reaches the call's waits and ends this
// wait soon after. True when the call ended; otherwise it runs on alone,
// so it must own everything it touches.
bool RunInMta(DWORD bound_ms, std::function<void()> call);

// What a call in the multithreaded apartment returned, or `fallback` when it
// did not end within `bound_ms`.
template <typename T, typename Call>
T InMta(DWORD bound_ms, T fallback, Call call) {
  auto result = std::make_shared<T>(fallback);
  if (!RunInMta(bound_ms, [result, call] { *result = call(); })) return fallback;
  return *result;
}

}  // namespace lumora::winrt
