#pragma once
// Texts the hotspot controller builds for netsh and reads back from it, and
// the small text rules of the start sequence. No state, no ports.
#include <string>
#include <string_view>

namespace lumora::netsh {

inline constexpr char kDisallow[] = "netsh wlan set hostednetwork mode=disallow";
inline constexpr char kStart[] = "netsh wlan start hostednetwork";
inline constexpr char kStop[] = "netsh wlan stop hostednetwork";
inline constexpr char kShowAddresses[] = "netsh interface ipv4 show addresses";

// The text without its first `count` spaces (later ones are kept).
std::string RemoveFirstSpaces(std::string_view text, int count);

// "netsh wlan set hostednetwork mode=allow ssid=… key=…" with both values
// trimmed. A value with a space inside is quoted so that it stays one
// argument; values must not contain a double quote (refused before).
std::string SetHostedNetworkCommand(std::string_view ssid, std::string_view key);

// The command giving the hosted adapter the fixed address 192.168.137.1;
// empty when the adapter name contains a double quote and cannot be passed.
std::string SetStaticAddressCommand(std::string_view adapter);

// From `netsh interface ipv4 show addresses`: the first place where the
// adapter's name is followed, on the next line, by a line mentioning DHCP
// (case-insensitive); the text from the name to the end of that line. Empty
// when there is none.
std::string AdapterDhcpLines(std::string_view show_addresses, std::string_view adapter);

// netsh's output for a message box: one leading and one trailing CR LF
// removed, and the blank lines between the others.
std::string CleanOutput(std::string_view output);

}  // namespace lumora::netsh
