#pragma once
// The autostart value in the machine-wide Run key.
//
// Registry view: both the 64-bit and the 32-bit program use the native
// (64-bit) view on 64-bit Windows (KEY_WOW64_64KEY; ignored on 32-bit
// Windows), so either build sees and changes the same value, and a value
// written by one never hides in WOW6432Node from the other.
#include <string>

#include "extras/extras_ports.h"
#include "extras/start_options.h"

namespace lumora {

class RegistryAutostart : public AutostartPort {
 public:
  // The value's name and the program path it stores; by default tovkwifiqd
  // and this program's own path. Tests give their own.
  explicit RegistryAutostart(std::string value_name = kRunValueName,
                             std::string program_path = {})
      : value_name_(std::move(value_name)), program_path_(std::move(program_path)) {}

  bool AutostartExists() override;
  bool SetAutostart(bool on) override;

 private:
  std::string value_name_;
  std::string program_path_;
};

// The full path of the running program, as the system reports it.
std::string ProgramPath();

}  // namespace lumora
