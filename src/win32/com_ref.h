#pragma once
// One COM interface reference, released when its holder goes.
#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace lumora {

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(ComRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // The out parameter of a call that hands over a reference.
  T** put() {
    Reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  // After a failed call: an out parameter is not ours to release then.
  void Forget() { p_ = nullptr; }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// True when the call's result `hr` says it succeeded and it left a reference
// in `ref`; after a failure `ref` is empty (what a failed call leaves in its
// out parameter is not ours to release).
template <typename T>
bool Took(HRESULT hr, ComRef<T>& ref) {
  if (FAILED(hr)) ref.Forget();
  return SUCCEEDED(hr) && ref;
}

// COM for the duration of one call, in whatever apartment the thread has.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

// A BSTR copy of a text, freed when its holder goes.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), UINT(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

}  // namespace lumora
