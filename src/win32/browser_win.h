#pragma once
// The user's default web browser, through the shell's open action.
#include "updates/web_ports.h"

namespace lumora {

class ShellBrowser : public BrowserPort {
 public:
  void Open(const std::string& url) override;
};

}  // namespace lumora
