// An in-process sharing manager ("HNetCfg.HNetShare") for the test prefix:
// the connections and their sharing come from sharing.ini, one
// "NAME|STATUS|SHARING" line each (SHARING: none, public or private), read
// again at every enumeration and rewritten at every EnableSharing and
// DisableSharing. Like the system's, it allows one public and one private
// connection: sharing a connection as public takes public sharing from any
// other, and likewise for private.
//
// A test switches sharing off behind the program's back by writing "none"
// for that connection in sharing.ini, as a Windows update or another program
// does; the next walk sees it.
//
// The typed interfaces are served, and late-bound callers (scripts, which
// go through IDispatch by member name) reach the same methods: each object
// lists the members such callers use and routes them to its typed method.
// Every object is immutable or locked, so ThreadingModel=Both holds.
//
// sharing-fail.txt naming one step makes that step fail with E_FAIL, the way
// a broken sharing service answers: "create" (the manager itself), "enum"
// (listing the connections), "props" (a connection's properties), "config"
// (a connection's sharing configuration), "enable" or "disable".
#include <windows.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <mutex>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "com_object.h"
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

bool FailsAt(const char* step) {
  std::string text;
  if (!standin::ReadFileText(standin::PathOf(L"sharing-fail.txt"), text)) return false;
  for (const std::string& line : standin::Lines(text))
    if (line == step) return true;
  return false;
}

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
  if (FailsAt(kind == "none" ? "disable" : "enable")) return E_FAIL;
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
class Unknown : public ComObject<I> {
 public:
  explicit Unknown(std::initializer_list<IID> iids) : ComObject<I>(iids, g_objects) {}
};

// One member of an object as late-bound callers see it.
struct Member {
  const wchar_t* name;
  DISPID id;
  bool method;      // called; otherwise a property that is only read
  UINT arguments;   // exactly this many
};

// The arguments of one late-bound call, in call order (DISPPARAMS holds
// them last first).
class Arguments {
 public:
  Arguments(const DISPPARAMS& params, UINT* bad) : params_(params), bad_(bad) {}

  // The index-th argument as `type` (by-reference arguments followed); on
  // failure the argument is reported to the caller as the faulty one.
  HRESULT Get(UINT index, VARTYPE type, VARIANT& out) const {
    VariantInit(&out);
    const UINT slot = params_.cArgs - 1 - index;
    const HRESULT hr = VariantChangeType(&out, &params_.rgvarg[slot], 0, type);
    if (FAILED(hr)) {
      failed_ = true;
      if (bad_) *bad_ = slot;
    }
    return hr;
  }
  HRESULT Long(UINT index, LONG& value) const {
    VARIANT v;
    const HRESULT hr = Get(index, VT_I4, v);
    if (SUCCEEDED(hr)) value = V_I4(&v);
    return hr;
  }
  // A connection argument (VT_UNKNOWN or VT_DISPATCH); null when the object
  // is no connection at all, which the typed methods refuse.
  HRESULT Connection(UINT index, INetConnection*& connection) const {
    connection = nullptr;
    VARIANT v;
    const HRESULT hr = Get(index, VT_UNKNOWN, v);
    if (FAILED(hr)) return hr;
    if (V_UNKNOWN(&v))
      V_UNKNOWN(&v)->QueryInterface(IID_INetConnection, reinterpret_cast<void**>(&connection));
    VariantClear(&v);
    return S_OK;
  }
  // Whether a failure came from an argument rather than from the member.
  bool Failed() const { return failed_; }

 private:
  const DISPPARAMS& params_;
  UINT* bad_;
  mutable bool failed_ = false;
};

