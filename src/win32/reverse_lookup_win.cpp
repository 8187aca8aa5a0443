#include "win32/reverse_lookup_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "win32/utf16.h"

namespace lumora {

Win32ReverseLookup::Win32ReverseLookup() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32ReverseLookup::~Win32ReverseLookup() {
  if (started_) WSACleanup();
}

std::string Win32ReverseLookup::HostName(const std::string& ip) {
  if (!started_) return {};
  const unsigned long address = inet_addr(ip.c_str());
  if (address == INADDR_NONE && ip != "255.255.255.255") return {};
  sockaddr_in socket_address{};
  socket_address.sin_family = AF_INET;
  socket_address.sin_addr.s_addr = address;
  wchar_t host[NI_MAXHOST] = {};
  if (GetNameInfoW(reinterpret_cast<const sockaddr*>(&socket_address), sizeof(socket_address),
                   host, NI_MAXHOST, nullptr, 0, NI_NAMEREQD) != 0)
    return {};
  host[NI_MAXHOST - 1] = L'\0';
  return Narrow(host);
}

}  // namespace lumora
