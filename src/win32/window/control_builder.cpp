// The main window's controls, pages and pop-up menus, made from the window
// definition tables.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/window_layout.h"
#include "win32/app_messages.h"
#include "win32/utf16.h"
#include "win32/window/html_view.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

constexpr wchar_t kContainerClass[] = L"LumoraWiFiContainer";

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
      return {L"STATIC", base | SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
    case ControlKind::kEdit:
      return {L"EDIT", base | WS_TABSTOP | ES_AUTOHSCROLL | (d.flags & flag::kPassword ? ES_PASSWORD : 0),
              WS_EX_CLIENTEDGE};
    case ControlKind::kButton:
      return {L"BUTTON", base | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
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
      return {L"STATIC", base | SS_ICON | SS_NOTIFY | SS_CENTERIMAGE, 0};
    case ControlKind::kSlider:
      return {TRACKBAR_CLASSW, base | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 0};
    case ControlKind::kBrowser:
      // The notice banner: an HTML view without a frame of its own.
      return {kHtmlViewClass, base, 0};
    case ControlKind::kHtmlView:
      return {kHtmlViewClass, base, WS_EX_CLIENTEDGE};
    case ControlKind::kTab:
      return {WC_TABCONTROLW, base | WS_CLIPCHILDREN, 0};
  }
  return {L"STATIC", base, 0};
}

HFONT MakeFont(const wchar_t* face, int height, bool bold, bool underline = false) {
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH, face);
}

}  // namespace

void Win32Window::SetFonts() {
  fonts_[int(Font::kDefault)] = MakeFont(L"Verdana", -12, false);
  fonts_[int(Font::kYaHeiBold)] = MakeFont(L"微软雅黑", -15, true);
  fonts_[int(Font::kSongBold)] = MakeFont(L"宋体", -12, true);
  fonts_[int(Font::kNSimSun)] = MakeFont(L"新宋体", -12, false);
  link_font_ = MakeFont(L"Verdana", -12, false, true);
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

void Win32Window::BuildPages(HWND tab, Rect r) {
  tab_ = tab;
  for (int page = 0; page < kPageCount; ++page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring title = Widen(PageTitle(static_cast<Page>(page)));
    item.pszText = title.data();
    TabCtrl_InsertItem(tab_, page, &item);
  }
  // Page controls are placed from the tab control's corner; the page windows
  // cover the area below the tabs.
  RECT area{0, 0, r.width, r.height};
  TabCtrl_AdjustRect(tab_, FALSE, &area);
  page_origin_ = {area.left, area.top};
  for (int page = 0; page < kPageCount; ++page) {
    pages_[page] = CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"",
                                   WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                       (page == 0 ? WS_VISIBLE : 0),
                                   r.left + area.left, r.top + area.top, area.right - area.left,
                                   area.bottom - area.top, main_, nullptr, instance_, nullptr);
    SetWindowPos(pages_[page], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void Win32Window::BuildControls() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main_,
                             nullptr, instance_, nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  RegisterHtmlViewClass(instance_);

  for (const ControlDef& d : ControlDefs()) {
    if (d.page == Page::kTrafficBar) continue;  // built with the bar
    const KindStyle ks = StyleOf(d);
    HWND parent = main_;
    Rect r = d.rect;
    if (d.kind != ControlKind::kTab) {
      parent = d.parent != kNoParent ? H(d.parent) : pages_[static_cast<int>(d.page)];
      const POINT o = Origin(d.id);
      r.left -= o.x;
      r.top -= o.y;
    }
    if (d.kind == ControlKind::kBrowser && d.parent != kNoParent) {
      // Made larger than its group box, whose edge hid the browser's frame
      // and scroll bar; the view has no frame, and its text and scroll bar
      // must be seen, so it fills just the group box.
      const Rect box = DefOf(d.parent).rect;
      r = {std::max(r.left, 0), std::max(r.top, 0), 0, 0};
      r.width = std::min(d.rect.left + d.rect.width, box.width) - r.left;
      r.height = std::min(d.rect.top + d.rect.height, box.height) - r.top;
    }
    const bool visible = controls_[static_cast<int>(d.id)].own_visible;
    HWND hwnd = CreateWindowExW(ks.ex_style, ks.cls, Widen(d.text).c_str(),
                                ks.style | (visible ? WS_VISIBLE : 0), r.left, r.top, r.width,
                                d.kind == ControlKind::kCombo ? 240 : r.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(d.id))),
                                instance_, nullptr);
    controls_[static_cast<int>(d.id)].hwnd = hwnd;
    // Later controls lie over earlier ones, as they were laid out.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool link = d.kind == ControlKind::kHyperlink;
    SendMessageW(hwnd, WM_SETFONT, WPARAM(link ? link_font_ : fonts_[int(d.font)]), FALSE);
    if (d.flags & flag::kDisabled) EnableWindow(hwnd, FALSE);
    if (d.flags & flag::kChecked) SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);

    switch (d.kind) {
      case ControlKind::kTab:
        BuildPages(hwnd, r);
        break;
      case ControlKind::kListView: {
        ListView_SetExtendedListViewStyle(hwnd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        int column = 0;
        for (const ColumnDef& c : ColumnDefs()) {
          if (c.list != d.id) continue;
          std::wstring title = Widen(c.title);
          LVCOLUMNW col{};
          col.mask = LVCF_TEXT | LVCF_WIDTH;
          col.pszText = title.data();
          col.cx = c.width;
          ListView_InsertColumn(hwnd, column++, &col);
        }
        break;
      }
      case ControlKind::kCombo:
        for (const char* item : ComboItems(d.id))
          SendMessageW(hwnd, CB_ADDSTRING, 0, LPARAM(Widen(item).c_str()));
        WatchKeys(d.id);
        break;
      case ControlKind::kEdit:
        WatchKeys(d.id);
        break;
      case ControlKind::kSlider:
        SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
        break;
      case ControlKind::kPicture:
      case ControlKind::kIconBoard:
        SetPicture(d.id, d.image);
        break;
      default:
        break;
    }
  }
}

void Win32Window::BuildMenus() {
  for (const PopupDef& p : PopupDefs()) popups_[static_cast<int>(p.id)] = CreatePopupMenu();
  for (const MenuItemDef& m : MenuItemDefs())
    AppendMenuW(popups_[static_cast<int>(m.popup)], MF_STRING | (m.disabled ? MF_GRAYED : 0),
                MenuId(m.id), Widen(m.text).c_str());
}

}  // namespace lumora
