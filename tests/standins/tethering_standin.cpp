// The system's tethering manager and network information for a test prefix
// (Wine has neither): a runtime-class DLL that combase loads from the
// ActivatableClassId registration install_tethering_standin writes. Its
// interfaces are declared from Microsoft's published definitions
// (winrt_published.h), never from the program's. Its state lives in
// tethering-state.ini, and every call is appended to tethering.log, a call
// from a thread outside the multithreaded apartment marked " (STA)", a call
// of a method no caller should use as "unexpected Interface.Method" (see
// standin_state.h for the folder):
//
//   ssid=...  passphrase=...       the access point as last configured
//   running=0|1                    the hotspot's state. A test that writes
//                                  running=0 is the system turning the
//                                  Mobile Hotspot off behind the program's back
//   refuse=TEXT  refuse_status=N   every start ends with this status
//                                  (default 3) and message
//   capability=N                   the TetheringCapability of every profile
//                                  (default 0: enabled; 1 group policy, ...)
//   no_clients_timeout=0|1         the system's switch-off after minutes
//                                  without clients (default 1: on)
//   timeout_switch=0               a system without that switch (before 2004)
//   start_ends=error:0xHRESULT | canceled
//                                  the start ends so; stop_ends,
//                                  configure_ends and timeout_ends likewise
//   op_ms=N                        every asynchronous call runs N ms first
//   clients=MAC|name,MAC|name      the connected devices, with host names
//   profiles=NAME|{GUID}|LEVEL;... the connection profiles: name, adapter and
//                                  NetworkConnectivityLevel (default one,
//                                  "宽带连接" with internet access, no adapter);
//                                  the internet profile is the first at level 3
#include <activation.h>
#include <objbase.h>
#include <windows.h>
#include <winstring.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "standin_state.h"
#include "winrt_published.h"

namespace {

using namespace published;

std::atomic<long> g_live{0};

// The runtime's own failures (winerror.h of the Windows SDK; mingw-w64 lacks them).
constexpr HRESULT kBounds = HRESULT(0x8000000BL);             // E_BOUNDS
constexpr HRESULT kIllegalMethodCall = HRESULT(0x8000000EL);  // E_ILLEGAL_METHOD_CALL

constexpr GUID kIInspectable = {
    0xaf86e2e0, 0xb12d, 0x4c6a, {0x9c, 0x5a, 0xd7, 0xaa, 0x65, 0x10, 0x1e, 0x90}};
constexpr GUID kIActivationFactory = {
    0x00000035, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring StatePath() { return standin::PathOf(L"tethering-state.ini"); }
standin::Settings State() { return standin::ReadSettings(StatePath()); }
std::string StateOf(const char* key, std::string fallback = {}) {
  return standin::Get(State(), key, std::move(fallback));
}

// Runs `change` on the state file under the stand-ins' lock.
template <typename Change>
void UpdateState(Change&& change) {
  standin::Lock lock;
  standin::Settings state = State();
  change(state);
  standin::WriteSettings(StatePath(), state);
}

bool InMultithreadedApartment() {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && type == APTTYPE_MTA;
}

void Log(const std::string& line) {
  standin::AppendLine(L"tethering.log", line + (InMultithreadedApartment() ? "" : " (STA)"));
}

HRESULT Unexpected(const char* method) {
  Log(std::string("unexpected ") + method);
  return E_NOTIMPL;
}

// A method of the system's interface that no caller here should reach.
#define UNEXPECTED(Interface, Method, ...)                 \
  HRESULT STDMETHODCALLTYPE Method(__VA_ARGS__) override { \
    return Unexpected(#Interface "." #Method);             \
  }

HRESULT Hstring(const std::string& utf8, HSTRING* out) {
  if (!out) return E_POINTER;
  const std::wstring text = standin::ToWide(utf8);
  return WindowsCreateString(text.c_str(), UINT32(text.size()), out);
}

std::string Utf8(HSTRING h) {
  UINT32 n = 0;
  const wchar_t* text = h ? WindowsGetStringRawBuffer(h, &n) : nullptr;
  return text ? standin::FromWide(std::wstring_view(text, n)) : std::string();
}

// IUnknown and IInspectable for an object with the interfaces `Is`; each
// object hands out the interfaces it lists with their IIDs.
template <typename First, typename... Rest>
class Object : public First, public Rest... {
 public:
  Object() { ++g_live; }
  virtual ~Object() { --g_live; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIInspectable))
      *out = static_cast<First*>(this);
    for (const auto& [iid, face] : faces_)
      if (IsEqualIID(riid, iid)) *out = face;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
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
  void Answer(const GUID& iid, void* face) { faces_.emplace_back(iid, face); }

 private:
  std::vector<std::pair<GUID, void*>> faces_;
  std::atomic<ULONG> refs_{1};
};

template <typename T>
class Vector : public Object<IVectorView<T>> {
 public:
  explicit Vector(std::vector<T*> items) : items_(std::move(items)) {}
  ~Vector() override {
    for (T* item : items_) item->Release();
  }
  HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, T** item) override {
    if (index >= items_.size()) return kBounds;
    *item = items_[index];
    (*item)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) override {
    *size = UINT32(items_.size());
    return S_OK;
  }
  UNEXPECTED(IVectorView, IndexOf, T*, UINT32*, boolean*)
  UNEXPECTED(IVectorView, GetMany, UINT32, UINT32, T**, UINT32*)

 private:
  std::vector<T*> items_;
};

// --- Asynchronous calls ------------------------------------------------------------

// An asynchronous call `name` that runs op_ms and then ends as its
// `name_ends` key says; `complete` does its work once it completes (never
// when it is cancelled or fails first).
class Progress {
 public:
  Progress(std::string name, std::function<void()> complete)
      : name_(std::move(name)), complete_(std::move(complete)) {
    const standin::Settings state = State();
    due_ = GetTickCount64() + std::strtoul(standin::Get(state, "op_ms", "0").c_str(), nullptr, 10);
    const std::string ends = standin::Get(state, (name_ + "_ends").c_str());
    if (ends == "canceled") planned_ = Canceled;
    if (ends.rfind("error:", 0) == 0) {
      planned_ = Error;
      code_ = HRESULT(std::strtoul(ends.c_str() + 6, nullptr, 16));
    }
  }
  AsyncStatus Status() {
    std::lock_guard lock(mutex_);
    if (status_ != Started || GetTickCount64() < due_) return status_;
    status_ = planned_;
    if (status_ == Completed)
      complete_();
    else
      Log(name_ + (status_ == Error ? " ended in an error" : " canceled"));
    return status_;
  }
  HRESULT Code() {
    std::lock_guard lock(mutex_);
    return status_ == Error ? code_ : S_OK;
  }
  void Cancel() {
    std::lock_guard lock(mutex_);
    if (status_ != Started) return;
    status_ = Canceled;
    Log(name_ + " canceled by the caller");
  }

