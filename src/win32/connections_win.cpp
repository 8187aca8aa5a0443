#include "win32/connections_win.h"

#include <windows.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <functional>

#include "win32/com_ref.h"
#include "win32/netcon_ids.h"
#include "win32/utf16.h"
#include "win32/wmi_win.h"

namespace lumora {
namespace {

using namespace netcon;

// NetConnectionStatus through WMI; nothing when the query cannot run, finds
// no adapter or the adapter has no status.
std::optional<int> WmiStatus(const std::string& name) {
  ComRef<IEnumWbemClassObject> rows = AdapterRows("*", name);
  if (!rows) return std::nullopt;
  ComRef<IWbemClassObject> row;
  ULONG returned = 0;
  // The timeout keeps a stuck WMI service from hanging the caller.
  const HRESULT next = rows->Next(5000, 1, row.put(), &returned);
  if (next != WBEM_S_NO_ERROR || returned != 1) {
    row.Forget();
    return std::nullopt;
  }
  if (!row) return std::nullopt;
  VARIANT value;
  VariantInit(&value);
  std::optional<int> status;
  if (SUCCEEDED(row->Get(L"NetConnectionStatus", 0, &value, nullptr, nullptr)) &&
      value.vt != VT_NULL && value.vt != VT_EMPTY &&
      SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)))
    status = value.lVal;
  VariantClear(&value);
  return status;
}

struct NetconProperties {
  NETCON_PROPERTIES* p = nullptr;
  // What NcFreeNetconProperties does, without importing netshell.dll.
  ~NetconProperties() {
    if (!p) return;
    CoTaskMemFree(p->pszwName);
    CoTaskMemFree(p->pszwDeviceName);
    CoTaskMemFree(p);
  }
};

// Walks the connection manager's connections in its order; `each` gets the
// connection, its name and its status and returns false to stop. False when
// the manager cannot be had.
bool ForEachManagedConnection(
    const std::function<bool(INetConnection&, const std::string&, int)>& each) {
  ComRef<INetConnectionManager> manager;
  if (!Took(CoCreateInstance(kClsidConnectionManager, nullptr, CLSCTX_ALL,
                             kIidNetConnectionManager, manager.put_void()),
            manager))
    return false;
  ComRef<IEnumNetConnection> connections;
  if (!Took(manager->EnumConnections(NCME_DEFAULT, connections.put()), connections))
    return false;
  for (;;) {
    ComRef<INetConnection> connection;
    ULONG fetched = 0;
    if (connections->Next(1, connection.put(), &fetched) != S_OK || fetched != 1) {
      connection.Forget();
      break;
    }
    if (!connection) continue;
    NetconProperties props;
    if (FAILED(connection->GetProperties(&props.p))) {
      props.p = nullptr;
      continue;
    }
    if (!props.p) continue;
    const std::string name = props.p->pszwName ? Narrow(props.p->pszwName) : std::string();
    if (!each(*connection.get(), name, static_cast<int>(props.p->Status))) break;
  }
  return true;
}

}  // namespace

std::optional<int> Win32ConnectionsPort::ConnectionStatus(const std::string& name) {
  ComScope com;
  if (std::optional<int> status = WmiStatus(name)) return status;
  std::optional<int> status;
  ForEachManagedConnection([&](INetConnection&, const std::string& each_name, int each_status) {
    if (each_name != name) return true;
    status = each_status;
    return false;
  });
  return status;
}

bool Win32ConnectionsPort::Connect(const std::string& name) {
  ComScope com;
  bool connected = false;
  ForEachManagedConnection([&](INetConnection& connection, const std::string& each_name, int) {
    if (each_name != name) return true;
    connected = SUCCEEDED(connection.Connect());
    return false;
  });
  return connected;
}

std::vector<std::string> Win32ConnectionsPort::ConnectionNames() {
  ComScope com;
  std::vector<std::string> names;
  ForEachManagedConnection([&](INetConnection&, const std::string& name, int) {
    names.push_back(name);
    return true;
  });
  return names;
}

}  // namespace lumora
