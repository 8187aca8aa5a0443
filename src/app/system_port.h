#pragma once
// What start-up and exit ask of the operating system itself.
#include <string_view>

namespace lumora {

struct OsVersion {
  int major = 0;
  int minor = 0;
};

class SystemPort {
 public:
  virtual ~SystemPort() = default;
  // Brings up the top-level window titled exactly `title` (shown normal) and
  // reports whether there was one.
  virtual bool ActivateOtherInstance(std::string_view title) = 0;
  // The version the operating system reports to this process.
  virtual OsVersion ProcessOsVersion() = 0;
  // Ends the program (the windows go, the message loop ends).
  virtual void EndProcess() = 0;
};

}  // namespace lumora
