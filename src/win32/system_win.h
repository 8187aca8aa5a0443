#pragma once
#include <windows.h>

#include "app/system_port.h"

namespace lumora {

class Win32Window;

class Win32System : public SystemPort {
 public:
  explicit Win32System(const Win32Window& window) : window_(window) {}
  bool ActivateOtherInstance(std::string_view title) override;
  OsVersion ProcessOsVersion() override;
  void EndProcess() override;

 private:
  const Win32Window& window_;  // its handle is the program's one record of the window
};

}  // namespace lumora
