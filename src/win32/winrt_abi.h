#pragma once
// The few Windows Runtime interfaces the Mobile Hotspot needs, declared at
// the ABI level because mingw-w64 ships no windows.networking headers. The
// order of the methods is the order of the vtable: never reorder them, and
// keep every slot before the last one used, even those nobody calls.
#include <windows.h>
#include <hstring.h>
#include <inspectable.h>

namespace lumora::winrt {

#define LUMORA_WINRT_IID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

LUMORA_WINRT_IID(kIidAsyncInfo, 0x00000036, 0x0000, 0x0000, 0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x46);
LUMORA_WINRT_IID(kIidNetworkInformationStatics, 0x5074f851, 0x950d, 0x4165, 0x9c, 0x15, 0x36, 0x56,
                 0x19, 0x48, 0x1e, 0xea);
LUMORA_WINRT_IID(kIidConnectionProfile, 0x71ba143c, 0x598e, 0x49d0, 0x84, 0xeb, 0x8f, 0xeb, 0xae,
                 0xdc, 0xc1, 0x95);
LUMORA_WINRT_IID(kIidNetworkAdapter, 0x3b542e03, 0x5388, 0x496c, 0xa8, 0xa3, 0xaf, 0xfd, 0x39, 0xae,
                 0xc2, 0xe6);
LUMORA_WINRT_IID(kIidTetheringManagerStatics2, 0x5b235412, 0x35f0, 0x49e7, 0x9b, 0x08, 0x16, 0xd2,
                 0x78, 0xfb, 0xaa, 0x42);
// Windows 10 2004 and later: the switch that turns the hotspot off when no
// device has been connected for a while.
LUMORA_WINRT_IID(kIidTetheringManagerStatics4, 0xb3b9f9d0, 0xebff, 0x46a4, 0xa8, 0x47, 0xd6, 0x63,
                 0xd8, 0xb0, 0x97, 0x7e);
LUMORA_WINRT_IID(kIidTetheringManager, 0xd45a8da0, 0x0e86, 0x4d98, 0x8b, 0xa4, 0xdd, 0x70, 0xd4,
                 0xb7, 0x64, 0xd3);
LUMORA_WINRT_IID(kIidTetheringClientManager, 0x91b14016, 0x8dca, 0x4225, 0xbb, 0xed, 0xee, 0xf8,
                 0xb8, 0xd7, 0x18, 0xd7);
LUMORA_WINRT_IID(kIidTetheringClient, 0x709d254c, 0x595f, 0x4847, 0xbb, 0x30, 0x64, 0x69, 0x35,
                 0x54, 0x29, 0x18);
LUMORA_WINRT_IID(kIidAccessPointConfiguration, 0x0bcc0284, 0x412e, 0x403d, 0xac, 0xc6, 0xb7, 0x57,
                 0xe3, 0x47, 0x74, 0xa4);
LUMORA_WINRT_IID(kIidTetheringOperationResult, 0xebd203a1, 0x01ba, 0x476d, 0xb4, 0xb3, 0xbf, 0x3d,
                 0x12, 0xc8, 0xf8, 0x0c);
LUMORA_WINRT_IID(kIidHostName, 0xbf8ecaad, 0xed96, 0x49a7, 0x90, 0x84, 0xd4, 0x16, 0xca, 0xe8, 0x8d,
                 0xcb);
#undef LUMORA_WINRT_IID

inline constexpr wchar_t kTetheringManagerClass[] =
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager";
inline constexpr wchar_t kNetworkInformationClass[] =
    L"Windows.Networking.Connectivity.NetworkInformation";

enum AsyncStatus : int { kAsyncStarted = 0, kAsyncCompleted = 1, kAsyncCanceled = 2, kAsyncError = 3 };
enum TetheringState : int { kStateUnknown = 0, kStateOn = 1, kStateOff = 2, kStateInTransition = 3 };
enum TetheringCapability : int { kCapabilityEnabled = 0 };  // any other value: disabled, and why
enum ConnectivityLevel : int { kLevelNone = 0, kLevelLocal = 1, kLevelConstrained = 2, kLevelInternet = 3 };

// The slots no caller here uses keep their place under these names.
#define LUMORA_WINRT_SLOT(n) virtual HRESULT STDMETHODCALLTYPE Unused##n() = 0

struct IAsyncInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Status(int* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) = 0;
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

// IAsyncOperation<T> and IAsyncAction share this shape; T is an interface
// pointer (nothing for an action).
template <typename T>
struct IAsyncOperation : IInspectable {
  LUMORA_WINRT_SLOT(1);  // put_Completed
  LUMORA_WINRT_SLOT(2);  // get_Completed
  virtual HRESULT STDMETHODCALLTYPE GetResults(T** results) = 0;
};
struct IAsyncAction : IInspectable {
  LUMORA_WINRT_SLOT(1);
  LUMORA_WINRT_SLOT(2);
  virtual HRESULT STDMETHODCALLTYPE GetResults() = 0;
};

template <typename T>
struct IVectorView : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, T** item) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) = 0;
};

