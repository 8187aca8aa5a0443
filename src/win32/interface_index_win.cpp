#include "win32/interface_index_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <cstring>
#include <memory>

#include "win32/com_ref.h"
#include "win32/utf16.h"
#include "win32/wmi_win.h"

namespace lumora {
namespace {

// At most this many objects of the query's answer are read.
constexpr ULONG kMaxWmiObjects = 10;
// The query runs on the window thread: a WMI service that does not answer
// must not hold it for ever.
constexpr LONG kWmiWaitMs = 3000;

// The text in the ANSI code page, as a program built on ANSI strings sees
// it: characters the code page lacks turn into the same substitutes on both
// sides of a comparison.
std::string ToAnsi(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0,
                                       nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(size_t(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

}  // namespace

std::string Win32InterfaceIndexPort::AdapterGuidByFriendlyName(const std::string& connection_name) {
  // Names only: Wine fails the whole call with the prefixes asked for while a
  // default route has no gateway (as a dial-up connection's has).
  constexpr ULONG kFlags = GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                           GAA_FLAG_SKIP_DNS_SERVER;
  ULONG size = 0;
  ULONG result = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr, nullptr, &size);
  std::unique_ptr<unsigned char[]> buffer;
  // The list can grow between asking for the size and reading it.
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW && size > 0; ++attempt) {
    buffer.reset(new unsigned char[size]());  // zero-filled
    result = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
  }
  if (result != NO_ERROR || !buffer) return {};
  const std::string wanted = ToAnsi(Widen(connection_name));
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); a; a = a->Next) {
    if (!a->FriendlyName || !a->AdapterName) continue;
    if (ToAnsi(a->FriendlyName) == wanted) return std::string(a->AdapterName);
  }
  return {};
}

std::string Win32InterfaceIndexPort::AdapterGuidFromWmi(const std::string& connection_name) {
  ComScope com;
  ComRef<IEnumWbemClassObject> answer = AdapterRows("GUID", connection_name);
  if (!answer) return {};
  IWbemClassObject* objects[kMaxWmiObjects] = {};
  ULONG returned = 0;
  answer->Next(kWmiWaitMs, kMaxWmiObjects, objects, &returned);
  if (returned > kMaxWmiObjects) returned = kMaxWmiObjects;
  std::string guid;
  for (ULONG i = 0; i < returned; ++i) {
    if (!objects[i]) continue;
    // The last object read wins.
    guid.clear();
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(objects[i]->Get(L"GUID", 0, &value, nullptr, nullptr)) &&
        value.vt == VT_BSTR && value.bstrVal)
      guid = Narrow(std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal)));
    VariantClear(&value);
    objects[i]->Release();
  }
  return guid;
}

std::uint32_t Win32InterfaceIndexPort::AdapterIndex(const std::string& guid) {
  if (guid.empty()) return 0;
  std::wstring name = L"\\DEVICE\\TCPIP_" + Widen(guid);
  ULONG index = 0;
  if (GetAdapterIndex(name.data(), &index) != NO_ERROR) return 0;
  return index;
}

}  // namespace lumora
