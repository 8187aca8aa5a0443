#pragma once
// The read-only HTML views of the main window (the help page 简单超文本框1 and
// the notice banner 超文本浏览框1): a window class of their own that draws a
// parsed document with GDI fonts, scrolls it, and reports a click on a link
// as a kClick event of the view whose value is the link's index. WM_GETTEXT
// gives the document's plain text (screen readers read it).
#include <windows.h>

#include "ui/controls.h"
#include "updates/html.h"

namespace lumora {

class Win32Window;

inline constexpr wchar_t kHtmlViewClass[] = L"LumoraWiFiHtmlView";

// Registers the views' window class; once per process is enough, again is harmless.
void RegisterHtmlViewClass(HINSTANCE instance);

// The views' port: a call from any thread is carried to the window thread,
// where the view keeps its own copy of the document.
class Win32HtmlView : public HtmlViewPort {
 public:
  explicit Win32HtmlView(Win32Window& window) : window_(window) {}
  void ShowHtml(Ctl view, const HtmlDocument& document) override;

 private:
  Win32Window& window_;
};

}  // namespace lumora
