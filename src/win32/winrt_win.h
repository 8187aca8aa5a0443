#pragma once
// The Windows Runtime from plain C++, with combase.dll loaded at run time so
// that the program still starts where there is none (Windows 7): strings,
// activation factories and the wait for an asynchronous call.
#include <windows.h>
#include <hstring.h>

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

// Waits for an asynchronous call to end, polling its status; gives up (and
// cancels it) when the calling worker is asked to stop or after
// `timeout_ms`. True when it completed.
bool Await(IInspectable* async, DWORD timeout_ms);

}  // namespace lumora::winrt
