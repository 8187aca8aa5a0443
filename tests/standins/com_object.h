#pragma once
// The IUnknown half of a test-side COM object: the interfaces it answers to,
// its reference count, and a count of live objects that a test or a
// DllCanUnloadNow reads back (every reference handed out must come home).
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <type_traits>
#include <utility>
#include <vector>

template <typename I>
class ComObject : public I {
 public:
  ComObject(std::vector<IID> iids, std::atomic<long>& live) : iids_(std::move(iids)), live_(live) {
    ++live_;
  }
  virtual ~ComObject() { --live_; }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    bool known = IsEqualIID(riid, IID_IUnknown) ||
                 (std::is_base_of_v<IDispatch, I> && IsEqualIID(riid, IID_IDispatch));
    for (const IID& iid : iids_) known = known || IsEqualIID(riid, iid);
    if (!known) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<I*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::vector<IID> iids_;
  std::atomic<long>& live_;
  std::atomic<ULONG> refs_{1};
};
