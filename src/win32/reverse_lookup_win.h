#pragma once
// Host names of IPv4 addresses through Windows sockets.
#include "guard/host_names.h"

namespace lumora {

class Win32ReverseLookup : public ReverseLookupPort {
 public:
  Win32ReverseLookup();   // WSAStartup
  ~Win32ReverseLookup() override;
  Win32ReverseLookup(const Win32ReverseLookup&) = delete;
  Win32ReverseLookup& operator=(const Win32ReverseLookup&) = delete;

  // The address text must convert with inet_addr; the name is what the
  // resolver finds for it (getnameinfo, which also serves concurrent callers),
  // empty when it finds nothing.
  std::string HostName(const std::string& ip) override;

 private:
  bool started_ = false;
};

}  // namespace lumora