struct IHostName : IInspectable {
  LUMORA_WINRT_SLOT(1);  // get_IPInformation
  LUMORA_WINRT_SLOT(2);  // get_RawName
  virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* name) = 0;
};

struct INetworkAdapter : IInspectable {
  LUMORA_WINRT_SLOT(1);  // get_OutboundMaxBitsPerSecond
  LUMORA_WINRT_SLOT(2);  // get_InboundMaxBitsPerSecond
  LUMORA_WINRT_SLOT(3);  // get_IanaInterfaceType
  LUMORA_WINRT_SLOT(4);  // get_NetworkItem
  virtual HRESULT STDMETHODCALLTYPE get_NetworkAdapterId(GUID* id) = 0;
};

struct IConnectionProfile : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_ProfileName(HSTRING* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNetworkConnectivityLevel(int* level) = 0;
  LUMORA_WINRT_SLOT(2);  // GetNetworkNames
  LUMORA_WINRT_SLOT(3);  // GetConnectionCost
  LUMORA_WINRT_SLOT(4);  // GetDataPlanStatus
  virtual HRESULT STDMETHODCALLTYPE get_NetworkAdapter(INetworkAdapter** adapter) = 0;
};

struct INetworkInformationStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetConnectionProfiles(
      IVectorView<IConnectionProfile>** profiles) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetInternetConnectionProfile(IConnectionProfile** profile) = 0;
};

struct ITetheringAccessPointConfiguration : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Ssid(HSTRING* ssid) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Ssid(HSTRING ssid) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Passphrase(HSTRING* passphrase) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Passphrase(HSTRING passphrase) = 0;
};

struct ITetheringOperationResult : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Status(int* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalErrorMessage(HSTRING* message) = 0;
};

struct ITetheringManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MaxClientCount(UINT32* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ClientCount(UINT32* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TetheringOperationalState(int* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentAccessPointConfiguration(
      ITetheringAccessPointConfiguration** configuration) = 0;
  virtual HRESULT STDMETHODCALLTYPE ConfigureAccessPointAsync(
      ITetheringAccessPointConfiguration* configuration, IAsyncAction** action) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartTetheringAsync(
      IAsyncOperation<ITetheringOperationResult>** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE StopTetheringAsync(
      IAsyncOperation<ITetheringOperationResult>** operation) = 0;
};

struct ITetheringClient : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MacAddress(HSTRING* mac) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HostNames(IVectorView<IHostName>** names) = 0;
};

struct ITetheringClientManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetTetheringClients(
      IVectorView<ITetheringClient>** clients) = 0;
};

struct ITetheringManagerStatics2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetTetheringCapabilityFromConnectionProfile(
      IConnectionProfile* profile, int* capability) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateFromConnectionProfile(IConnectionProfile* profile,
                                                                ITetheringManager** manager) = 0;
};

struct ITetheringManagerStatics4 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE IsNoConnectionsTimeoutEnabled(boolean* enabled) = 0;
  LUMORA_WINRT_SLOT(1);  // EnableNoConnectionsTimeout
  virtual HRESULT STDMETHODCALLTYPE EnableNoConnectionsTimeoutAsync(IAsyncAction** action) = 0;
  LUMORA_WINRT_SLOT(2);  // DisableNoConnectionsTimeout
  virtual HRESULT STDMETHODCALLTYPE DisableNoConnectionsTimeoutAsync(IAsyncAction** action) = 0;
};

#undef LUMORA_WINRT_SLOT

}  // namespace lumora::winrt
