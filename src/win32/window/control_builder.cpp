// The main window's controls, pages and pop-up menus, made from the window
// definition tables and placed at the DPI of the window's screen.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "common/trace.h"
#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/system_function.h"
#include "win32/utf16.h"
#include "win32/window/dpi.h"
#include "win32/window/html_view.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

constexpr wchar_t kContainerClass[] = L"LumoraWiFiContainer";
constexpr int kComboListHeight = 240;  // the drop-down list's room, design units
constexpr int kTipWidth = 400;

// Window class and styles of one kind of control.
struct KindStyle {
  const wchar_t* cls;
  DWORD style;
  DWORD ex_style;
};

KindStyle StyleOf(const ControlDef& d) {
  const DWORD base = WS_CHILD | WS_CLIPSIBLINGS;
  switch (d.kind) {
    case ControlKind::kLabel:
      return {L"STATIC", base | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case ControlKind::kTransparentLabel:
      // Drawn after the siblings below it and without a background of its own.
      return {L"STATIC", base | SS_LEFTNOWORDWRAP | SS_NOPREFIX, WS_EX_TRANSPARENT};
    case ControlKind::kHyperlink:
      // Drawn as a link (ThemePainter::DrawLink); a button takes the focus.
      return {L"BUTTON", base | WS_TABSTOP | BS_OWNERDRAW, 0};
    case ControlKind::kEdit:
      return {L"EDIT", base | WS_TABSTOP | ES_AUTOHSCROLL | (d.flags & flag::kPassword ? ES_PASSWORD : 0),
              DWORD(d.flags & flag::kInPlace ? 0 : WS_EX_CLIENTEDGE)};
    case ControlKind::kButton:
      // Drawn in the theme's colours (ThemePainter::DrawButton).
      return {L"BUTTON", base | WS_TABSTOP | BS_OWNERDRAW | BS_MULTILINE, 0};
    case ControlKind::kCheckBox:
      return {L"BUTTON", base | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kRadio:
      return {L"BUTTON", base | WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::kCombo:
      return {L"COMBOBOX", base | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::kListView:
      return {WC_LISTVIEWW, base | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE};
    case ControlKind::kGroupBox:
      return {kContainerClass, base | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::kPicture:
      return {L"STATIC", base | SS_BITMAP | SS_CENTERIMAGE, 0};
    case ControlKind::kIconBoard:
      // A button that draws its icon: reached with Tab, pressed with the
      // space bar, and read out by its name.
      return {L"BUTTON", base | WS_TABSTOP | BS_OWNERDRAW, 0};
    case ControlKind::kSlider:
      return {TRACKBAR_CLASSW, base | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 0};
    case ControlKind::kBrowser:
      // The notice banner: an HTML view without a frame of its own.
      return {kHtmlViewClass, base, 0};
    case ControlKind::kHtmlView:
      return {kHtmlViewClass, base | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kTab:
      return {WC_TABCONTROLW, base | WS_TABSTOP | WS_CLIPCHILDREN | TCS_OWNERDRAWFIXED, 0};
  }
  return {L"STATIC", base, 0};
}

// Check boxes and radio buttons drawn by the visual styles ignore the text
// colour the theme gives them: they are drawn the classic way.
void WithoutVisualStyle(HWND hwnd) {
  using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto set_theme = SystemFunction<SetTheme>(L"uxtheme.dll", "SetWindowTheme");
  if (set_theme) set_theme(hwnd, L"", L"");
}

// Made larger than its group box, whose edge hid the browser's frame and
// scroll bar; the view has no frame, and its text and scroll bar must be
// seen, so it fills just the group box.
Rect WithinGroup(const ControlDef& d) {
  if (d.kind != ControlKind::kBrowser || d.parent == kNoParent) return d.rect;
  const Rect box = DefOf(d.parent).rect;
  Rect r{std::max(d.rect.left, 0), std::max(d.rect.top, 0), 0, 0};
  r.width = std::min(d.rect.left + d.rect.width, box.width) - r.left;
  r.height = std::min(d.rect.top + d.rect.height, box.height) - r.top;
  return r;
}

Font FontFor(const ControlDef& d) {
  return d.kind == ControlKind::kHyperlink ? Font::kLink : d.font;
}

// Made after the window shows: the pages not shown first, about 40
// controls and a third of the time to a visible window under Wine, and the
// first page's controls hidden at the start.
bool MadeLater(const ControlDef& d) {
  if (d.page == Page::k主界面) return d.flags & flag::kHidden;
  return d.page != Page::kNone && d.page != Page::kTrafficBar;
}

}  // namespace

void Win32Window::MakeFonts() {
  for (HFONT& f : fonts_) {
    if (f) DeleteObject(f);
    f = nullptr;
  }
  for (int i = 0; i < int(fonts_.size()); ++i) fonts_[i] = FontForDpi(static_cast<Font>(i), dpi_);
}

HWND Win32Window::ContainerOf(Ctl c) const {
  const ControlDef& d = DefOf(c);
  if (d.kind == ControlKind::kTab) return main_;
  if (d.page == Page::kTrafficBar) return bar_.Handle();
  return d.parent != kNoParent ? H(d.parent) : pages_[static_cast<int>(d.page)];
}

POINT Win32Window::Origin(Ctl c) const {
  const ControlDef& d = DefOf(c);
  if (d.kind == ControlKind::kTab || d.parent != kNoParent || d.page == Page::kTrafficBar)
    return {0, 0};
  return page_origin_;
}

RECT Win32Window::PixelRect(Ctl c) const {
  Rect design = controls_[static_cast<int>(c)].design;
  if (DefOf(c).kind == ControlKind::kCombo) design.height = kComboListHeight;
  const Rect r = ScaleToDpi(design, dpi_);
  const POINT o = Origin(c);
  RECT pixels{r.left - o.x, r.top - o.y, r.left - o.x + r.width, r.top - o.y + r.height};
  if (DefOf(c).flags & flag::kInPlace) FitToRow(c, pixels);
  return pixels;
}

void Win32Window::PlaceControl(Ctl c) {
  RECT r = PixelRect(c);
  FitText(c, r);
  MoveWindow(H(c), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// A label or link never clips its text: narrower than the text at its font,
// it grows leftwards (a label ends where the field it names begins), then
// rightwards at the container's edge; lower than the text, it grows down.
void Win32Window::FitText(Ctl c, RECT& r) const {
  const ControlKind kind = DefOf(c).kind;
  if (kind != ControlKind::kLabel && kind != ControlKind::kTransparentLabel &&
      kind != ControlKind::kHyperlink)
    return;
  const HWND hwnd = H(c);
  const int length = hwnd ? GetWindowTextLengthW(hwnd) : 0;
  if (length == 0) return;
  std::wstring text(std::size_t(length) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, fonts_[int(FontFor(DefOf(c)))]);
  RECT need{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), int(text.size()), &need, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  const int lack = need.right - (r.right - r.left);
  if (lack > 0) {
    r.left -= lack;
    if (r.left < 0) {
      r.right -= r.left;
      r.left = 0;
    }
  }
  r.bottom = std::max<LONG>(r.bottom, r.top + need.bottom);
}

// An in-place editor covers the row of the visible list view under its top
// edge: the row's height, within the list's width.
void Win32Window::FitToRow(Ctl editor, RECT& r) const {
  const HWND parent = ContainerOf(editor);
  for (const ControlDef& d : ControlDefs()) {
    const HWND list = H(d.id);
    if (d.kind != ControlKind::kListView || d.page != DefOf(editor).page || !list ||
        !IsWindowVisible(list))
      continue;
    LVHITTESTINFO hit{};
    hit.pt = {2, r.top + 1};
    MapWindowPoints(parent, list, &hit.pt, 1);
    RECT client;
    GetClientRect(list, &client);
    hit.pt.x = client.left + 2;
    if (!PtInRect(&client, hit.pt) || ListView_HitTest(list, &hit) < 0) continue;
    RECT row{};
    ListView_GetItemRect(list, hit.iItem, &row, LVIR_BOUNDS);
    MapWindowPoints(list, parent, reinterpret_cast<POINT*>(&row), 2);
    MapWindowPoints(list, parent, reinterpret_cast<POINT*>(&client), 2);
    r.top = row.top;
    r.bottom = row.bottom;
    r.right = std::min(r.right, client.right);
    return;
  }
}

void Win32Window::BuildPages(HWND tab) {
  tab_ = tab;
  for (int page = 0; page < kPageCount; ++page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring title = Widen(PageTitle(static_cast<Page>(page)));
    item.pszText = title.data();
    TabCtrl_InsertItem(tab_, page, &item);
    // A page is named by its title, as its header reads.
    pages_[page] = CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, title.c_str(),
                                   WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                       (page == 0 ? WS_VISIBLE : 0),
                                   0, 0, 0, 0, main_, nullptr, instance_, nullptr);
    SetWindowPos(pages_[page], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  LayoutPages();
}

// Page controls are placed from the tab control's corner; the page windows
// cover the area below the headers, whose height follows the tab's font.
void Win32Window::LayoutPages() {
  RECT tab;
  GetWindowRect(tab_, &tab);
  MapWindowPoints(HWND_DESKTOP, main_, reinterpret_cast<POINT*>(&tab), 2);
  RECT area{0, 0, tab.right - tab.left, tab.bottom - tab.top};
  TabCtrl_AdjustRect(tab_, FALSE, &area);
  page_origin_ = {area.left, area.top};
  for (HWND page : pages_)
    MoveWindow(page, tab.left + area.left, tab.top + area.top, area.right - area.left,
               area.bottom - area.top, TRUE);
}

void Win32Window::BuildControls() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main_,
                             nullptr, instance_, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(kTipWidth));
  RegisterHtmlViewClass(instance_);
  for (const ControlDef& d : ControlDefs()) {
    controls_[static_cast<int>(d.id)].design = WithinGroup(d);
    if (d.page != Page::kTrafficBar && !MadeLater(d)) MakeControl(d);  // the bar makes its own
  }
}

void Win32Window::MakeRestWhenIdle() { PostMessageW(main_, kMsgMakeControls, 0, 0); }

// One at a time, each in its own message, so that a worker's call or the
// user's click waits for one control at most. A control the system refuses
// is not asked for again.
bool Win32Window::MakeNextControl() {
  const auto defs = ControlDefs();
  while (next_to_make_ < defs.size()) {
    const ControlDef& d = defs[next_to_make_++];
    if (MadeLater(d) && !H(d.id)) {
      MakeControl(d);
      return true;
    }
  }
  TraceMark("pages made");
  return false;
}

void Win32Window::MakePage(Page page) {
  for (const ControlDef& d : ControlDefs())
    if (d.page == page && MadeLater(d) && !H(d.id)) MakeControl(d);
}

HWND Win32Window::Handle(Ctl c) {
  if (Held(c) && GetCurrentThreadId() == ui_thread_ && main_) MakePage(DefOf(c).page);
  return H(c);
}

Win32Window::ControlState* Win32Window::Held(Ctl c) {
  ControlState& state = controls_[static_cast<int>(c)];
  return !state.hwnd && MadeLater(DefOf(c)) ? &state : nullptr;
}

const Win32Window::ControlState* Win32Window::Held(Ctl c) const {
  return const_cast<Win32Window*>(this)->Held(c);
}

// Later controls lie over earlier ones, as they were laid out; a control
// made late gets what the port's calls gave it meanwhile.
void Win32Window::MakeControl(const ControlDef& d) {
  ControlState& state = controls_[static_cast<int>(d.id)];
  HWND hwnd = CreateControl(d);
  if (!hwnd) return;
  state.hwnd = hwnd;
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(hwnd, WM_SETFONT, WPARAM(fonts_[int(FontFor(d))]), FALSE);
  if (!state.enabled) EnableWindow(hwnd, FALSE);
  if (state.checked) SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
  SetUpControl(d, hwnd);
  PlaceControl(d.id);  // now that its font and text are known
  if (!state.tip.empty()) SetTip(d.id, state.tip);
  if (!state.rows.empty()) SetRows(d.id, std::exchange(state.rows, {}));
  if (TakesFocus(d.kind) || d.kind == ControlKind::kTab) WatchKeys(d.id);
}

HWND Win32Window::CreateControl(const ControlDef& d) {
  const KindStyle ks = StyleOf(d);
  // The tab control first: the pages and so every page control's origin depend on it.
  const HWND parent = ContainerOf(d.id);
  const RECT r = PixelRect(d.id);
  const ControlState& state = controls_[static_cast<int>(d.id)];
  const bool visible = state.own_visible;
  return CreateWindowExW(ks.ex_style, ks.cls, Widen(state.text).c_str(),
                         ks.style | (visible ? WS_VISIBLE : 0), r.left, r.top, r.right - r.left,
                         r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))), instance_,
                         nullptr);
}

void Win32Window::SetUpControl(const ControlDef& d, HWND hwnd) {
  const ControlState& state = controls_[static_cast<int>(d.id)];
  switch (d.kind) {
    case ControlKind::kTab:
      BuildPages(hwnd);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
      WithoutVisualStyle(hwnd);
      break;
    case ControlKind::kListView:
      ListView_SetExtendedListViewStyle(hwnd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
      AddColumns(d.id, hwnd);
      break;
    case ControlKind::kCombo:
      for (const std::string& item : state.items)
        SendMessageW(hwnd, CB_ADDSTRING, 0, LPARAM(Widen(item).c_str()));
      if (state.selected >= 0) SendMessageW(hwnd, CB_SETCURSEL, WPARAM(state.selected), 0);
      // Its edit field does not take the creation's text; and a text set
      // after the selection stands.
      if (!state.text.empty()) SetWindowTextW(hwnd, Widen(state.text).c_str());
      break;
    case ControlKind::kSlider:
      SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
      SendMessageW(hwnd, TBM_SETPOS, TRUE, state.slider);
      break;
    case ControlKind::kEdit:
      if (state.masked != bool(d.flags & flag::kPassword))
        SendMessageW(hwnd, EM_SETPASSWORDCHAR, state.masked ? WPARAM(L'\x25CF') : 0, 0);
      break;
    case ControlKind::kPicture:
    case ControlKind::kIconBoard:
      SetPicture(d.id, d.image);
      break;
    default:
      break;
  }
}

void Win32Window::AddColumns(Ctl list, HWND hwnd) {
  int column = 0;
  for (const ColumnDef& c : ColumnDefs()) {
    if (c.list != list) continue;
    std::wstring title = Widen(c.title);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = title.data();
    col.cx = Px(c.width);
    ListView_InsertColumn(hwnd, column++, &col);
  }
}

// Everything at a new DPI: the fonts, then the tab (the pages' origin
// follows its headers), then every control from where it is in design
// units, its picture and its list columns.
void Win32Window::ApplyDpi(int dpi) {
  const int old = dpi_;
  if (dpi <= 0 || dpi == old) return;
  dpi_ = dpi;
  std::array<HFONT, static_cast<int>(Font::kCount)> old_fonts = fonts_;
  fonts_ = {};
  MakeFonts();
  for (const ControlDef& d : ControlDefs()) {
    if (d.page == Page::kTrafficBar || !H(d.id)) continue;
    SendMessageW(H(d.id), WM_SETFONT, WPARAM(fonts_[int(FontFor(d))]), FALSE);
    PlaceControl(d.id);
    if (d.kind == ControlKind::kTab) LayoutPages();
    if (d.kind == ControlKind::kPicture || d.kind == ControlKind::kIconBoard)
      SetPicture(d.id, controls_[static_cast<int>(d.id)].image);
    if (d.kind == ControlKind::kListView)
      for (int column = 0; column < Header_GetItemCount(ListView_GetHeader(H(d.id))); ++column)
        ListView_SetColumnWidth(H(d.id), column,
                                MulDiv(ListView_GetColumnWidth(H(d.id), column), dpi, old));
  }
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(kTipWidth));
  for (HFONT f : old_fonts) DeleteObject(f);
  RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::BuildMenus() {
  for (const PopupDef& p : PopupDefs()) popups_[static_cast<int>(p.id)] = CreatePopupMenu();
  for (const MenuItemDef& m : MenuItemDefs())
    AppendMenuW(popups_[static_cast<int>(m.popup)], MF_STRING | (m.disabled ? MF_GRAYED : 0),
                MenuId(m.id), Widen(m.text).c_str());
}

}  // namespace lumora
