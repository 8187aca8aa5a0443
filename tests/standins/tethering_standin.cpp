// The system's tethering manager and network information for a test prefix
// (Wine has neither): a runtime-class DLL that combase loads from the
// ActivatableClassId registration install_tethering_standin writes. It
// answers exactly the calls of the program's tethering port; its state
// lives in tethering-state.ini and every call is appended to tethering.log
// (see standin_state.h for the folder):
//
//   ssid=...  passphrase=...       the access point as last configured
//   running=0|1                    the hotspot's state
//   refuse=TEXT  refuse_status=N   every start fails with this status
//                                  (default 3) and message
//   clients=MAC|name,MAC|name      the connected devices, with host names
//   adapter_id={GUID}              the adapter of the one connection profile
//   profile=NAME                   that profile's name (default 宽带连接)
#include <windows.h>
#include <activation.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "standin_state.h"
#include "win32/winrt_win.h"

namespace {

using namespace lumora::winrt;

std::atomic<long> g_live{0};

constexpr GUID kIidInspectable = {0xaf86e2e0, 0xb12d, 0x4c6a, {0x9c, 0x5a, 0xd7, 0xaa, 0x65, 0x10, 0x1e, 0x90}};
constexpr GUID kIidActivationFactory = {0x00000035, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

void Log(const std::string& line) { standin::AppendLine(L"tethering.log", line); }
std::wstring StatePath() { return standin::PathOf(L"tethering-state.ini"); }
standin::Settings State() { return standin::ReadSettings(StatePath()); }

HRESULT Hstring(const std::string& utf8, HSTRING* out) {
  if (!out) return E_POINTER;
  const std::wstring text = standin::ToWide(utf8);
  return TheRuntime().create_string(text.c_str(), UINT32(text.size()), out);
}

std::string Utf8(HSTRING h) {
  UINT32 n = 0;
  const wchar_t* text = h ? TheRuntime().raw_buffer(h, &n) : nullptr;
  return text ? standin::FromWide(std::wstring_view(text, n)) : std::string();
}

// IUnknown and IInspectable for one interface `I` (with its IID) of an object.
template <typename I>
class Object : public I {
 public:
  explicit Object(const GUID& iid) : iid_(iid) { ++g_live; }
  virtual ~Object() { --g_live; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidInspectable) ||
        IsEqualIID(riid, iid_)) {
      *out = static_cast<I*>(this);
      this->AddRef();
      return S_OK;
    }
    return Other(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
    *count = 0;
    *iids = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* name) override {
    *name = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override {
    *level = BaseTrust;
    return S_OK;
  }

 protected:
  // Another interface of the same object, by a companion that answers it.
  virtual HRESULT Other(REFIID, void**) { return E_NOINTERFACE; }

 private:
  GUID iid_;
  std::atomic<ULONG> refs_{1};
};

#define UNUSED_SLOT(n) \
  HRESULT STDMETHODCALLTYPE Unused##n() override { return E_NOTIMPL; }

template <typename T>
class Vector : public Object<IVectorView<T>> {
 public:
  explicit Vector(std::vector<T*> items) : Object<IVectorView<T>>(GUID{}), items_(std::move(items)) {}
  ~Vector() override {
    for (T* item : items_) item->Release();
  }
  HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, T** item) override {
    if (index >= items_.size()) return E_INVALIDARG;
    *item = items_[index];
    (*item)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) override {
    *size = UINT32(items_.size());
    return S_OK;
  }

 private:
  std::vector<T*> items_;
};

// An asynchronous call that has already ended; its IAsyncInfo says so.
class Info : public Object<IAsyncInfo> {
 public:
  Info() : Object(kIidAsyncInfo) {}
  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override { return *id = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Status(int* status) override { return *status = kAsyncCompleted, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override { return *code = S_OK, S_OK; }
  HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
};

template <typename I>
class Done : public Object<I> {
 public:
  Done() : Object<I>(GUID{}) {}
  UNUSED_SLOT(1)
  UNUSED_SLOT(2)

 protected:
  HRESULT Other(REFIID riid, void** out) override {
    if (!IsEqualIID(riid, kIidAsyncInfo)) return E_NOINTERFACE;
    *out = static_cast<IAsyncInfo*>(new Info);
    return S_OK;
  }
};

class Action : public Done<IAsyncAction> {
 public:
  HRESULT STDMETHODCALLTYPE GetResults() override { return S_OK; }
};

class Result : public Object<ITetheringOperationResult> {
 public:
  Result(int status, std::string message)
      : Object(kIidTetheringOperationResult), status_(status), message_(std::move(message)) {}
  HRESULT STDMETHODCALLTYPE get_Status(int* status) override { return *status = status_, S_OK; }
  HRESULT STDMETHODCALLTYPE get_AdditionalErrorMessage(HSTRING* message) override {
    return Hstring(message_, message);
  }

 private:
  int status_;
  std::string message_;
};

class Operation : public Done<IAsyncOperation<ITetheringOperationResult>> {
 public:
  Operation(int status, std::string message) : status_(status), message_(std::move(message)) {}
  HRESULT STDMETHODCALLTYPE GetResults(ITetheringOperationResult** result) override {
    *result = new Result(status_, message_);
    return S_OK;
  }

 private:
  int status_;
  std::string message_;
};

class Configuration : public Object<ITetheringAccessPointConfiguration> {
 public:
  Configuration() : Object(kIidAccessPointConfiguration) {
    const standin::Settings state = State();
    ssid_ = standin::Get(state, "ssid");
    passphrase_ = standin::Get(state, "passphrase");
  }
  HRESULT STDMETHODCALLTYPE get_Ssid(HSTRING* v) override { return Hstring(ssid_, v); }
  HRESULT STDMETHODCALLTYPE put_Ssid(HSTRING v) override { return ssid_ = Utf8(v), S_OK; }
  HRESULT STDMETHODCALLTYPE get_Passphrase(HSTRING* v) override { return Hstring(passphrase_, v); }
  HRESULT STDMETHODCALLTYPE put_Passphrase(HSTRING v) override {
    return passphrase_ = Utf8(v), S_OK;
  }
  std::string ssid_, passphrase_;
};

class HostName : public Object<IHostName> {
 public:
  explicit HostName(std::string name) : Object(kIidHostName), name_(std::move(name)) {}
  UNUSED_SLOT(1)
  UNUSED_SLOT(2)
  HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* v) override { return Hstring(name_, v); }

 private:
  std::string name_;
};

class Client : public Object<ITetheringClient> {
 public:
  Client(std::string mac, std::string name)
      : Object(kIidTetheringClient), mac_(std::move(mac)), name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE get_MacAddress(HSTRING* v) override { return Hstring(mac_, v); }
  HRESULT STDMETHODCALLTYPE get_HostNames(IVectorView<IHostName>** names) override {
    std::vector<IHostName*> items;
    if (!name_.empty()) items.push_back(new HostName(name_));
    *names = new Vector<IHostName>(items);
    return S_OK;
  }

