#pragma once
// The Windows Runtime interfaces of network information and the tethering
// manager, written out from Microsoft's published IDL
// (windows.networking.connectivity.idl, windows.networking.networkoperators.idl,
// windows.foundation.idl): every method in vtable order, with its IID. The
// stand-in implements these, not the program's own declarations, so that a
// wrong IID or a slot out of place in the program shows as a refused
// interface or a call to the wrong method. IAsyncInfo is mingw-w64's.
#include <asyncinfo.h>
#include <hstring.h>
#include <inspectable.h>
#include <windows.h>

namespace published {

constexpr GUID kIAsyncAction = {
    0x5a648006, 0x843a, 0x4da9, {0x86, 0x5b, 0x9d, 0x26, 0xe5, 0xdf, 0xad, 0x7b}};
constexpr GUID kIHostName = {
    0xbf8ecaad, 0xed96, 0x49a7, {0x90, 0x84, 0xd4, 0x16, 0xca, 0xe8, 0x8d, 0xcb}};
constexpr GUID kINetworkAdapter = {
    0x3b542e03, 0x5388, 0x496c, {0xa8, 0xa3, 0xaf, 0xfd, 0x39, 0xae, 0xc2, 0xe6}};
constexpr GUID kIConnectionProfile = {
    0x71ba143c, 0x598e, 0x49d0, {0x84, 0xeb, 0x8f, 0xeb, 0xae, 0xdc, 0xc1, 0x95}};
constexpr GUID kINetworkInformationStatics = {
    0x5074f851, 0x950d, 0x4165, {0x9c, 0x15, 0x36, 0x56, 0x19, 0x48, 0x1e, 0xea}};
constexpr GUID kINetworkOperatorTetheringAccessPointConfiguration = {
    0x0bcc0284, 0x412e, 0x403d, {0xac, 0xc6, 0xb7, 0x57, 0xe3, 0x47, 0x74, 0xa4}};
constexpr GUID kINetworkOperatorTetheringOperationResult = {
    0xebd203a1, 0x01ba, 0x476d, {0xb4, 0xb3, 0xbf, 0x3d, 0x12, 0xc8, 0xf8, 0x0c}};
constexpr GUID kINetworkOperatorTetheringManager = {
    0xd45a8da0, 0x0e86, 0x4d98, {0x8b, 0xa4, 0xdd, 0x70, 0xd4, 0xb7, 0x64, 0xd3}};
constexpr GUID kINetworkOperatorTetheringClient = {
    0x709d254c, 0x595f, 0x4847, {0xbb, 0x30, 0x64, 0x69, 0x35, 0x54, 0x29, 0x18}};
constexpr GUID kINetworkOperatorTetheringClientManager = {
    0x91b14016, 0x8dca, 0x4225, {0xbb, 0xed, 0xee, 0xf8, 0xb8, 0xd7, 0x18, 0xd7}};
constexpr GUID kINetworkOperatorTetheringManagerStatics2 = {
    0x5b235412, 0x35f0, 0x49e7, {0x9b, 0x08, 0x16, 0xd2, 0x78, 0xfb, 0xaa, 0x42}};
constexpr GUID kINetworkOperatorTetheringManagerStatics4 = {
    0xb3b9f9d0, 0xebff, 0x46a4, {0xa8, 0x47, 0xd6, 0x63, 0xd8, 0xb0, 0x97, 0x7e}};

constexpr wchar_t kNetworkOperatorTetheringManager[] =
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager";
constexpr wchar_t kNetworkInformation[] = L"Windows.Networking.Connectivity.NetworkInformation";

enum NetworkConnectivityLevel {
  None = 0,
  LocalAccess = 1,
  ConstrainedInternetAccess = 2,
  InternetAccess = 3
};
enum TetheringOperationalState { Unknown = 0, On = 1, Off = 2, InTransition = 3 };
// TetheringCapability: 0 Enabled, 1 DisabledByGroupPolicy, 2 DisabledByHardwareLimitation,
// 3 DisabledByOperator, 4 DisabledBySku, 5 DisabledByRequiredAppNotInstalled,
// 6 DisabledDueToUnknownCause, 7 DisabledBySystemCapability.
// TetheringOperationStatus: 0 Success, 1 Unknown, 2 MobileBroadbandDeviceOff, 3 WiFiDeviceOff,
// 4 EntitlementCheckTimeout, 5 EntitlementCheckFailure, 6 OperationInProgress,
// 7 BluetoothDeviceOff, 8 NetworkLimitedConnectivity.

// Types these methods pass that the stand-in never looks into.
using Opaque = IInspectable;
struct DateTime {
  INT64 UniversalTime;
};
struct EventRegistrationToken {
  INT64 value;
};

// IVectorView<T> for an interface T.
template <typename T>
struct IVectorView : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, T** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE IndexOf(T* item, UINT32* index, boolean* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 start, UINT32 capacity, T** items,
                                            UINT32* actual) = 0;
};

