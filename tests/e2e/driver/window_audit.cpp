#include "window_audit.h"

#include <commctrl.h>

#include <algorithm>

#include "ui_driver.h"
#include "win32/app_messages.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"

namespace lumora::e2e {
namespace {

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

Rect ScreenClient(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  return ToRect(r);
}

// What the control's containers, up to the main window, leave of it.
Rect VisiblePart(HWND hwnd, HWND main) {
  RECT w;
  GetWindowRect(hwnd, &w);
  Rect visible = ToRect(w);
  for (HWND up = GetParent(hwnd); up; up = GetParent(up)) {
    visible = Intersection(visible, ScreenClient(up));
    if (up == main) break;
  }
  return visible;
}

// A text's extent at a font of the definition, broken at `wrap` pixels when asked.
class Measure {
 public:
  explicit Measure(int dpi) : dpi_(dpi), dc_(CreateCompatibleDC(nullptr)) {}
  ~Measure() {
    for (HFONT f : fonts_) DeleteObject(f);
    DeleteDC(dc_);
  }
  Size Text(Font font, const std::string& text, int wrap = 0) {
    SelectObject(dc_, FontAt(font));
    const std::wstring wide = Widen(text.empty() ? " " : text);
    RECT r{0, 0, std::max(wrap, 1), 0};
    DrawTextW(dc_, wide.c_str(), -1, &r,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : 0));
    return {text.empty() ? 0 : int(r.right), int(r.bottom)};
  }
  int Px(int design) const { return ScaleToDpi(design, dpi_); }

 private:
  HFONT FontAt(Font font) {
    HFONT& f = fonts_[std::size_t(font)];
    if (!f) f = FontForDpi(font, dpi_);
    return f;
  }
  int dpi_;
  HDC dc_;
  std::vector<HFONT> fonts_ = std::vector<HFONT>(std::size_t(Font::kCount), nullptr);
};

// Headers as controls of their own: a tab's page titles, a list's columns.
void AddHeaders(HWND hwnd, const ControlDef& d, Measure& m, std::vector<AuditedControl>& out) {
  std::vector<std::string> titles;
  HWND header = hwnd;
  UINT rect_msg = TCM_GETITEMRECT;
  if (d.kind == ControlKind::kTab) {
    for (int p = 0; p < kPageCount; ++p) titles.push_back(PageTitle(static_cast<Page>(p)));
  } else {
    for (const ColumnDef& c : ColumnDefs())
      if (c.list == d.id) titles.push_back(c.title);
    header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    rect_msg = HDM_GETITEMRECT;
  }
  for (int i = 0; i < int(titles.size()); ++i) {
    RECT r{};
    if (titles[i].empty() || !AskRect(header, rect_msg, WPARAM(i), r)) continue;
    MapWindowPoints(header, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    AuditedControl a;
    a.name = std::string(d.name) + " [" + titles[i] + "]";
    a.container = -1;  // headers are checked for their text only
    a.rect = a.visible = Intersection(ToRect(r), VisiblePart(header, GetAncestor(hwnd, GA_ROOT)));
    a.text = m.Text(d.font, titles[i]);
    a.chrome = {m.Px(d.kind == ControlKind::kTab ? 4 : 10), 0};
    out.push_back(a);
  }
}

// The text a control shows and the room its frame and glyphs take.
void MeasureText(const ControlDef& d, HWND hwnd, const Rect& rect, Measure& m, AuditedControl& a) {
  const std::string text = WindowText(hwnd);
  switch (d.kind) {
    case ControlKind::kLabel:
    case ControlKind::kTransparentLabel:
      a.text = m.Text(d.font, text);
      break;
    case ControlKind::kHyperlink:
      a.text = m.Text(Font::kLink, text);
      break;
    case ControlKind::kButton:
      a.chrome = {6, 4};  // the face's inner margins
      a.text = m.Text(d.font, text, rect.width - a.chrome.width);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
      a.chrome = {m.Px(13) + m.Px(3), 0};  // the box and its gap
      a.text = m.Text(d.font, text);
      break;
    case ControlKind::kGroupBox:
      if (d.flags & flag::kNoCaption) break;
      a.chrome = {m.Px(8) + 2, 0};
      a.text = m.Text(d.font, text);
      break;
    case ControlKind::kEdit:
      // A line of text, within the frame; its width scrolls.
      a.chrome = {0, (d.flags & flag::kInPlace) ? 0 : 2 * GetSystemMetrics(SM_CYEDGE)};
      a.text = {0, m.Text(d.font, "国Wg").height};
      break;
    default:
      break;
  }
}

}  // namespace

std::vector<AuditedControl> ReadShownPage(HWND main, int dpi) {
  Measure m(dpi);
  std::vector<AuditedControl> out;
  for (const Control& c : ListControls(main)) {
    const int index = c.id - kControlIdBase;
    if (!c.visible || index < 0 || index >= kControlCount) continue;
    // The parts of a combo box or a list view carry numbers of their own.
    wchar_t parent_class[64] = {};
    GetClassNameW(GetParent(c.hwnd), parent_class, 64);
    if (lstrcmpiW(parent_class, L"ComboBox") == 0 || lstrcmpiW(parent_class, WC_LISTVIEWW) == 0) continue;
    const ControlDef& d = DefOf(static_cast<Ctl>(index));
    AuditedControl a;
    a.name = d.name;
    a.id = d.id;
    a.container = int(reinterpret_cast<INT_PTR>(GetParent(c.hwnd)));
    RECT w;
    GetWindowRect(c.hwnd, &w);
    a.rect = ToRect(w);
    // A combo box's window reaches down over its closed list: its field is
    // the selection's height and the frame. (GetComboBoxInfo would have the
    // other process write into an address of this one.)
    if (d.kind == ControlKind::kCombo)
      a.rect.height = int(SendMessageW(c.hwnd, CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 6;
    a.visible = Intersection(a.rect, VisiblePart(c.hwnd, main));
    MeasureText(d, c.hwnd, a.rect, m, a);
    out.push_back(a);
    if (d.kind == ControlKind::kTab || d.kind == ControlKind::kListView) AddHeaders(c.hwnd, d, m, out);
  }
  return out;
}

}  // namespace lumora::e2e
