#include "hotspot/netsh_text.h"


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

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Where `part` first occurs in `text` at or after `from`, ASCII letters
// compared without case; npos when it does not.
std::size_t FindFolded(std::string_view text, std::string_view part, std::size_t from) {
  if (part.size() > text.size()) return std::string_view::npos;
  for (std::size_t at = from; at + part.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < part.size() && FoldAscii(text[at + i]) == FoldAscii(part[i])) ++i;
    if (i == part.size()) return at;
  }
  return std::string_view::npos;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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

// Both readers below walk the text once and keep no stack per byte: netsh
// output of any size (a line of megabytes) costs time in proportion, never
// the thread's stack.
std::string AdapterDhcpLines(std::string_view show_addresses, std::string_view adapter) {
  const std::string_view text = show_addresses;
  for (std::size_t at = FindFolded(text, adapter, 0); at != std::string_view::npos;
       at = FindFolded(text, adapter, at + 1)) {
    const std::size_t first_end = text.find('\n', at + adapter.size());
    if (first_end == std::string_view::npos) break;  // no later name has a next line either
    std::size_t second_end = text.find('\n', first_end + 1);
    if (second_end == std::string_view::npos) second_end = text.size();
    const std::string_view next = text.substr(first_end + 1, second_end - first_end - 1);
    if (FindFolded(next, "dhcp", 0) != std::string_view::npos)
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
    while (run_end < output.size() && IsSpace(output[run_end])) {
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
