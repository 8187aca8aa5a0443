#pragma once
#include <windows.h>

#include "app/system_port.h"

namespace lumora {

class Win32System : public SystemPort {
 public:
  explicit Win32System(HWND* main) : main_(main) {}
  bool ActivateOtherInstance(std::string_view title) override;
  OsVersion ProcessOsVersion() override;
  void EndProcess() override;

 private:
  HWND* main_;  // the main window, once it exists
};

}  // namespace lumora