// IAsyncOperation<T> for an interface T, and IAsyncAction.
template <typename T>
struct IAsyncOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(Opaque* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(Opaque** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(T** results) = 0;
};
struct IAsyncAction : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(Opaque* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(Opaque** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults() = 0;
};

struct IHostName : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IPInformation(Opaque** information) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RawName(HSTRING* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanonicalName(HSTRING* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Type(int* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsEqual(IHostName* other, boolean* equal) = 0;
};

struct IConnectionProfile;

struct INetworkAdapter : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_OutboundMaxBitsPerSecond(UINT64* bits) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InboundMaxBitsPerSecond(UINT64* bits) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IanaInterfaceType(UINT32* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NetworkItem(Opaque** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NetworkAdapterId(GUID* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  GetConnectedProfileAsync(IAsyncOperation<IConnectionProfile>** operation) = 0;
};

struct IConnectionProfile : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_ProfileName(HSTRING* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  GetNetworkConnectivityLevel(NetworkConnectivityLevel* level) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNetworkNames(Opaque** names) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetConnectionCost(Opaque** cost) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDataPlanStatus(Opaque** status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NetworkAdapter(INetworkAdapter** adapter) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLocalUsage(DateTime start, DateTime end, Opaque** usage) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLocalUsagePerRoamingStates(DateTime start, DateTime end,
                                                                  UINT32 states,
                                                                  Opaque** usage) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NetworkSecuritySettings(Opaque** settings) = 0;
};

struct INetworkInformationStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  GetConnectionProfiles(IVectorView<IConnectionProfile>** profiles) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(IConnectionProfile** profile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLanIdentifiers(Opaque** identifiers) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHostNames(IVectorView<IHostName>** names) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProxyConfigurationAsync(Opaque* uri, Opaque** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSortedEndpointPairs(Opaque* pairs, UINT32 options,
                                                           Opaque** sorted) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NetworkStatusChanged(Opaque* handler,
                                                             EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NetworkStatusChanged(EventRegistrationToken token) = 0;
};

struct INetworkOperatorTetheringAccessPointConfiguration : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Ssid(HSTRING* ssid) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Ssid(HSTRING ssid) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Passphrase(HSTRING* passphrase) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Passphrase(HSTRING passphrase) = 0;
};

struct INetworkOperatorTetheringOperationResult : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Status(int* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalErrorMessage(HSTRING* message) = 0;
};

struct INetworkOperatorTetheringManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MaxClientCount(UINT32* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ClientCount(UINT32* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  get_TetheringOperationalState(TetheringOperationalState* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(
      INetworkOperatorTetheringAccessPointConfiguration** configuration) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(
      INetworkOperatorTetheringAccessPointConfiguration* configuration, IAsyncAction** action) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  StartTetheringAsync(IAsyncOperation<INetworkOperatorTetheringOperationResult>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE
  StopTetheringAsync(IAsyncOperation<INetworkOperatorTetheringOperationResult>** operation) = 0;
};

struct INetworkOperatorTetheringClient : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MacAddress(HSTRING* mac) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HostNames(IVectorView<IHostName>** names) = 0;
};

struct INetworkOperatorTetheringClientManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  GetTetheringClients(IVectorView<INetworkOperatorTetheringClient>** clients) = 0;
};

struct INetworkOperatorTetheringManagerStatics2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE
  GetTetheringCapabilityFromConnectionProfile(IConnectionProfile* profile, int* capability) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(
      IConnectionProfile* profile, INetworkOperatorTetheringManager** manager) = 0;
};

struct INetworkOperatorTetheringManagerStatics4 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE IsNoConnectionsTimeoutEnabled(boolean* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableNoConnectionsTimeout() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableNoConnectionsTimeoutAsync(IAsyncAction** action) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableNoConnectionsTimeout() = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableNoConnectionsTimeoutAsync(IAsyncAction** action) = 0;
};

}  // namespace published
