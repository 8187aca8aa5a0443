#pragma once
// The WMI query that finds an adapter's GUID by its connection name.
#include <string>
#include <string_view>

namespace lumora {

// "Select GUID From Win32_NetworkAdapter WHERE NetConnectionID='NAME'", with
// the name's quotes and backslashes escaped as WQL string literals need, so
// that a connection renamed to, say, "Tom's WiFi" is still found and a name
// can never change the query itself.
std::string AdapterGuidQuery(std::string_view connection_name);

}  // namespace lumora
