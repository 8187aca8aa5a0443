#pragma once
// The theme and the autostart value until their Windows side is built: no
// theme is applied and no autostart value is read.
#include "extras/extras.h"

namespace lumora {

class PendingSkin : public SkinPort {
 public:
  void ApplySkinHue(int) override {}
};

class PendingAutostart : public AutostartPort {
 public:
  bool AutostartExists() override { return false; }
};

}  // namespace lumora
