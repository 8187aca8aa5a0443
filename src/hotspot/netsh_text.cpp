#include "hotspot/netsh_text.h"

#include <regex>

namespace lumora::netsh {
namespace {

// A value for netsh's command line. netsh splits its arguments at spaces, so
// a value with a space inside is quoted; backslashes before the closing quote
// are doubled or they would escape it.
std::string Argument(std::string value) {
  if (value.find(' ') == std::string::npos) return value;
  std::size_t trailing = 0;
  while (trailing < value.size() && value[value.size() - 1 - trailing] == '\\') ++trailing;
  value.append(trailing, '\\');
  return "\"" + value + "\"";
}

// The name as a literal inside a pattern: real adapter names such as
// "Local Area Connection* 12" carry metacharacters.
std::string EscapeForPattern(std::string_view text) {
  static constexpr std::string_view kMeta = "\\^$.|?*+()[]{}";
  std::string out;
  for (char c : text) {
    if (kMeta.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

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

std::string AdapterDhcpLines(std::string_view show_addresses, std::string_view adapter) {
  // netsh ends its lines with CR LF; "[^\n]" runs up to the LF as the
  // pattern's "." is meant to, where std::regex's "." would stop at the CR.
  try {
    const std::regex pattern(EscapeForPattern(adapter) + "[^\\n]*\\n[^\\n]*DHCP[^\\n]*",
                             std::regex::ECMAScript | std::regex::icase);
    std::match_results<std::string_view::const_iterator> match;
    if (std::regex_search(show_addresses.begin(), show_addresses.end(), match, pattern))
      return match.str(0);
  } catch (const std::regex_error&) {
    // An output too large for the matcher counts as no match.
  }
  return {};
}

std::string CleanOutput(std::string_view output) {
  if (output.substr(0, 2) == "\r\n") output.remove_prefix(2);
  if (output.size() >= 2 && output.substr(output.size() - 2) == "\r\n") output.remove_suffix(2);
  try {
    static const std::regex blank_lines("\\n\\s*\\r", std::regex::ECMAScript);
    return std::regex_replace(std::string(output), blank_lines, "");
  } catch (const std::regex_error&) {
    return std::string(output);
  }
}

}  // namespace lumora::netsh
