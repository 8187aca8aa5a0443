#pragma once
// Internet connection sharing through the sharing manager's typed interfaces
// (INetSharingManager and its collections).
#include <string>

#include "hotspot/network_ports.h"

namespace lumora {

// Every call initialises COM for its own duration (joining whatever
// apartment the thread already has), so the port can be used from any thread.
// A walk returns false when the manager, the collection or its enumerator
// cannot be had; connections met during a walk stay valid only inside the
// visit.
class Win32SharingPort : public SharingPort {
 public:
  Win32SharingPort() = default;
  // Other ProgIDs in place of "HNetCfg.HNetShare" and "HNetCfg.HNetShare.1"
  // (the tests register a manager of their own).
  Win32SharingPort(std::wstring prog_id, std::wstring prog_id_1)
      : prog_id_(std::move(prog_id)), prog_id_1_(std::move(prog_id_1)) {}

  bool ForEveryConnection(SharingProgId id, const Visit& visit) override;
  bool ForPublicConnections(SharingProgId id,
                            const std::function<bool(SharingConnection&)>& visit) override;
  int PublicCount(SharingProgId id) override;
  int PrivateCount(SharingProgId id) override;

 private:
  const std::wstring& ProgId(SharingProgId id) const {
    return id == SharingProgId::kHNetShare1 ? prog_id_1_ : prog_id_;
  }

  std::wstring prog_id_ = L"HNetCfg.HNetShare";
  std::wstring prog_id_1_ = L"HNetCfg.HNetShare.1";
};

}  // namespace lumora
