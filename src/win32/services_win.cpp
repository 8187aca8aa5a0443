#include "win32/services_win.h"

#include <windows.h>

#include <memory>

#include "win32/utf16.h"

namespace lumora {
namespace {

// Full access to the manager and to the service, as changing the start type
// and starting need; without administrator rights nothing opens and every
// call reports failure.
constexpr DWORD kManagerAccess = 0xF003F;  // SC_MANAGER_ALL_ACCESS
constexpr DWORD kServiceAccess = 0xF01FF;  // SERVICE_ALL_ACCESS

class ServiceHandle {
 public:
  explicit ServiceHandle(SC_HANDLE h) : h_(h) {}
  ~ServiceHandle() {
    if (h_) CloseServiceHandle(h_);
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  SC_HANDLE get() const { return h_; }

 private:
  SC_HANDLE h_;
};

// The manager and one service, open together for one call.
class ServiceSession {
 public:
  explicit ServiceSession(const std::string& name)
      : manager_(OpenSCManagerW(nullptr, nullptr, kManagerAccess)),
        service_(manager_.get() ? OpenServiceW(manager_.get(), Widen(name).c_str(), kServiceAccess)
                                : nullptr) {}
  SC_HANDLE get() const { return service_.get(); }

 private:
  // Declared first: closed after the service.
  ServiceHandle manager_;
  ServiceHandle service_;
};

}  // namespace

std::optional<int> Win32ServicesPort::StartType(const std::string& service) {
  ServiceSession open(service);
  if (!open.get()) return std::nullopt;
  DWORD needed = 0;
  if (QueryServiceConfigW(open.get(), nullptr, 0, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(QUERY_SERVICE_CONFIGW))
    return std::nullopt;
  // The configuration holds pointers into the same buffer: keep it aligned.
  auto buffer = std::make_unique<QUERY_SERVICE_CONFIGW[]>(
      (needed + sizeof(QUERY_SERVICE_CONFIGW) - 1) / sizeof(QUERY_SERVICE_CONFIGW));
  if (!QueryServiceConfigW(open.get(), buffer.get(), needed, &needed)) return std::nullopt;
  return static_cast<int>(buffer[0].dwStartType);
}

bool Win32ServicesPort::SetStartType(const std::string& service, int start_type) {
  ServiceSession open(service);
  return open.get() &&
         ChangeServiceConfigW(open.get(), SERVICE_NO_CHANGE, static_cast<DWORD>(start_type),
                              SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
}

std::optional<bool> Win32ServicesPort::IsStopped(const std::string& service) {
  ServiceSession open(service);
  SERVICE_STATUS status{};
  if (!open.get() || !QueryServiceStatus(open.get(), &status)) return std::nullopt;
  return status.dwCurrentState == SERVICE_STOPPED;
}

bool Win32ServicesPort::Start(const std::string& service) {
  ServiceSession open(service);
  if (!open.get()) return false;
  return StartServiceW(open.get(), 0, nullptr) ||
         GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
}

}  // namespace lumora
