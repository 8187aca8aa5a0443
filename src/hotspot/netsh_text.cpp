#include "hotspot/netsh_text.h"

#include "common/text.h"

namespace lumora::netsh {
namespace {

// A value for netsh's command line. netsh splits its arguments at spaces and
// tabs, so a value with either inside is quoted; backslashes before the
// closing quote are doubled or they would escape it.
std::string Argument(std::string value) {
  if (value.find_first_of(" \t") == std::string::npos) return value;
  std::size_t trailing = 0;
  while (trailing < value.size() && value[value.size() - 1 - trailing] == '\\') ++trailing;
  value.append(trailing, '\\');
  return "\"" + value + "\"";
}

}  // namespace

std::string RemoveFirstSpaces(std::string_view text, int count) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && count > 0) {
      --count;
      continue;
    }
    out += c;
  }
  return out;
}

std::string SetHostedNetworkCommand(std::string_view ssid, std::string_view key) {
  return "netsh wlan set hostednetwork mode=allow ssid=" + Argument(TrimSpaces(ssid)) +
         " key=" + Argument(TrimSpaces(key));
}

std::string SetStaticAddressCommand(std::string_view adapter) {
  if (adapter.find('"') != std::string_view::npos) return {};
  return "netsh interface ip set address name=\"" + std::string(adapter) +
         "\" source=static addr=192.168.137.1 mask=255.255.255.0 gwmetric=1";
}

// Both readers below walk the text once and keep no stack per byte: netsh
// output of any size (a line of megabytes) costs time in proportion, never
// the thread's stack.
std::string AdapterDhcpLines(std::string_view show_addresses, std::string_view adapter) {
  const std::string_view text = show_addresses;
  for (std::size_t at = FindNoCase(text, adapter); at != std::string_view::npos;
       at = FindNoCase(text, adapter, at + 1)) {
    const std::size_t first_end = text.find('\n', at + adapter.size());
    if (first_end == std::string_view::npos) break;  // no later name has a next line either
    std::size_t second_end = text.find('\n', first_end + 1);
    if (second_end == std::string_view::npos) second_end = text.size();
    const std::string_view next = text.substr(first_end + 1, second_end - first_end - 1);
    if (ContainsNoCase(next, "dhcp"))
      return std::string(text.substr(at, second_end - at));
  }
  return {};
}

std::string CleanOutput(std::string_view output) {
  if (output.substr(0, 2) == "\r\n") output.remove_prefix(2);
  if (output.size() >= 2 && output.substr(output.size() - 2) == "\r\n") output.remove_suffix(2);
  // A line break followed by blank space up to a CR: the blank lines go, the
  // last CR's own line break stays.
  std::string out;
  out.reserve(output.size());
  std::size_t i = 0;
  while (i < output.size()) {
    if (output[i] != '\n') {
      out += output[i++];
      continue;
    }
    std::size_t run_end = i + 1, last_cr = std::string_view::npos;
    while (run_end < output.size() && IsAsciiBlank(output[run_end])) {
      if (output[run_end] == '\r') last_cr = run_end;
      ++run_end;
    }
    if (last_cr == std::string_view::npos) {
      out += output[i++];
      continue;
    }
    i = last_cr + 1;
  }
  return out;
}

}  // namespace lumora::netsh
