#include "win32/network_events_win.h"

#include "win32/system_function.h"

namespace lumora {
namespace {

using NotifyRouteFn = DWORD(WINAPI*)(ADDRESS_FAMILY, PIPFORWARD_CHANGE_CALLBACK, PVOID, BOOLEAN, HANDLE*);
using NotifyInterfaceFn = DWORD(WINAPI*)(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK, PVOID, BOOLEAN,
                                         HANDLE*);
using CancelFn = DWORD(WINAPI*)(HANDLE);
using WlanOpenFn = DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE);
using WlanCloseFn = DWORD(WINAPI*)(HANDLE, PVOID);
using WlanRegisterFn = DWORD(WINAPI*)(HANDLE, DWORD, BOOL, WLAN_NOTIFICATION_CALLBACK, PVOID, PVOID,
                                      PDWORD);

}  // namespace

VOID WINAPI Win32NetworkEvents::OnRoute(PVOID self, PMIB_IPFORWARD_ROW2, MIB_NOTIFICATION_TYPE) {
  static_cast<Win32NetworkEvents*>(self)->Changed();
}

VOID WINAPI Win32NetworkEvents::OnInterface(PVOID self, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
  static_cast<Win32NetworkEvents*>(self)->Changed();
}

VOID WINAPI Win32NetworkEvents::OnWlan(PWLAN_NOTIFICATION_DATA data, PVOID self) {
  if (data && data->NotificationSource == WLAN_NOTIFICATION_SOURCE_HNWK)
    static_cast<Win32NetworkEvents*>(self)->Changed();
}

void Win32NetworkEvents::Changed() {
  std::function<void()> changed;
  {
    std::lock_guard lock(mutex_);
    changed = changed_;
  }
  if (changed) changed();
}

void Win32NetworkEvents::Watch(std::function<void()> changed) {
  static const auto notify_route = SystemFunction<NotifyRouteFn>(L"iphlpapi.dll", "NotifyRouteChange2");
  static const auto notify_interface =
      SystemFunction<NotifyInterfaceFn>(L"iphlpapi.dll", "NotifyIpInterfaceChange");
  {
    std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
  }
  if (notify_route && !route_ && notify_route(AF_UNSPEC, OnRoute, this, FALSE, &route_) != NO_ERROR)
    route_ = nullptr;
  if (notify_interface && !interface_ &&
      notify_interface(AF_UNSPEC, OnInterface, this, FALSE, &interface_) != NO_ERROR)
    interface_ = nullptr;
  WatchWlan();
}

void Win32NetworkEvents::WatchWlan() {
  static const auto open = SystemFunction<WlanOpenFn>(L"wlanapi.dll", "WlanOpenHandle");
  static const auto reg = SystemFunction<WlanRegisterFn>(L"wlanapi.dll", "WlanRegisterNotification");
  static const auto close = SystemFunction<WlanCloseFn>(L"wlanapi.dll", "WlanCloseHandle");
  if (!open || !reg || !close || wlan_) return;
  DWORD version = 0;
  if (open(2, nullptr, &version, &wlan_) != ERROR_SUCCESS) {
    wlan_ = nullptr;
    return;
  }
  if (reg(wlan_, WLAN_NOTIFICATION_SOURCE_HNWK, TRUE, OnWlan, this, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    close(wlan_, nullptr);
    wlan_ = nullptr;
  }
}

void Win32NetworkEvents::Unwatch() {
  static const auto cancel = SystemFunction<CancelFn>(L"iphlpapi.dll", "CancelMibChangeNotify2");
  static const auto close = SystemFunction<WlanCloseFn>(L"wlanapi.dll", "WlanCloseHandle");
  for (HANDLE* h : {&route_, &interface_}) {
    if (*h && cancel) cancel(*h);
    *h = nullptr;
  }
  // Closing the session ends its notifications.
  if (wlan_ && close) close(wlan_, nullptr);
  wlan_ = nullptr;
}

}  // namespace lumora
