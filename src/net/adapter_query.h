#pragma once
// The WMI query for the network adapter that carries a connection, by the
// connection's name: the interface index (its GUID) and the connection's
// status ask it.
#include <string>
#include <string_view>

namespace lumora {

// "Select FIELDS From Win32_NetworkAdapter WHERE NetConnectionID='NAME'",
// with the name's quotes and backslashes escaped as WQL string literals need,
// so that a connection renamed to, say, "Tom's WiFi" is still found and a
// name can never change the query itself.
std::string AdapterQuery(std::string_view fields, std::string_view connection_name);

}  // namespace lumora
