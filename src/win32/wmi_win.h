#pragma once
// The WMI query for the network adapter of a connection, as the connection
// status and the interface index ask it. COM must be initialised on the
// calling thread.
#include <windows.h>
#include <wbemcli.h>

#include <string>
#include <string_view>

#include "win32/com_ref.h"

namespace lumora {

// The rows of `Select FIELDS From Win32_NetworkAdapter` for the connection
// name (net/adapter_query.h); empty when WMI cannot be reached or the query
// does not run. Read them with a time-out: the service may not answer.
ComRef<IEnumWbemClassObject> AdapterRows(std::string_view fields, const std::string& connection);

}  // namespace lumora