// Results of a late-bound call; an object result takes over the reference.
template <typename T>
void PutObject(VARIANT& out, T* object) {
  V_VT(&out) = VT_DISPATCH;
  V_DISPATCH(&out) = object;
}
inline void PutLong(VARIANT& out, LONG value) {
  V_VT(&out) = VT_I4;
  V_I4(&out) = value;
}

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
  // Member names are matched without regard to case. No member takes named
  // arguments, so any names after the first are unknown.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      const Member* member = i == 0 && names[0] ? Find(names[0]) : nullptr;
      ids[i] = member ? member->id : DISPID_UNKNOWN;
      if (!member) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* bad_argument) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    const Member* member = nullptr;
    for (const Member& m : Members())
      if (m.id == id) member = &m;
    if (!member) return DISP_E_MEMBERNOTFOUND;
    // Automation clients send "get or call" for both kinds; nothing here
    // can be assigned.
    const WORD allowed = member->method ? DISPATCH_METHOD : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (!(flags & allowed) || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
      return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != member->arguments) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;

    const Arguments arguments(*params, bad_argument);
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = Call(id, arguments, out);
    if (FAILED(hr)) {
      VariantClear(&out);
      if (arguments.Failed() || !exception) return hr;
      // The member itself failed: raised to the caller with its code.
      *exception = EXCEPINFO{};
      exception->scode = hr;
      return DISP_E_EXCEPTION;
    }
    if (result) {
      *result = out;
    } else {
      VariantClear(&out);
    }
    return S_OK;
  }

 protected:
  virtual std::span<const Member> Members() const = 0;
  // Runs a member already checked against its entry in Members().
  virtual HRESULT Call(DISPID id, const Arguments& arguments, VARIANT& out) = 0;

 private:
  const Member* Find(const wchar_t* name) const {
    for (const Member& m : Members())
      if (_wcsicmp(m.name, name) == 0) return &m;
    return nullptr;
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

 protected:
  std::span<const Member> Members() const override {
    static constexpr Member kMembers[] = {{L"Name", 2, false, 0},
                                          {L"Status", 4, false, 0},
                                          {L"MediaType", 5, false, 0},
                                          {L"Characteristics", 6, false, 0}};
    return kMembers;
  }
  HRESULT Call(DISPID id, const Arguments&, VARIANT& out) override {
    switch (id) {
      case 2: {
        BSTR name = nullptr;
        const HRESULT hr = get_Name(&name);
        if (SUCCEEDED(hr)) {
          V_VT(&out) = VT_BSTR;
          V_BSTR(&out) = name;
        }
        return hr;
      }
      case 4: {
        NETCON_STATUS status{};
        const HRESULT hr = get_Status(&status);
        if (SUCCEEDED(hr)) PutLong(out, LONG(status));
        return hr;
      }
      case 5: {
        NETCON_MEDIATYPE type{};
        const HRESULT hr = get_MediaType(&type);
        if (SUCCEEDED(hr)) PutLong(out, LONG(type));
        return hr;
      }
      case 6: {
        DWORD flags = 0;
        const HRESULT hr = get_Characteristics(&flags);
        if (SUCCEEDED(hr)) PutLong(out, LONG(flags));
        return hr;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
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

 protected:
  std::span<const Member> Members() const override {
    static constexpr Member kMembers[] = {{L"SharingEnabled", 1, false, 0},
                                          {L"DisableSharing", 3, true, 0},
                                          {L"EnableSharing", 4, true, 1}};
    return kMembers;
  }
  HRESULT Call(DISPID id, const Arguments& arguments, VARIANT& out) override {
    switch (id) {
      case 1: {
        VARIANT_BOOL enabled = VARIANT_FALSE;
        const HRESULT hr = get_SharingEnabled(&enabled);
        if (SUCCEEDED(hr)) {
          V_VT(&out) = VT_BOOL;
          V_BOOL(&out) = enabled;
        }
        return hr;
      }
      case 3:
        return DisableSharing();
      case 4: {
        LONG type = 0;
        const HRESULT hr = arguments.Long(0, type);
        return FAILED(hr) ? hr : EnableSharing(SHARINGCONNECTIONTYPE(type));
      }
    }
    return DISP_E_MEMBERNOTFOUND;
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

 protected:
  std::span<const Member> Members() const override {
    static constexpr Member kMembers[] = {{L"Count", 1, false, 0},
                                          {L"_NewEnum", DISPID_NEWENUM, false, 0}};
    return kMembers;
  }
  HRESULT Call(DISPID id, const Arguments&, VARIANT& out) override {
    if (id == 1) {
      __LONG32 count = 0;
      const HRESULT hr = get_Count(&count);
      if (SUCCEEDED(hr)) PutLong(out, LONG(count));
      return hr;
    }
    if (id == DISPID_NEWENUM) {
      IUnknown* items = nullptr;
      const HRESULT hr = get__NewEnum(&items);
      if (SUCCEEDED(hr)) {
        V_VT(&out) = VT_UNKNOWN;
        V_UNKNOWN(&out) = items;
      }
      return hr;
    }
    return DISP_E_MEMBERNOTFOUND;
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
      SHARINGCONNECTION_ENUM_FLAGS flags, INetSharingPublicConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // Every public connection is enabled: both kinds list the same ones.
    if (flags != ICSSC_DEFAULT && flags != ICSSC_ENABLED) return E_INVALIDARG;
    *out = new Collection<INetSharingPublicConnectionCollection>(
        IID_INetSharingPublicConnectionCollection, IID_IEnumNetSharingPublicConnection,
        LinksSharedAs("public"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumPrivateConnections(
      SHARINGCONNECTION_ENUM_FLAGS flags, INetSharingPrivateConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    // Every private connection is enabled: both kinds list the same ones.
    if (flags != ICSSC_DEFAULT && flags != ICSSC_ENABLED) return E_INVALIDARG;
    *out = new Collection<INetSharingPrivateConnectionCollection>(
        IID_INetSharingPrivateConnectionCollection, IID_IEnumNetSharingPrivateConnection,
        LinksSharedAs("private"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  get_EnumEveryConnection(INetSharingEveryConnectionCollection** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (FailsAt("enum")) return E_FAIL;
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
    if (FailsAt("config")) return E_FAIL;
    *out = new Configuration(link->name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_NetConnectionProps(INetConnection* connection,
                                                   INetConnectionProps** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Link* link = LinkOf(connection);
    if (!link) return E_INVALIDARG;
    if (FailsAt("props")) return E_FAIL;
    *out = new Props(*link);
    return S_OK;
  }

 protected:
  std::span<const Member> Members() const override {
    static constexpr Member kMembers[] = {
        {L"SharingInstalled", 1, false, 0},
        {L"EnumPublicConnections", 2, false, 1},
        {L"EnumPrivateConnections", 3, false, 1},
        {L"INetSharingConfigurationForINetConnection", 4, false, 1},
        {L"EnumEveryConnection", 5, false, 0},
        {L"NetConnectionProps", 6, false, 1}};
    return kMembers;
  }
  HRESULT Call(DISPID id, const Arguments& arguments, VARIANT& out) override {
    switch (id) {
      case 1: {
        VARIANT_BOOL installed = VARIANT_FALSE;
        const HRESULT hr = get_SharingInstalled(&installed);
        if (SUCCEEDED(hr)) {
          V_VT(&out) = VT_BOOL;
          V_BOOL(&out) = installed;
        }
        return hr;
      }
      case 2:
      case 3: {
        LONG flags = 0;
        HRESULT hr = arguments.Long(0, flags);
        if (FAILED(hr)) return hr;
        if (id == 2) {
          INetSharingPublicConnectionCollection* collection = nullptr;
          hr = get_EnumPublicConnections(SHARINGCONNECTION_ENUM_FLAGS(flags), &collection);
          if (SUCCEEDED(hr)) PutObject(out, collection);
        } else {
          INetSharingPrivateConnectionCollection* collection = nullptr;
          hr = get_EnumPrivateConnections(SHARINGCONNECTION_ENUM_FLAGS(flags), &collection);
          if (SUCCEEDED(hr)) PutObject(out, collection);
        }
        return hr;
      }
      case 4:
      case 6: {
        INetConnection* connection = nullptr;
        HRESULT hr = arguments.Connection(0, connection);
        if (FAILED(hr)) return hr;
        if (id == 4) {
          INetSharingConfiguration* configuration = nullptr;
          hr = get_INetSharingConfigurationForINetConnection(connection, &configuration);
          if (SUCCEEDED(hr)) PutObject(out, configuration);
        } else {
          INetConnectionProps* props = nullptr;
          hr = get_NetConnectionProps(connection, &props);
          if (SUCCEEDED(hr)) PutObject(out, props);
        }
        if (connection) connection->Release();
        return hr;
      }
      case 5: {
        INetSharingEveryConnectionCollection* collection = nullptr;
        const HRESULT hr = get_EnumEveryConnection(&collection);
        if (SUCCEEDED(hr)) PutObject(out, collection);
        return hr;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
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
    if (FailsAt("create")) return E_FAIL;
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