 private:
  std::mutex mutex_;
  std::string name_;
  std::function<void()> complete_;
  ULONGLONG due_ = 0;
  AsyncStatus planned_ = Completed, status_ = Started;
  HRESULT code_ = S_OK;
};

// An asynchronous call as `I` (IAsyncAction or IAsyncOperation<T>) and as
// IAsyncInfo, one object as the system's are.
template <typename I>
class Async : public Object<I, ::IAsyncInfo> {
 public:
  Async(const GUID& iid, std::string name, std::function<void()> complete)
      : progress_(std::move(name), std::move(complete)) {
    this->Answer(iid, static_cast<I*>(this));
    this->Answer(__uuidof(::IAsyncInfo), static_cast<::IAsyncInfo*>(this));
  }
  UNEXPECTED(IAsync, put_Completed, Opaque*)
  UNEXPECTED(IAsync, get_Completed, Opaque**)
  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override { return *id = 1, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
    return *status = progress_.Status(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
    return *code = progress_.Code(), S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override { return progress_.Cancel(), S_OK; }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 protected:
  bool Completed() { return progress_.Status() == ::Completed; }

 private:
  Progress progress_;
};

class Action : public Async<IAsyncAction> {
 public:
  Action(std::string name, std::function<void()> complete)
      : Async(kIAsyncAction, std::move(name), std::move(complete)) {}
  HRESULT STDMETHODCALLTYPE GetResults() override {
    return Completed() ? S_OK : kIllegalMethodCall;
  }
};

class Result : public Object<INetworkOperatorTetheringOperationResult> {
 public:
  Result(int status, std::string message) : status_(status), message_(std::move(message)) {
    Answer(kINetworkOperatorTetheringOperationResult, this);
  }
  HRESULT STDMETHODCALLTYPE get_Status(int* status) override { return *status = status_, S_OK; }
  HRESULT STDMETHODCALLTYPE get_AdditionalErrorMessage(HSTRING* message) override {
    return Hstring(message_, message);
  }

 private:
  int status_;
  std::string message_;
};

// A start or stop; what it did is known once it completed.
class Operation : public Async<IAsyncOperation<INetworkOperatorTetheringOperationResult>> {
 public:
  // `run` does the work and gives the status and message.
  Operation(std::string name, std::function<std::pair<int, std::string>()> run)
      : Async(GUID{}, std::move(name), [this, run] { outcome_ = run(); }) {}
  HRESULT STDMETHODCALLTYPE GetResults(INetworkOperatorTetheringOperationResult** result) override {
    if (!Completed()) return kIllegalMethodCall;
    *result = new Result(outcome_.first, outcome_.second);
    return S_OK;
  }

 private:
  std::pair<int, std::string> outcome_{1, {}};
};

// --- Network information -------------------------------------------------------------

struct ProfileData {
  std::string name, adapter_id;
  int level = InternetAccess;
};

std::vector<ProfileData> Profiles() {
  std::vector<ProfileData> profiles;
  std::string list = StateOf("profiles", "宽带连接||3");
  while (!list.empty()) {
    const size_t semicolon = list.find(';');
    const std::string entry = list.substr(0, semicolon);
    const size_t bar1 = entry.find('|'), bar2 = entry.find('|', bar1 + 1);
    ProfileData p{entry.substr(0, bar1),
                  bar1 == std::string::npos ? "" : entry.substr(bar1 + 1, bar2 - bar1 - 1)};
    if (bar2 != std::string::npos) p.level = std::atoi(entry.c_str() + bar2 + 1);
    profiles.push_back(p);
    list = semicolon == std::string::npos ? std::string() : list.substr(semicolon + 1);
  }
  return profiles;
}

class Adapter : public Object<INetworkAdapter> {
 public:
  explicit Adapter(std::string id) : id_(std::move(id)) { Answer(kINetworkAdapter, this); }
  UNEXPECTED(INetworkAdapter, get_OutboundMaxBitsPerSecond, UINT64*)
  UNEXPECTED(INetworkAdapter, get_InboundMaxBitsPerSecond, UINT64*)
  UNEXPECTED(INetworkAdapter, get_IanaInterfaceType, UINT32*)
  UNEXPECTED(INetworkAdapter, get_NetworkItem, Opaque**)
  HRESULT STDMETHODCALLTYPE get_NetworkAdapterId(GUID* id) override {
    *id = GUID{};
    if (!id_.empty()) CLSIDFromString(standin::ToWide(id_).c_str(), id);
    return S_OK;
  }
  UNEXPECTED(INetworkAdapter, GetConnectedProfileAsync, IAsyncOperation<IConnectionProfile>**)

 private:
  std::string id_;
};

class Profile : public Object<IConnectionProfile> {
 public:
  explicit Profile(ProfileData data) : data_(std::move(data)) { Answer(kIConnectionProfile, this); }
  HRESULT STDMETHODCALLTYPE get_ProfileName(HSTRING* v) override { return Hstring(data_.name, v); }
  HRESULT STDMETHODCALLTYPE GetNetworkConnectivityLevel(NetworkConnectivityLevel* level) override {
    return *level = NetworkConnectivityLevel(data_.level), S_OK;
  }
  UNEXPECTED(IConnectionProfile, GetNetworkNames, Opaque**)
  UNEXPECTED(IConnectionProfile, GetConnectionCost, Opaque**)
  UNEXPECTED(IConnectionProfile, GetDataPlanStatus, Opaque**)
  HRESULT STDMETHODCALLTYPE get_NetworkAdapter(INetworkAdapter** adapter) override {
    *adapter = new Adapter(data_.adapter_id);
    return S_OK;
  }
  UNEXPECTED(IConnectionProfile, GetLocalUsage, DateTime, DateTime, Opaque**)
  UNEXPECTED(IConnectionProfile, GetLocalUsagePerRoamingStates, DateTime, DateTime, UINT32,
             Opaque**)
  UNEXPECTED(IConnectionProfile, get_NetworkSecuritySettings, Opaque**)

 private:
  ProfileData data_;
};

class NetworkInformation : public Object<INetworkInformationStatics> {
 public:
  NetworkInformation() { Answer(kINetworkInformationStatics, this); }
  HRESULT STDMETHODCALLTYPE GetConnectionProfiles(IVectorView<IConnectionProfile>** out) override {
    std::vector<IConnectionProfile*> items;
    for (const ProfileData& p : Profiles()) items.push_back(new Profile(p));
    *out = new Vector<IConnectionProfile>(items);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(IConnectionProfile** out) override {
    *out = nullptr;  // none: the system's answer without internet
    for (const ProfileData& p : Profiles())
      if (!*out && p.level == InternetAccess) *out = new Profile(p);
    return S_OK;
  }
  UNEXPECTED(INetworkInformationStatics, GetLanIdentifiers, Opaque**)
  UNEXPECTED(INetworkInformationStatics, GetHostNames, IVectorView<IHostName>**)
  UNEXPECTED(INetworkInformationStatics, GetProxyConfigurationAsync, Opaque*, Opaque**)
  UNEXPECTED(INetworkInformationStatics, GetSortedEndpointPairs, Opaque*, UINT32, Opaque**)
  UNEXPECTED(INetworkInformationStatics, add_NetworkStatusChanged, Opaque*, EventRegistrationToken*)
  UNEXPECTED(INetworkInformationStatics, remove_NetworkStatusChanged, EventRegistrationToken)
};

// --- The tethering manager ---------------------------------------------------------

class Configuration : public Object<INetworkOperatorTetheringAccessPointConfiguration> {
 public:
  Configuration() : ssid_(StateOf("ssid")), passphrase_(StateOf("passphrase")) {
    Answer(kINetworkOperatorTetheringAccessPointConfiguration, this);
  }
  HRESULT STDMETHODCALLTYPE get_Ssid(HSTRING* v) override { return Hstring(ssid_, v); }
  HRESULT STDMETHODCALLTYPE put_Ssid(HSTRING v) override { return ssid_ = Utf8(v), S_OK; }
  HRESULT STDMETHODCALLTYPE get_Passphrase(HSTRING* v) override { return Hstring(passphrase_, v); }
  HRESULT STDMETHODCALLTYPE put_Passphrase(HSTRING v) override {
    return passphrase_ = Utf8(v), S_OK;
  }

 private:
  std::string ssid_, passphrase_;
};

class HostName : public Object<IHostName> {
 public:
  explicit HostName(std::string name) : name_(std::move(name)) { Answer(kIHostName, this); }
  UNEXPECTED(IHostName, get_IPInformation, Opaque**)
  UNEXPECTED(IHostName, get_RawName, HSTRING*)
  HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* v) override { return Hstring(name_, v); }
  UNEXPECTED(IHostName, get_CanonicalName, HSTRING*)
  UNEXPECTED(IHostName, get_Type, int*)
  UNEXPECTED(IHostName, IsEqual, IHostName*, boolean*)

 private:
  std::string name_;
};

class Client : public Object<INetworkOperatorTetheringClient> {
 public:
  Client(std::string mac, std::string name) : mac_(std::move(mac)), name_(std::move(name)) {
    Answer(kINetworkOperatorTetheringClient, this);
  }
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

class Manager
    : public Object<INetworkOperatorTetheringManager, INetworkOperatorTetheringClientManager> {
 public:
  Manager() {
    Answer(kINetworkOperatorTetheringManager, static_cast<INetworkOperatorTetheringManager*>(this));
    Answer(kINetworkOperatorTetheringClientManager,
           static_cast<INetworkOperatorTetheringClientManager*>(this));
  }
  HRESULT STDMETHODCALLTYPE get_MaxClientCount(UINT32* n) override { return *n = 8, S_OK; }
  UNEXPECTED(INetworkOperatorTetheringManager, get_ClientCount, UINT32*)
  HRESULT STDMETHODCALLTYPE
  get_TetheringOperationalState(TetheringOperationalState* state) override {
    *state = StateOf("running") == "1" ? On : Off;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(
      INetworkOperatorTetheringAccessPointConfiguration** out) override {
    *out = new Configuration;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(
      INetworkOperatorTetheringAccessPointConfiguration* config, IAsyncAction** action) override {
    if (!config || !action) return E_POINTER;
    HSTRING ssid = nullptr, passphrase = nullptr;
    config->get_Ssid(&ssid);
    config->get_Passphrase(&passphrase);
    const std::string s = Utf8(ssid), p = Utf8(passphrase);
    WindowsDeleteString(ssid);
    WindowsDeleteString(passphrase);
    Log("configure ssid=" + s + " passphrase=" + p);
    *action = new Action("configure", [s, p] {
      UpdateState([&](standin::Settings& state) {
        standin::Set(state, "ssid", s);
        standin::Set(state, "passphrase", p);
      });
    });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  StartTetheringAsync(IAsyncOperation<INetworkOperatorTetheringOperationResult>** out) override {
    Log("start");
    *out = new Operation("start", [] {
      std::pair<int, std::string> outcome{0, {}};
      UpdateState([&](standin::Settings& state) {
        outcome.second = standin::Get(state, "refuse");
        if (outcome.second.empty())
          standin::Set(state, "running", "1");
        else
          outcome.first = std::atoi(standin::Get(state, "refuse_status", "3").c_str());
      });
      if (outcome.first != 0) Log("start refused");
      return outcome;
    });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  StopTetheringAsync(IAsyncOperation<INetworkOperatorTetheringOperationResult>** out) override {
    Log("stop");
    *out = new Operation("stop", [] {
      UpdateState([](standin::Settings& state) { standin::Set(state, "running", "0"); });
      return std::pair<int, std::string>{0, {}};
    });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetTetheringClients(IVectorView<INetworkOperatorTetheringClient>** out) override {
    std::vector<INetworkOperatorTetheringClient*> items;
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
    *out = new Vector<INetworkOperatorTetheringClient>(items);
    return S_OK;
  }
};

std::string NameOf(IConnectionProfile* profile) {
  HSTRING name = nullptr;
  profile->get_ProfileName(&name);
  std::string text = Utf8(name);
  WindowsDeleteString(name);
  return text;
}

// The class's statics: one object with the interfaces the system's has.
class TetheringStatics : public Object<INetworkOperatorTetheringManagerStatics2,
                                       INetworkOperatorTetheringManagerStatics4> {
 public:
  TetheringStatics() {
    Answer(kINetworkOperatorTetheringManagerStatics2,
           static_cast<INetworkOperatorTetheringManagerStatics2*>(this));
    Answer(kINetworkOperatorTetheringManagerStatics4,
           static_cast<INetworkOperatorTetheringManagerStatics4*>(this));
  }
  HRESULT STDMETHODCALLTYPE GetTetheringCapabilityFromConnectionProfile(IConnectionProfile* profile,
                                                                        int* capability) override {
    if (!profile || !capability) return E_POINTER;
    Log("capability " + NameOf(profile));
    *capability = std::atoi(StateOf("capability", "0").c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(
      IConnectionProfile* profile, INetworkOperatorTetheringManager** out) override {
    if (!profile || !out) return E_POINTER;
    Log("create " + NameOf(profile));
    *out = new Manager;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsNoConnectionsTimeoutEnabled(boolean* enabled) override {
    *enabled = StateOf("no_clients_timeout", "1") == "1";
    return S_OK;
  }
  UNEXPECTED(INetworkOperatorTetheringManagerStatics4, EnableNoConnectionsTimeout)
  HRESULT STDMETHODCALLTYPE EnableNoConnectionsTimeoutAsync(IAsyncAction** action) override {
    return Switch(true, action);
  }
  UNEXPECTED(INetworkOperatorTetheringManagerStatics4, DisableNoConnectionsTimeout)
  HRESULT STDMETHODCALLTYPE DisableNoConnectionsTimeoutAsync(IAsyncAction** action) override {
    return Switch(false, action);
  }

 private:
  static HRESULT Switch(bool enabled, IAsyncAction** action) {
    Log(enabled ? "timeout on" : "timeout off");
    *action = new Action("timeout", [enabled] {
      UpdateState([&](standin::Settings& state) {
        standin::Set(state, "no_clients_timeout", enabled ? "1" : "0");
      });
    });
    return S_OK;
  }
};

// The factory combase asks for first; the class's statics come from it.
class Factory : public Object<IActivationFactory> {
 public:
  explicit Factory(bool tethering) : tethering_(tethering) { Answer(kIActivationFactory, this); }
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (Object::QueryInterface(riid, out) == S_OK) return S_OK;
    if (!tethering_ && IsEqualIID(riid, kINetworkInformationStatics)) {
      *out = static_cast<INetworkInformationStatics*>(new NetworkInformation);
      return S_OK;
    }
    const bool without_switch = StateOf("timeout_switch", "1") == "0";
    if (tethering_ &&
        (IsEqualIID(riid, kINetworkOperatorTetheringManagerStatics2) ||
         (IsEqualIID(riid, kINetworkOperatorTetheringManagerStatics4) && !without_switch))) {
      auto* statics = new TetheringStatics;
      const HRESULT hr = statics->QueryInterface(riid, out);
      statics->Release();
      return hr;
    }
    return E_NOINTERFACE;
  }

 private:
  bool tethering_;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetActivationFactory(HSTRING id, IActivationFactory** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const std::wstring name = standin::ToWide(Utf8(id));
  if (name == kNetworkOperatorTetheringManager) *out = new Factory(true);
  if (name == kNetworkInformation) *out = new Factory(false);
  return *out ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
  return g_live == 0 ? S_OK : S_FALSE;
}
