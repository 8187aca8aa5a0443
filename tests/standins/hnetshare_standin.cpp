// An in-process sharing manager ("HNetCfg.HNetShare") for the test prefix:
// the connections and their sharing come from sharing.ini, one
// "NAME|STATUS|SHARING" line each (SHARING: none, public or private), read
// again at every enumeration and rewritten at every EnableSharing and
// DisableSharing. Like the system's, it allows one public and one private
// connection: sharing a connection as public takes public sharing from any
// other, and likewise for private.
//
// Only the typed interfaces are served; IDispatch answers that it has no
// members. Every object is immutable or locked, so ThreadingModel=Both holds.
#include <windows.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "standin_state.h"

namespace {

constexpr CLSID kClsidSharingManager = {
    0x5C63C1AD, 0x3956, 0x4FF8, {0x84, 0x86, 0x40, 0x03, 0x47, 0x58, 0x31, 0x5B}};
// Missing from mingw-w64's import libraries.
constexpr IID kIidEnumEveryConnection = {
    0xC08956B8, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
// Answered only by this manager's own connections: tells them from others.
constexpr IID kIidOwnConnection = {
    0x2F0B8E61, 0x4C3A, 0x4E57, {0x9D, 0x12, 0x6A, 0x8B, 0x31, 0x7C, 0x05, 0xE4}};

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

// One line of sharing.ini.
struct Link {
  std::string name;
  std::string status;   // NETCON_STATUS as a number
  std::string sharing;  // "none", "public" or "private"
};

std::wstring LinksPath() { return standin::PathOf(L"sharing.ini"); }

std::vector<Link> ReadLinks() {
  std::string text;
  std::vector<Link> links;
  if (!standin::ReadFileText(LinksPath(), text)) return links;
  for (const std::string& line : standin::Lines(text)) {
    // Split at the last two bars: a name is taken whole.
    const size_t second = line.rfind('|');
    if (second == std::string::npos || second == 0) continue;
    const size_t first = line.rfind('|', second - 1);
    if (first == std::string::npos || first == 0) continue;
    Link link{line.substr(0, first), line.substr(first + 1, second - first - 1),
              line.substr(second + 1)};
    if (link.sharing != "public" && link.sharing != "private") link.sharing = "none";
    links.push_back(std::move(link));
  }
  return links;
}

bool WriteLinks(const std::vector<Link>& links) {
  std::string text;
  for (const Link& link : links)
    text += link.name + "|" + link.status + "|" + link.sharing + "\r\n";
  return standin::WriteFileText(LinksPath(), text);
}

std::string SharingOf(const std::string& name) {
  for (const Link& link : ReadLinks())
    if (link.name == name) return link.sharing;
  return "none";
}

// Gives `name` the sharing `kind` (and takes that kind from every other
// connection when it is public or private).
HRESULT ChangeSharing(const std::string& name, const std::string& kind) {
  standin::Lock lock;
  std::vector<Link> links = ReadLinks();
  bool found = false;
  for (Link& link : links) {
    if (link.name == name) {
      link.sharing = kind;
      found = true;
    } else if (kind != "none" && link.sharing == kind) {
      link.sharing = "none";
    }
  }
  if (!found) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  return WriteLinks(links) ? S_OK : HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
}

// --- COM plumbing ---------------------------------------------------------------

template <typename I>
class Unknown : public I {
 public:
  explicit Unknown(std::initializer_list<IID> iids) : iids_(iids) { ++g_objects; }
  virtual ~Unknown() { --g_objects; }
  Unknown(const Unknown&) = delete;
  Unknown& operator=(const Unknown&) = delete;

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
  std::atomic<ULONG> refs_{1};
};

template <typename I>
class Dispatch : public Unknown<I> {
 public:
  using Unknown<I>::Unknown;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// --- The sharing objects ----------------------------------------------------------

class Connection : public Unknown<INetConnection> {
 public:
  explicit Connection(Link link)
      : Unknown({IID_INetConnection, kIidOwnConnection}), link(std::move(link)) {}
  HRESULT STDMETHODCALLTYPE Connect() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Disconnect() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Duplicate(LPCWSTR, INetConnection**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetProperties(NETCON_PROPERTIES**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUiObjectClassId(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Rename(LPCWSTR) override { return E_NOTIMPL; }

  const Link link;  // as the enumeration read it
};

// The link of one of our own connections; null for any other object.
const Link* LinkOf(INetConnection* connection) {
  void* own = nullptr;
  if (!connection || FAILED(connection->QueryInterface(kIidOwnConnection, &own))) return nullptr;
  auto* ours = static_cast<Connection*>(static_cast<INetConnection*>(own));
  ours->Release();  // the caller holds its own reference
  return &ours->link;
}

class Props : public Dispatch<INetConnectionProps> {
 public:
  explicit Props(Link link) : Dispatch({IID_INetConnectionProps}), link_(std::move(link)) {}
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    if (!name) return E_POINTER;
    *name = SysAllocString(standin::ToWide(link_.name).c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Status(NETCON_STATUS* status) override {
    if (!status) return E_POINTER;
    char* end = nullptr;
    const long value = std::strtol(link_.status.c_str(), &end, 10);
    *status = end != link_.status.c_str() ? NETCON_STATUS(value) : NCS_CONNECTED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MediaType(NETCON_MEDIATYPE* type) override {
    if (!type) return E_POINTER;
    *type = NCM_LAN;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Characteristics(DWORD* flags) override {
    if (!flags) return E_POINTER;
    *flags = 0;
    return S_OK;
  }

 private:
  const Link link_;
};

class Configuration : public Dispatch<INetSharingConfiguration> {
 public:
  explicit Configuration(std::string name)
      : Dispatch({IID_INetSharingConfiguration}), name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE get_SharingEnabled(VARIANT_BOOL* enabled) override {
    if (!enabled) return E_POINTER;
    *enabled = SharingOf(name_) != "none" ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SharingConnectionType(SHARINGCONNECTIONTYPE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableSharing() override { return ChangeSharing(name_, "none"); }
  HRESULT STDMETHODCALLTYPE EnableSharing(SHARINGCONNECTIONTYPE type) override {
    if (type == ICSSHARINGTYPE_PUBLIC) return ChangeSharing(name_, "public");
    if (type == ICSSHARINGTYPE_PRIVATE) return ChangeSharing(name_, "private");
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_InternetFirewallEnabled(VARIANT_BOOL*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableInternetFirewall() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableInternetFirewall() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_EnumPortMappings(SHARINGCONNECTION_ENUM_FLAGS,
                                                 INetSharingPortMappingCollection**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE AddPortMapping(BSTR, UCHAR, USHORT, USHORT, DWORD, BSTR, ICS_TARGETTYPE,
                                           INetSharingPortMapping**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RemovePortMapping(INetSharingPortMapping*) override {
    return E_NOTIMPL;
  }

 private:
  const std::string name_;
};

// Hands out connections as VT_UNKNOWN variants. The typed enumerators
// (IEnumNetSharingEveryConnection and the others) have IEnumVARIANT's
// layout, so this one class answers to both.
class Enumerator : public Unknown<IEnumVARIANT> {
 public:
  Enumerator(std::vector<Link> links, const IID& typed, size_t next = 0)
      : Unknown({IID_IEnumVARIANT, typed}), links_(std::move(links)), typed_(typed), next_(next) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    std::lock_guard lock(mutex_);
    ULONG given = 0;
    for (; given < count && next_ < links_.size(); ++given) {
      VariantInit(&items[given]);
      V_VT(&items[given]) = VT_UNKNOWN;
      V_UNKNOWN(&items[given]) = new Connection(links_[next_++]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    std::lock_guard lock(mutex_);
    next_ += count;
    if (next_ <= links_.size()) return S_OK;
    next_ = links_.size();
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    std::lock_guard lock(mutex_);
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (!copy) return E_POINTER;
    std::lock_guard lock(mutex_);
    *copy = new Enumerator(links_, typed_, next_);
    return S_OK;
  }

 private:
  const std::vector<Link> links_;
  const IID typed_;
  std::mutex mutex_;
  size_t next_;
};

template <typename I>
class Collection : public Dispatch<I> {
 public:
  Collection(const IID& iid, const IID& typed_enum, std::vector<Link> links)
      : Dispatch<I>({iid}), typed_enum_(typed_enum), links_(std::move(links)) {}
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override {
    if (!out) return E_POINTER;
    *out = new Enumerator(links_, typed_enum_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Count(__LONG32* count) override {
    if (!count) return E_POINTER;
    *count = __LONG32(links_.size());
    return S_OK;
  }

 private:
  const IID typed_enum_;
  const std::vector<Link> links_;
};

std::vector<Link> LinksSharedAs(const char* kind) {
  std::vector<Link> links;
  for (Link& link : ReadLinks())
    if (link.sharing == kind) links.push_back(std::move(link));
  return links;
}

class Manager : public Dispatch<INetSharingManager> {
 public:
  Manager() : Dispatch({IID_INetSharingManager}) {}
  HRESULT STDMETHODCALLTYPE get_SharingInstalled(VARIANT_BOOL* installed) override {
    if (!installed) return E_POINTER;
    *installed = VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumPublicConnections(
      SHARINGCONNECTION_ENUM_FLAGS, INetSharingPublicConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = new Collection<INetSharingPublicConnectionCollection>(
        IID_INetSharingPublicConnectionCollection, IID_IEnumNetSharingPublicConnection,
        LinksSharedAs("public"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumPrivateConnections(
      SHARINGCONNECTION_ENUM_FLAGS, INetSharingPrivateConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = new Collection<INetSharingPrivateConnectionCollection>(
        IID_INetSharingPrivateConnectionCollection, IID_IEnumNetSharingPrivateConnection,
        LinksSharedAs("private"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  get_EnumEveryConnection(INetSharingEveryConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = new Collection<INetSharingEveryConnectionCollection>(
        IID_INetSharingEveryConnectionCollection, kIidEnumEveryConnection, ReadLinks());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_INetSharingConfigurationForINetConnection(
      INetConnection* connection, INetSharingConfiguration** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Link* link = LinkOf(connection);
    if (!link) return E_INVALIDARG;
    *out = new Configuration(link->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_NetConnectionProps(INetConnection* connection,
                                                   INetConnectionProps** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Link* link = LinkOf(connection);
    if (!link) return E_INVALIDARG;
    *out = new Props(*link);
    return S_OK;
  }
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory for the life of the module.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* manager = new Manager;
    const HRESULT hr = manager->QueryInterface(riid, out);
    manager->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
};

Factory g_factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kClsidSharingManager)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, out);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}
