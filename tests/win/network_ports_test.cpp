// The Windows implementations of the networking ports. Under Wine there is
// no sharing manager, no connection manager and no WLAN hardware: those ports
// are checked against stand-ins of our own (a sharing manager registered in
// this process, WLAN functions handed to the port), and against Wine itself
// for how they fail.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>
#include <wlanapi.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "standins/com_object.h"
#include "win32/adapters_win.h"
#include "win32/connections_win.h"
#include "win32/services_win.h"
#include "win32/netcon_ids.h"
#include "win32/sharing_win.h"
#include "win32/utf16.h"
#include "win32/wlan_win.h"

namespace lumora {
namespace {

using namespace netcon;

// --- A sharing manager of our own --------------------------------------------

// The class the tests register under their own ProgID.
constexpr CLSID kFakeManagerClsid = {
    0x6B1E3C52, 0x9A47, 0x4D0B, {0x8E, 0x21, 0x5F, 0x03, 0x7C, 0x9D, 0x14, 0xA8}};
constexpr wchar_t kFakeProgId[] = L"LumoraTests.SharingManager";
constexpr wchar_t kMissingProgId[] = L"LumoraTests.NoSuchSharingManager";

// Objects of the stand-in alive right now: every reference handed to the port
// must be given back.
std::atomic<long> g_live_objects{0};

template <typename I>
class FakeUnknown : public ComObject<I> {
 public:
  explicit FakeUnknown(std::vector<IID> iids) : ComObject<I>(std::move(iids), g_live_objects) {}
};

template <typename I>
class FakeDispatch : public FakeUnknown<I> {
 public:
  using FakeUnknown<I>::FakeUnknown;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

// One connection as the stand-in manager knows it.
struct FakeLink {
  std::wstring name;
  NETCON_STATUS status = NCS_CONNECTED;
  bool props_fail = false;
  bool config_fail = false;
  bool sharing = false;
  int shared_as = -1;
  int disables = 0;
};
using Link = std::shared_ptr<FakeLink>;

struct FakeSharingState {
  std::vector<Link> every, publics, privates;
  // A null link stands for an item that is not a connection (a number).
  bool every_fails = false;
  // The enumerators answer only their own typed interface, not IEnumVARIANT.
  bool typed_enumerators_only = false;
  std::vector<ULONG> next_counts;  // celt of every Next call
};
FakeSharingState* g_sharing = nullptr;

class FakeConnection : public FakeUnknown<INetConnection> {
 public:
  explicit FakeConnection(Link link) : FakeUnknown({kIidNetConnection}), link(std::move(link)) {}
  HRESULT STDMETHODCALLTYPE Connect() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Disconnect() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Duplicate(LPCWSTR, INetConnection**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetProperties(NETCON_PROPERTIES**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUiObjectClassId(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Rename(LPCWSTR) override { return E_NOTIMPL; }
  Link link;
};

class FakeProps : public FakeDispatch<INetConnectionProps> {
 public:
  explicit FakeProps(Link link) : FakeDispatch({}), link_(std::move(link)) {}
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = SysAllocStringLen(link_->name.data(), UINT(link_->name.size()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Status(NETCON_STATUS* status) override {
    *status = link_->status;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MediaType(NETCON_MEDIATYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Characteristics(DWORD*) override { return E_NOTIMPL; }

 private:
  Link link_;
};

class FakeConfig : public FakeDispatch<INetSharingConfiguration> {
 public:
  explicit FakeConfig(Link link) : FakeDispatch({}), link_(std::move(link)) {}
  HRESULT STDMETHODCALLTYPE get_SharingEnabled(VARIANT_BOOL* enabled) override {
    *enabled = link_->sharing ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SharingConnectionType(SHARINGCONNECTIONTYPE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableSharing() override {
    link_->sharing = false;
    ++link_->disables;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableSharing(SHARINGCONNECTIONTYPE type) override {
    link_->sharing = true;
    link_->shared_as = int(type);
    return S_OK;
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
  HRESULT STDMETHODCALLTYPE AddPortMapping(BSTR, UCHAR, USHORT, USHORT, DWORD, BSTR,
                                           ICS_TARGETTYPE, INetSharingPortMapping**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RemovePortMapping(INetSharingPortMapping*) override {
    return E_NOTIMPL;
  }

 private:
  Link link_;
};

// The typed enumerators share IEnumVARIANT's layout, so one class serves all.
class FakeEnum : public FakeUnknown<IEnumVARIANT> {
 public:
  FakeEnum(std::vector<Link> links, const IID& typed)
      : FakeUnknown(g_sharing->typed_enumerators_only ? std::vector<IID>{typed}
                                                      : std::vector<IID>{IID_IEnumVARIANT, typed}),
        links_(std::move(links)) {}
  HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* items, ULONG* fetched) override {
    g_sharing->next_counts.push_back(celt);
    if (fetched) *fetched = 0;
    if (celt != 1) return E_INVALIDARG;  // the walk takes one at a time
    if (next_ >= links_.size()) return S_FALSE;
    const Link& link = links_[next_++];
    VariantInit(items);
    if (link) {
      V_VT(items) = VT_UNKNOWN;
      V_UNKNOWN(items) = new FakeConnection(link);
    } else {
      V_VT(items) = VT_I4;
      V_I4(items) = 42;
    }
    if (fetched) *fetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  std::vector<Link> links_;
  size_t next_ = 0;
};

template <typename I>
class FakeCollection : public FakeDispatch<I> {
 public:
  FakeCollection(std::vector<Link> links, const IID& typed_enum)
      : FakeDispatch<I>({}), links_(std::move(links)), typed_enum_(typed_enum) {}
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override {
    *out = new FakeEnum(links_, typed_enum_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Count(__LONG32* count) override {
    *count = __LONG32(links_.size());
    return S_OK;
  }

 private:
  std::vector<Link> links_;
  IID typed_enum_;
};

class FakeManager : public FakeDispatch<INetSharingManager> {
 public:
  FakeManager() : FakeDispatch({kIidNetSharingManager}) {}
  HRESULT STDMETHODCALLTYPE get_SharingInstalled(VARIANT_BOOL* installed) override {
    *installed = VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumPublicConnections(
      SHARINGCONNECTION_ENUM_FLAGS, INetSharingPublicConnectionCollection** out) override {
    *out = new FakeCollection<INetSharingPublicConnectionCollection>(g_sharing->publics,
                                                                     kIidEnumPublicConnection);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumPrivateConnections(
      SHARINGCONNECTION_ENUM_FLAGS, INetSharingPrivateConnectionCollection** out) override {
    *out = new FakeCollection<INetSharingPrivateConnectionCollection>(g_sharing->privates,
                                                                      IID_IEnumVARIANT);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_INetSharingConfigurationForINetConnection(
      INetConnection* connection, INetSharingConfiguration** out) override {
    const Link& link = static_cast<FakeConnection*>(connection)->link;
    *out = nullptr;
    if (link->config_fail) return E_ACCESSDENIED;
    *out = new FakeConfig(link);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EnumEveryConnection(
      INetSharingEveryConnectionCollection** out) override {
    *out = nullptr;
    if (g_sharing->every_fails) return E_ACCESSDENIED;
    *out = new FakeCollection<INetSharingEveryConnectionCollection>(g_sharing->every,
                                                                    kIidEnumEveryConnection);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_NetConnectionProps(INetConnection* connection,
                                                   INetConnectionProps** out) override {
    const Link& link = static_cast<FakeConnection*>(connection)->link;
    *out = nullptr;
    if (link->props_fail) return E_FAIL;
    *out = new FakeProps(link);
    return S_OK;
  }
};

class FakeManagerFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* manager = new FakeManager;
    const HRESULT hr = manager->QueryInterface(riid, out);
    manager->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[64] = {};
  StringFromGUID2(guid, text, 64);
  return text;
}

Link MakeLink(const std::wstring& name, NETCON_STATUS status = NCS_CONNECTED) {
  auto link = std::make_shared<FakeLink>();
  link->name = name;
  link->status = status;
  return link;
}

class NetworkPortsSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    com_ = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    g_sharing = &state;
    g_live_objects = 0;
    const std::wstring key = std::wstring(L"Software\\Classes\\") + kFakeProgId + L"\\CLSID";
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const std::wstring clsid = GuidText(kFakeManagerClsid);
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                   DWORD((clsid.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    ASSERT_EQ(CoRegisterClassObject(kFakeManagerClsid, &factory_, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + kFakeProgId).c_str());
    g_sharing = nullptr;
    if (SUCCEEDED(com_)) CoUninitialize();
  }

  FakeSharingState state;
  Win32SharingPort port{kFakeProgId, kMissingProgId};

 private:
  HRESULT com_ = E_FAIL;
  FakeManagerFactory factory_;
  DWORD cookie_ = 0;
};

TEST_F(NetworkPortsSharing, EveryConnectionIsVisitedInOrderWithItsNameAndStatus) {
  state.every = {MakeLink(L"本地连接"), MakeLink(L"WLAN", NCS_MEDIA_DISCONNECTED),
                 MakeLink(L"以太网 2", NCS_DISCONNECTED)};
  std::vector<std::string> names;
  std::vector<int> statuses;
  EXPECT_TRUE(port.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    names.push_back(c.Name());
    statuses.push_back(c.Status());
  }));
  EXPECT_EQ(names, (std::vector<std::string>{"本地连接", "WLAN", "以太网 2"}));
  EXPECT_EQ(statuses, (std::vector<int>{2, 7, 0}));
  EXPECT_EQ(g_live_objects, 0) << "a reference was not released";
  for (ULONG celt : state.next_counts) EXPECT_EQ(celt, 1u);
}

TEST_F(NetworkPortsSharing, AFailingConnectionDoesNotEndTheWalk) {
  state.every = {MakeLink(L"A"), MakeLink(L"B"), nullptr, MakeLink(L"C")};
  state.every[0]->props_fail = true;
  state.every[1]->config_fail = true;
  std::vector<std::string> names;
  std::vector<int> statuses;
  std::vector<bool> disabled;
  EXPECT_TRUE(port.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    names.push_back(c.Name());
    statuses.push_back(c.Status());
    disabled.push_back(c.DisableSharing());
  }));
  // The item that is no connection is passed over.
  EXPECT_EQ(names, (std::vector<std::string>{"", "B", "C"}));
  EXPECT_EQ(statuses, (std::vector<int>{0, 2, 2}));
  EXPECT_EQ(disabled, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(state.every[0]->disables, 1);
  EXPECT_EQ(state.every[3]->disables, 1);
  EXPECT_EQ(g_live_objects, 0);
}

TEST_F(NetworkPortsSharing, SharingIsEnabledAsTheTypeAsked) {
  state.every = {MakeLink(L"宽带连接"), MakeLink(L"Microsoft 托管网络虚拟适配器"), MakeLink(L"X")};
  state.every[2]->sharing = true;
  std::vector<bool> enabled_before;
  EXPECT_TRUE(port.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    enabled_before.push_back(c.SharingEnabled());
    const std::string name = c.Name();
    if (name == "宽带连接") {
      EXPECT_TRUE(c.EnableSharing(SharingType::kPublic));
    } else if (name == "Microsoft 托管网络虚拟适配器") {
      EXPECT_TRUE(c.EnableSharing(SharingType::kPrivate));
    } else if (name == "X") {
      EXPECT_TRUE(c.DisableSharing());
    }
  }));
  EXPECT_EQ(enabled_before, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(state.every[0]->shared_as, ICSSHARINGTYPE_PUBLIC);
  EXPECT_EQ(state.every[1]->shared_as, ICSSHARINGTYPE_PRIVATE);
  EXPECT_TRUE(state.every[0]->sharing);
  EXPECT_FALSE(state.every[2]->sharing);
  EXPECT_EQ(g_live_objects, 0);
}

TEST_F(NetworkPortsSharing, PublicWalkStopsWhenAsked) {
  state.publics = {MakeLink(L"P1"), MakeLink(L"P2"), MakeLink(L"P3")};
  state.publics[1]->sharing = true;
  std::vector<std::string> seen;
  EXPECT_TRUE(port.ForPublicConnections(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    seen.push_back(c.Name());
    return !c.SharingEnabled();
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"P1", "P2"}));
  EXPECT_EQ(g_live_objects, 0);
}

TEST_F(NetworkPortsSharing, TypedEnumeratorsAreWalkedToo) {
  state.typed_enumerators_only = true;
  state.every = {MakeLink(L"E1"), MakeLink(L"E2")};
  state.publics = {MakeLink(L"P1")};
  int every = 0, publics = 0;
  EXPECT_TRUE(port.ForEveryConnection(SharingProgId::kHNetShare,
                                      [&](SharingConnection&) { ++every; }));
  EXPECT_TRUE(port.ForPublicConnections(SharingProgId::kHNetShare, [&](SharingConnection&) {
    ++publics;
    return true;
  }));
  EXPECT_EQ(every, 2);
  EXPECT_EQ(publics, 1);
  EXPECT_EQ(g_live_objects, 0);
}

TEST_F(NetworkPortsSharing, CountsComeFromTheirCollections) {
  state.publics = {MakeLink(L"P")};
  state.privates = {MakeLink(L"Q"), MakeLink(L"R")};
  EXPECT_EQ(port.PublicCount(SharingProgId::kHNetShare), 1);
  EXPECT_EQ(port.PrivateCount(SharingProgId::kHNetShare), 2);
  EXPECT_EQ(g_live_objects, 0);
}

TEST_F(NetworkPortsSharing, EachWalkUsesTheProgIdItNames) {
  state.every = {MakeLink(L"A")};
  state.publics = {MakeLink(L"P")};
  int visits = 0;
  // The port was given the registered ProgID for kHNetShare only.
  EXPECT_FALSE(port.ForEveryConnection(SharingProgId::kHNetShare1,
                                       [&](SharingConnection&) { ++visits; }));
  EXPECT_EQ(port.PublicCount(SharingProgId::kHNetShare1), 0);
  EXPECT_EQ(visits, 0);
  Win32SharingPort swapped(kMissingProgId, kFakeProgId);
  EXPECT_TRUE(swapped.ForEveryConnection(SharingProgId::kHNetShare1,
                                         [&](SharingConnection&) { ++visits; }));
  EXPECT_EQ(swapped.PublicCount(SharingProgId::kHNetShare1), 1);
  EXPECT_FALSE(swapped.ForPublicConnections(SharingProgId::kHNetShare,
                                            [&](SharingConnection&) { return ++visits > 0; }));
  EXPECT_EQ(visits, 1);
}

TEST_F(NetworkPortsSharing, AnUnreadableCollectionIsAFailedWalk) {
  state.every_fails = true;
  int visits = 0;
  EXPECT_FALSE(port.ForEveryConnection(SharingProgId::kHNetShare,
                                       [&](SharingConnection&) { ++visits; }));
  EXPECT_EQ(visits, 0);
  EXPECT_EQ(g_live_objects, 0);
}

TEST(NetworkPortsWine, WithoutASharingManagerNothingIsWalked) {
  // ProgIDs nobody registered: the machine has no sharing manager for them
  // (the test prefix may have a stand-in under the real ones).
  const wchar_t* kAbsent = L"Lumora.NoSuchSharingManager";
  CLSID clsid{};
  ASSERT_TRUE(FAILED(CLSIDFromProgID(kAbsent, &clsid)));
  Win32SharingPort port(kAbsent, kAbsent);
  int visits = 0;
  for (SharingProgId id : {SharingProgId::kHNetShare, SharingProgId::kHNetShare1}) {
    EXPECT_FALSE(port.ForEveryConnection(id, [&](SharingConnection&) { ++visits; }));
    EXPECT_FALSE(port.ForPublicConnections(id, [&](SharingConnection&) { return ++visits > 0; }));
    EXPECT_EQ(port.PublicCount(id), 0);
    EXPECT_EQ(port.PrivateCount(id), 0);
  }
  EXPECT_EQ(visits, 0);
}

// --- WLAN functions of our own ----------------------------------------------

// The hosted-network layouts as the system's wlanapi.h declares them.
struct StandInConnectionSettings {
  DOT11_SSID ssid;
  DWORD max_peers;
};
struct StandInStatus {
  DWORD state;
  GUID ip_device_id;
  UCHAR bssid[6];
  DWORD phy_type;
  ULONG channel_frequency;
  DWORD peers;
};

struct FakeWlan {
  bool accept_version_2 = true;
  bool accept_version_1 = true;
  std::vector<DWORD> versions_asked;
  int open_handles = 0;
  int live_allocations = 0;
  DWORD interfaces = 0;
  BOOL enabled = FALSE;
  DWORD max_peers = 7;
  std::string ssid;
  DWORD state = 1;  // idle
  std::vector<UCHAR> key;
  BOOL key_is_pass_phrase = FALSE;
  BOOL key_persistent = FALSE;
  std::vector<std::string> calls;
  std::set<std::string> missing;  // functions not exported
  std::string errors;             // misuse seen by the stand-in
};
FakeWlan* g_wlan = nullptr;

void* StandInAlloc(size_t size) {
  ++g_wlan->live_allocations;
  return std::calloc(1, size);
}

bool ValidHandle(HANDLE handle) {
  if (handle && g_wlan->open_handles > 0) return true;
  g_wlan->errors += "call without an open handle;";
  return false;
}

DWORD WINAPI StandInOpen(DWORD version, PVOID, PDWORD negotiated, PHANDLE handle) {
  g_wlan->versions_asked.push_back(version);
  if ((version == 2 && !g_wlan->accept_version_2) || (version == 1 && !g_wlan->accept_version_1))
    return ERROR_SERVICE_NOT_ACTIVE;
  *negotiated = version;
  *handle = reinterpret_cast<HANDLE>(uintptr_t(0x100 + ++g_wlan->open_handles));
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInClose(HANDLE handle, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  --g_wlan->open_handles;
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInEnumInterfaces(HANDLE handle, PVOID, PWLAN_INTERFACE_INFO_LIST* list) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  const size_t size = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) +
                      g_wlan->interfaces * sizeof(WLAN_INTERFACE_INFO);
  *list = static_cast<PWLAN_INTERFACE_INFO_LIST>(StandInAlloc(size));
  (*list)->dwNumberOfItems = g_wlan->interfaces;
  return ERROR_SUCCESS;
}
VOID WINAPI StandInFree(PVOID memory) {
  if (!memory) return;
  --g_wlan->live_allocations;
  std::free(memory);
}
DWORD WINAPI StandInQueryProperty(HANDLE handle, DWORD opcode, PDWORD size, PVOID* data,
                                  PWLAN_OPCODE_VALUE_TYPE type, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("query " + std::to_string(opcode));
  *type = wlan_opcode_value_type_set_by_user;
  if (opcode == 3) {
    *size = sizeof(BOOL);
    *data = StandInAlloc(sizeof(BOOL));
    *static_cast<BOOL*>(*data) = g_wlan->enabled;
    return ERROR_SUCCESS;
  }
  if (opcode == 0) {
    *size = sizeof(StandInConnectionSettings);
    auto* settings = static_cast<StandInConnectionSettings*>(StandInAlloc(*size));
    settings->ssid.uSSIDLength = ULONG(g_wlan->ssid.size());
    std::memcpy(settings->ssid.ucSSID, g_wlan->ssid.data(), g_wlan->ssid.size());
    settings->max_peers = g_wlan->max_peers;
    *data = settings;
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PARAMETER;
}
DWORD WINAPI StandInInitSettings(HANDLE handle, DWORD*, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("init");
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInSetProperty(HANDLE handle, DWORD opcode, DWORD size, PVOID data, DWORD*,
                                PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("set " + std::to_string(opcode));
  if (opcode == 3) {
    if (size != sizeof(BOOL)) return ERROR_INVALID_PARAMETER;
    g_wlan->enabled = *static_cast<BOOL*>(data);
    return ERROR_SUCCESS;
  }
  if (opcode == 0) {
    if (size != sizeof(StandInConnectionSettings)) return ERROR_INVALID_PARAMETER;
    const auto* settings = static_cast<const StandInConnectionSettings*>(data);
    if (settings->ssid.uSSIDLength > DOT11_SSID_MAX_LENGTH) return ERROR_INVALID_PARAMETER;
    g_wlan->ssid.assign(reinterpret_cast<const char*>(settings->ssid.ucSSID),
                        settings->ssid.uSSIDLength);
    g_wlan->max_peers = settings->max_peers;
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PARAMETER;
}
DWORD WINAPI StandInQueryStatus(HANDLE handle, StandInStatus** status, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  *status = static_cast<StandInStatus*>(StandInAlloc(sizeof(StandInStatus)));
  (*status)->state = g_wlan->state;
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInSetSecondaryKey(HANDLE handle, DWORD length, PUCHAR data, BOOL pass_phrase,
                                    BOOL persistent, DWORD*, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->key.assign(data, data + length);
  g_wlan->key_is_pass_phrase = pass_phrase;
  g_wlan->key_persistent = persistent;
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInRefresh(HANDLE handle, DWORD*, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("refresh");
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInForceStart(HANDLE handle, DWORD*, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("start");
  g_wlan->state = 2;
  return ERROR_SUCCESS;
}
DWORD WINAPI StandInForceStop(HANDLE handle, DWORD*, PVOID) {
  if (!ValidHandle(handle)) return ERROR_INVALID_HANDLE;
  g_wlan->calls.push_back("stop");
  g_wlan->state = 1;
  return ERROR_SUCCESS;
}

void* StandInFunction(const char* name) {
  if (g_wlan->missing.count(name)) return nullptr;
  static const std::map<std::string, void*> functions = {
      {"WlanOpenHandle", reinterpret_cast<void*>(&StandInOpen)},
      {"WlanCloseHandle", reinterpret_cast<void*>(&StandInClose)},
      {"WlanEnumInterfaces", reinterpret_cast<void*>(&StandInEnumInterfaces)},
      {"WlanFreeMemory", reinterpret_cast<void*>(&StandInFree)},
      {"WlanHostedNetworkQueryProperty", reinterpret_cast<void*>(&StandInQueryProperty)},
      {"WlanHostedNetworkInitSettings", reinterpret_cast<void*>(&StandInInitSettings)},
      {"WlanHostedNetworkSetProperty", reinterpret_cast<void*>(&StandInSetProperty)},
      {"WlanHostedNetworkQueryStatus", reinterpret_cast<void*>(&StandInQueryStatus)},
      {"WlanHostedNetworkSetSecondaryKey", reinterpret_cast<void*>(&StandInSetSecondaryKey)},
      {"WlanHostedNetworkRefreshSecuritySettings", reinterpret_cast<void*>(&StandInRefresh)},
      {"WlanHostedNetworkForceStart", reinterpret_cast<void*>(&StandInForceStart)},
      {"WlanHostedNetworkForceStop", reinterpret_cast<void*>(&StandInForceStop)},
  };
  const auto found = functions.find(name);
  return found == functions.end() ? nullptr : found->second;
}

class NetworkPortsWlan : public ::testing::Test {
 protected:
  void SetUp() override { g_wlan = &wlan; }
  void TearDown() override {
    EXPECT_EQ(wlan.open_handles, 0) << "a WLAN handle was left open";
    EXPECT_EQ(wlan.live_allocations, 0) << "WLAN memory was not freed";
    EXPECT_EQ(wlan.errors, "");
    g_wlan = nullptr;
  }
  std::unique_ptr<Win32WlanPort> Port() {
    return std::make_unique<Win32WlanPort>([](const char* name) { return StandInFunction(name); });
  }
  FakeWlan wlan;
};

TEST_F(NetworkPortsWlan, CountsInterfacesAndFallsBackToTheOlderClientVersion) {
  wlan.interfaces = 3;
  EXPECT_EQ(Port()->InterfaceCount(), 3);
  EXPECT_EQ(wlan.versions_asked, (std::vector<DWORD>{2}));
  wlan.accept_version_2 = false;
  wlan.versions_asked.clear();
  EXPECT_EQ(Port()->InterfaceCount(), 3);
  EXPECT_EQ(wlan.versions_asked, (std::vector<DWORD>{2, 1}));
  wlan.accept_version_1 = false;
  EXPECT_EQ(Port()->InterfaceCount(), -1);
  wlan.accept_version_1 = wlan.accept_version_2 = true;
  wlan.interfaces = 0;
  EXPECT_EQ(Port()->InterfaceCount(), 0);
}

TEST_F(NetworkPortsWlan, EnablesAfterInitialisingTheSettings) {
  auto port = Port();
  EXPECT_FALSE(port->HostedNetworkEnabled());
  EXPECT_TRUE(port->SetHostedNetworkEnabled(true));
  EXPECT_EQ(wlan.calls, (std::vector<std::string>{"query 3", "init", "set 3"}));
  EXPECT_EQ(wlan.enabled, TRUE);
  EXPECT_TRUE(port->HostedNetworkEnabled());
  EXPECT_TRUE(port->SetHostedNetworkEnabled(false));
  EXPECT_FALSE(port->HostedNetworkEnabled());
}

TEST_F(NetworkPortsWlan, ConnectionSettingsKeepTheConfiguredPeers) {
  wlan.max_peers = 7;
  wlan.ssid = "old";
  EXPECT_TRUE(Port()->SetConnectionSettings("我的热点"));
  EXPECT_EQ(wlan.ssid, "我的热点");  // the bytes as given
  EXPECT_EQ(wlan.max_peers, 7u);
}

TEST_F(NetworkPortsWlan, SsidNeverExceedsTheFieldNorSplitsACharacter) {
  auto port = Port();
  EXPECT_TRUE(port->SetConnectionSettings(std::string(40, 'a')));
  EXPECT_EQ(wlan.ssid, std::string(32, 'a'));
  const std::string zhong = "\xD6\xD0";  // one GBK character
  EXPECT_TRUE(port->SetConnectionSettings(std::string(31, 'b') + zhong));
  EXPECT_EQ(wlan.ssid, std::string(31, 'b'));
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += zhong;
  EXPECT_TRUE(port->SetConnectionSettings(sixteen + "c"));
  EXPECT_EQ(wlan.ssid, sixteen);
}

TEST_F(NetworkPortsWlan, PassPhraseIsPersistentAndCountsItsZero) {
  EXPECT_TRUE(Port()->SetSecondaryKey("12345678"));
  EXPECT_EQ(wlan.key, (std::vector<UCHAR>{'1', '2', '3', '4', '5', '6', '7', '8', 0}));
  EXPECT_TRUE(wlan.key_is_pass_phrase);
  EXPECT_TRUE(wlan.key_persistent);
}

TEST_F(NetworkPortsWlan, StartsStopsAndReportsTheState) {
  auto port = Port();
  EXPECT_FALSE(port->HostedNetworkActive());
  EXPECT_TRUE(port->InitSettings());
  EXPECT_TRUE(port->RefreshSecuritySettings());
  EXPECT_TRUE(port->ForceStart());
  EXPECT_TRUE(port->HostedNetworkActive());
  EXPECT_TRUE(port->ForceStop());
  EXPECT_FALSE(port->HostedNetworkActive());
  EXPECT_EQ(wlan.calls, (std::vector<std::string>{"init", "refresh", "start", "stop"}));
}

TEST_F(NetworkPortsWlan, MissingHostedFunctionsReadAsFailure) {
  for (const char* name :
       {"WlanHostedNetworkQueryProperty", "WlanHostedNetworkInitSettings",
        "WlanHostedNetworkSetProperty", "WlanHostedNetworkQueryStatus",
        "WlanHostedNetworkSetSecondaryKey", "WlanHostedNetworkRefreshSecuritySettings",
        "WlanHostedNetworkForceStart", "WlanHostedNetworkForceStop"})
    wlan.missing.insert(name);
  wlan.enabled = TRUE;
  wlan.state = 2;
  auto port = Port();
  EXPECT_EQ(port->InterfaceCount(), 0);
  EXPECT_FALSE(port->HostedNetworkEnabled());
  EXPECT_FALSE(port->SetHostedNetworkEnabled(true));
  EXPECT_FALSE(port->HostedNetworkActive());
  EXPECT_FALSE(port->InitSettings());
  EXPECT_FALSE(port->SetConnectionSettings("x"));
  EXPECT_FALSE(port->SetSecondaryKey("12345678"));
  EXPECT_FALSE(port->RefreshSecuritySettings());
  EXPECT_FALSE(port->ForceStart());
  EXPECT_FALSE(port->ForceStop());
}

TEST(NetworkPortsWine, WlanServiceOpensButHasNoInterfacesNorHostedNetwork) {
  Win32WlanPort port;
  EXPECT_EQ(port.InterfaceCount(), 0);
  EXPECT_FALSE(port.HostedNetworkEnabled());
  EXPECT_FALSE(port.SetHostedNetworkEnabled(true));
  EXPECT_FALSE(port.HostedNetworkActive());
  EXPECT_FALSE(port.InitSettings());
  EXPECT_FALSE(port.SetConnectionSettings("mylove"));
  EXPECT_FALSE(port.SetSecondaryKey("12345678"));
  EXPECT_FALSE(port.RefreshSecuritySettings());
  EXPECT_FALSE(port.ForceStart());
  EXPECT_FALSE(port.ForceStop());
}

// --- Connections ---------------------------------------------------------------

TEST(NetworkPortsWine, UnknownConnectionHasNoStatusAndCannotConnect) {
  Win32ConnectionsPort port;
  EXPECT_EQ(port.ConnectionStatus("无线网络连接"), std::nullopt);
  EXPECT_EQ(port.ConnectionStatus("a' OR 'x'='x"), std::nullopt);
  EXPECT_FALSE(port.Connect("无线网络连接"));
}

// --- Adapters ------------------------------------------------------------------

constexpr wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

bool KeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::vector<std::string> SystemAdapterGuids() {
  ULONG size = 0;
  GetAdaptersInfo(nullptr, &size);
  std::vector<unsigned char> buffer(size);
  std::vector<std::string> guids;
  if (size == 0 ||
      GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) != ERROR_SUCCESS)
    return guids;
  for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next)
    guids.push_back(a->AdapterName);
  return guids;
}

TEST(NetworkPortsWine, AdaptersAreListedWithTheirDescriptions) {
  Win32AdaptersPort port;
  const std::vector<AdapterInfo> adapters = port.Adapters();
  ASSERT_FALSE(adapters.empty());
  EXPECT_EQ(adapters.size(), SystemAdapterGuids().size());
  for (const AdapterInfo& adapter : adapters) EXPECT_FALSE(adapter.description.empty());
}

TEST(NetworkPortsWine, ConnectionNameComesFromTheRegistry) {
  const std::vector<std::string> guids = SystemAdapterGuids();
  ASSERT_FALSE(guids.empty());
  const std::wstring adapter_key = std::wstring(kNetworkClassKey) + L"\\" + Widen(guids.back());
  const bool class_key_existed = KeyExists(kNetworkClassKey);
  ASSERT_FALSE(KeyExists(adapter_key)) << "the prefix names this adapter already";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (adapter_key + L"\\Connection").c_str(), 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring name = L"无线网络连接 2";
  // Stored without its terminating zero, as a value may be.
  RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.data()),
                 DWORD(name.size() * sizeof(wchar_t)));
  RegCloseKey(key);

  Win32AdaptersPort port;
  const std::vector<AdapterInfo> adapters = port.Adapters();
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, class_key_existed ? adapter_key.c_str() : kNetworkClassKey);

  ASSERT_EQ(adapters.size(), guids.size());
  EXPECT_EQ(adapters.back().connection_name, "无线网络连接 2");
  EXPECT_EQ(adapters.back().id, guids.back());
  for (size_t i = 0; i + 1 < adapters.size(); ++i) EXPECT_EQ(adapters[i].connection_name, "");
  EXPECT_EQ(ConnectionNameOfAdapter("{00000000-1111-2222-3333-444444444444}"), "");
}

TEST(NetworkPortsWine, InternetConnectionNameIsWinesLanName) {
  // Wine names its only connection with this text in its Chinese resources.
  EXPECT_EQ(Win32AdaptersPort().InternetConnectionName(), "局域网连接");
}

// --- Services ------------------------------------------------------------------

TEST(NetworkPortsWine, MissingServiceIsNeitherReadNorStarted) {
  Win32ServicesPort port;
  EXPECT_EQ(port.StartType("LumoraNoSuchService"), std::nullopt);
  EXPECT_EQ(port.IsStopped("LumoraNoSuchService"), std::nullopt);
  EXPECT_FALSE(port.SetStartType("LumoraNoSuchService", 3));
  EXPECT_FALSE(port.Start("LumoraNoSuchService"));
}

TEST(NetworkPortsWine, StartTypesAndStatesOfWinesServices) {
  Win32ServicesPort port;
  EXPECT_EQ(port.StartType("PlugPlay"), 2);  // automatic, and running
  EXPECT_EQ(port.IsStopped("PlugPlay"), false);
  EXPECT_EQ(port.StartType("Spooler"), 3);  // on demand, not started
  EXPECT_EQ(port.IsStopped("Spooler"), true);
}

constexpr wchar_t kTestService[] = L"LumoraPortsTestService";

void DeleteTestService() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  if (SC_HANDLE service = OpenServiceW(manager, kTestService, DELETE)) {
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

TEST(NetworkPortsWine, StartTypeIsChangedAndAStartThatFailsSaysSo) {
  DeleteTestService();
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_TRUE(manager);
  SC_HANDLE service = CreateServiceW(
      manager, kTestService, kTestService, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
      SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, L"C:\\windows\\lumora-no-such-service.exe",
      nullptr, nullptr, nullptr, nullptr, nullptr);
  CloseServiceHandle(manager);
  ASSERT_TRUE(service);
  CloseServiceHandle(service);

  Win32ServicesPort port;
  const std::string name = Narrow(kTestService);
  EXPECT_EQ(port.StartType(name), 3);
  EXPECT_TRUE(port.SetStartType(name, 4));
  EXPECT_EQ(port.StartType(name), 4);
  EXPECT_TRUE(port.SetStartType(name, 2));
  EXPECT_EQ(port.StartType(name), 2);
  EXPECT_EQ(port.IsStopped(name), true);
  EXPECT_FALSE(port.Start(name)) << "its program does not exist";
  EXPECT_EQ(port.IsStopped(name), true);
  DeleteTestService();
}

}  // namespace
}  // namespace lumora