 private:
  std::string mac_, name_;
};

class ClientManager : public Object<ITetheringClientManager> {
 public:
  ClientManager() : Object(kIidTetheringClientManager) {}
  HRESULT STDMETHODCALLTYPE GetTetheringClients(IVectorView<ITetheringClient>** out) override {
    std::vector<ITetheringClient*> items;
    const standin::Settings state = State();
    std::string list = standin::Get(state, "running") == "1" ? standin::Get(state, "clients") : "";
    while (!list.empty()) {
      const size_t comma = list.find(',');
      const std::string entry = list.substr(0, comma);
      const size_t bar = entry.find('|');
      items.push_back(new Client(entry.substr(0, bar),
                                 bar == std::string::npos ? std::string() : entry.substr(bar + 1)));
      list = comma == std::string::npos ? std::string() : list.substr(comma + 1);
    }
    *out = new Vector<ITetheringClient>(items);
    return S_OK;
  }
};

class Manager : public Object<ITetheringManager> {
 public:
  Manager() : Object(kIidTetheringManager) {}
  HRESULT STDMETHODCALLTYPE get_MaxClientCount(UINT32* n) override { return *n = 8, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ClientCount(UINT32* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE get_TetheringOperationalState(int* state) override {
    *state = standin::Get(State(), "running") == "1" ? kStateOn : kStateOff;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(
      ITetheringAccessPointConfiguration** out) override {
    *out = new Configuration;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(ITetheringAccessPointConfiguration* config,
                                                      IAsyncAction** action) override {
    if (!config || !action) return E_POINTER;
    String ssid, passphrase;
    config->get_Ssid(ssid.put());
    config->get_Passphrase(passphrase.put());
    Log("configure ssid=" + Utf8(ssid.get()) + " passphrase=" + Utf8(passphrase.get()));
    standin::Lock lock;
    standin::Settings state = State();
    standin::Set(state, "ssid", Utf8(ssid.get()));
    standin::Set(state, "passphrase", Utf8(passphrase.get()));
    standin::WriteSettings(StatePath(), state);
    *action = new Action;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE StartTetheringAsync(
      IAsyncOperation<ITetheringOperationResult>** out) override {
    standin::Lock lock;
    standin::Settings state = State();
    const std::string refuse = standin::Get(state, "refuse");
    int status = 0;
    if (!refuse.empty()) {
      status = std::atoi(standin::Get(state, "refuse_status", "3").c_str());
    } else {
      standin::Set(state, "running", "1");
    }
    standin::WriteSettings(StatePath(), state);
    Log(refuse.empty() ? "start" : "start refused");
    *out = new Operation(status, refuse);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE StopTetheringAsync(
      IAsyncOperation<ITetheringOperationResult>** out) override {
    standin::Lock lock;
    standin::Settings state = State();
    standin::Set(state, "running", "0");
    standin::WriteSettings(StatePath(), state);
    Log("stop");
    *out = new Operation(0, {});
    return S_OK;
  }

 protected:
  HRESULT Other(REFIID riid, void** out) override {
    if (!IsEqualIID(riid, kIidTetheringClientManager)) return E_NOINTERFACE;
    *out = static_cast<ITetheringClientManager*>(new ClientManager);
    return S_OK;
  }
};

class Adapter : public Object<INetworkAdapter> {
 public:
  Adapter() : Object(kIidNetworkAdapter) {}
  UNUSED_SLOT(1)
  UNUSED_SLOT(2)
  UNUSED_SLOT(3)
  UNUSED_SLOT(4)
  HRESULT STDMETHODCALLTYPE get_NetworkAdapterId(GUID* id) override {
    *id = GUID{};
    const std::wstring text = standin::ToWide(standin::Get(State(), "adapter_id"));
    if (!text.empty()) CLSIDFromString(text.c_str(), id);
    return S_OK;
  }
};

class Profile : public Object<IConnectionProfile> {
 public:
  Profile() : Object(kIidConnectionProfile) {}
  HRESULT STDMETHODCALLTYPE get_ProfileName(HSTRING* v) override {
    return Hstring(standin::Get(State(), "profile", "宽带连接"), v);
  }
  UNUSED_SLOT(1)
  UNUSED_SLOT(2)
  UNUSED_SLOT(3)
  UNUSED_SLOT(4)
  HRESULT STDMETHODCALLTYPE get_NetworkAdapter(INetworkAdapter** adapter) override {
    *adapter = new Adapter;
    return S_OK;
  }
};

class NetworkInformation : public Object<INetworkInformationStatics> {
 public:
  NetworkInformation() : Object(kIidNetworkInformationStatics) {}
  HRESULT STDMETHODCALLTYPE GetConnectionProfiles(IVectorView<IConnectionProfile>** out) override {
    *out = new Vector<IConnectionProfile>({new Profile});
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(IConnectionProfile** out) override {
    *out = new Profile;
    return S_OK;
  }
};

class TetheringStatics : public Object<ITetheringManagerStatics2> {
 public:
  TetheringStatics() : Object(kIidTetheringManagerStatics2) {}
  UNUSED_SLOT(1)
  HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(IConnectionProfile* profile,
                                                        ITetheringManager** out) override {
    if (!profile || !out) return E_POINTER;
    String name;
    profile->get_ProfileName(name.put());
    Log("create " + Utf8(name.get()));
    *out = new Manager;
    return S_OK;
  }
};

// The factory combase asks for first; the class's statics come from it.
class Factory : public Object<IActivationFactory> {
 public:
  explicit Factory(bool tethering) : Object(kIidActivationFactory), tethering_(tethering) {}
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }

 protected:
  HRESULT Other(REFIID riid, void** out) override {
    if (tethering_ && IsEqualIID(riid, kIidTetheringManagerStatics2)) {
      *out = static_cast<ITetheringManagerStatics2*>(new TetheringStatics);
      return S_OK;
    }
    if (!tethering_ && IsEqualIID(riid, kIidNetworkInformationStatics)) {
      *out = static_cast<INetworkInformationStatics*>(new NetworkInformation);
      return S_OK;
    }
    return E_NOINTERFACE;
  }

 private:
  bool tethering_;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetActivationFactory(HSTRING id,
                                                                        IActivationFactory** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const std::wstring name = standin::ToWide(Utf8(id));
  if (name == kTetheringManagerClass) *out = new Factory(true);
  if (name == kNetworkInformationClass) *out = new Factory(false);
  return *out ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
  return g_live == 0 ? S_OK : S_FALSE;
}
