#include "win32/window/theme_painter.h"

#include <commctrl.h>

#include <string>

#include "extras/extras.h"
#include "win32/window/dpi.h"
#include "win32/window/main_window.h"

namespace lumora {
namespace {

COLORREF Ref(Colour c) { return RGB(c.r, c.g, c.b); }

// Halfway between two colours: disabled faces and the group frames.
Colour Between(Colour a, Colour b) {
  return {static_cast<unsigned char>((a.r + b.r) / 2), static_cast<unsigned char>((a.g + b.g) / 2),
          static_cast<unsigned char>((a.b + b.b) / 2)};
}

void Fill(HDC dc, const RECT& r, Colour c) {
  HBRUSH brush = CreateSolidBrush(Ref(c));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& r, Colour c) {
  HBRUSH brush = CreateSolidBrush(Ref(c));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

Colour Sys(int index) {
  const COLORREF c = GetSysColor(index);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The hue's roles filled with the system's colours, as a high-contrast
// theme asks of every program.
Palette SystemPalette() {
  Palette p;
  p.window_background = p.page_background = p.tab_strip = Sys(COLOR_BTNFACE);
  p.window_text = p.page_text = p.tab_text = p.button_text = Sys(COLOR_BTNTEXT);
  p.link_text = Sys(COLOR_HOTLIGHT);
  p.tab_selected = p.slider_accent = Sys(COLOR_HIGHLIGHT);
  p.tab_selected_text = Sys(COLOR_HIGHLIGHTTEXT);
  p.button_face = Sys(COLOR_BTNFACE);
  p.button_border = Sys(COLOR_BTNTEXT);
  for (std::size_t i = 0; i < p.captions.size(); ++i)
    p.captions[i] = {kGroupCaptions[i].group, p.page_text};
  return p;
}

void SelectControlFont(HDC dc, HWND control) {
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)))
    SelectObject(dc, font);
}

std::wstring ControlText(HWND control) {
  std::wstring text(std::size_t(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(control, text.data(), int(text.size()))));
  return text;
}

// The focus frame of an owner-drawn control, when the keyboard put it there.
void FocusFrame(const DRAWITEMSTRUCT& item, RECT r, Colour text, Colour back) {
  if (!(item.itemState & ODS_FOCUS) || (item.itemState & ODS_NOFOCUSRECT)) return;
  SetTextColor(item.hDC, RGB(text.r, text.g, text.b));
  SetBkColor(item.hDC, RGB(back.r, back.g, back.b));
  DrawFocusRect(item.hDC, &r);
}

// Text centred in `r`, several lines when it does not fit on one.
void CentredText(HDC dc, const wchar_t* text, RECT r) {
  RECT measure = r;
  const int height = DrawTextW(dc, text, -1, &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  r.top += (r.bottom - r.top - height) / 2;
  DrawTextW(dc, text, -1, &r, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace

ThemePainter::ThemePainter(Win32Window& window)
    : window_(window), palette_(HuePalette(kDefaultHuePosition - kHueOffset)) {
  white_brush_ = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  high_contrast_ = HighContrastOn();
  system_ = SystemPalette();
  MakeBrushes();
}

ThemePainter::~ThemePainter() { FreeBrushes(); }

void ThemePainter::MakeBrushes() {
  const Palette& p = Colours();
  window_brush_ = CreateSolidBrush(Ref(p.window_background));
  page_brush_ = CreateSolidBrush(Ref(p.page_background));
  strip_brush_ = CreateSolidBrush(Ref(p.tab_strip));
  // Shared brushes, never deleted.
  white_brush_ = high_contrast_ ? GetSysColorBrush(COLOR_WINDOW)
                                : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

void ThemePainter::FreeBrushes() {
  for (HBRUSH* b : {&window_brush_, &page_brush_, &strip_brush_}) {
    if (*b) DeleteObject(*b);
    *b = nullptr;
  }
}

void ThemePainter::ApplyPalette(const Palette& palette) {
  // The brushes are used by the window thread's painting: they change there.
  window_.RunOnUi([this, palette] {
    palette_ = palette;
    Repaint();
  });
}

void ThemePainter::Repaint() {
  FreeBrushes();
  MakeBrushes();
  RedrawWindow(window_.Main(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  window_.BarWindow().SetHighContrast(high_contrast_);
}

void ThemePainter::SystemColoursChanged() {
  high_contrast_ = forced_contrast_ >= 0 ? forced_contrast_ == 1 : HighContrastOn();
  system_ = SystemPalette();
  Repaint();
}

void ThemePainter::OverrideHighContrast(bool on) {
  forced_contrast_ = on ? 1 : 0;
  SystemColoursChanged();
}

// The bar is a window class of its own, painted by its own procedure: the
// theme never reaches it.
void ThemePainter::LeaveBarUnthemed() {}

void ThemePainter::FillWindow(HDC dc, const RECT& r) const { FillRect(dc, &r, window_brush_); }
void ThemePainter::FillPage(HDC dc, const RECT& r) const { FillRect(dc, &r, page_brush_); }
void ThemePainter::FillTabStrip(HDC dc, const RECT& r) const { FillRect(dc, &r, strip_brush_); }

HBRUSH ThemePainter::ControlColours(HDC dc, ControlKind kind, const Colour* asked,
                                    bool enabled) const {
  const Palette& p = Colours();
  // Asked colours are the hue theme's: in high contrast the system's text colour.
  if (high_contrast_) asked = nullptr;
  switch (kind) {
    case ControlKind::kEdit:
    case ControlKind::kCombo:
    case ControlKind::kHtmlView:
    case ControlKind::kListView:
      // Read-only and disabled boxes ask here too: black on white as always.
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, high_contrast_ ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255));
      SetTextColor(dc, !enabled        ? GetSysColor(COLOR_GRAYTEXT)
                       : high_contrast_ ? GetSysColor(COLOR_WINDOWTEXT)
                                        : RGB(0, 0, 0));
      return white_brush_;
    case ControlKind::kHyperlink:
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, enabled ? Ref(p.link_text) : GetSysColor(COLOR_GRAYTEXT));
      return page_brush_;
    default:
      break;
  }
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, Ref(p.page_background));
  SetTextColor(dc, Ref(asked ? p.OnPage(*asked) : p.page_text));
  if (kind == ControlKind::kTransparentLabel) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  return page_brush_;
}

void ThemePainter::DrawTab(const DRAWITEMSTRUCT& item, const wchar_t* title, bool selected,
                           bool focused) const {
  const Palette& p = Colours();
  Fill(item.hDC, item.rcItem, selected ? p.tab_selected : p.tab_strip);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, Ref(selected ? p.tab_selected_text : p.tab_text));
  RECT r = item.rcItem;
  DrawTextW(item.hDC, title, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (!focused) return;
  InflateRect(&r, -2, -2);
  SetBkColor(item.hDC, Ref(p.tab_selected));
  SetTextColor(item.hDC, Ref(p.tab_selected_text));
  DrawFocusRect(item.hDC, &r);
}

void ThemePainter::DrawButton(const DRAWITEMSTRUCT& item) const {
  const Palette& p = Colours();
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const Colour face = disabled  ? Between(p.button_face, p.page_background)
                      : pressed ? p.button_border
                                : p.button_face;
  Fill(dc, r, face);
  Frame(dc, r, p.button_border);

  const std::wstring text = ControlText(item.hwndItem);
  SelectControlFont(dc, item.hwndItem);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF grey = high_contrast_ ? GetSysColor(COLOR_GRAYTEXT)
                                       : Ref(Between(p.button_text, face));
  SetTextColor(dc, disabled ? grey : Ref(p.button_text));
  RECT inner = r;
  InflateRect(&inner, -3, -2);
  if (pressed) OffsetRect(&inner, 1, 1);
  CentredText(dc, text.c_str(), inner);
  RECT focus = r;
  InflateRect(&focus, -3, -3);
  FocusFrame(item, focus, p.button_text, face);
}

void ThemePainter::DrawIconButton(const DRAWITEMSTRUCT& item, HICON icon) const {
  const Palette& p = Colours();
  const RECT& r = item.rcItem;
  Fill(item.hDC, r, p.page_background);
  if (icon) {
    ICONINFO info{};
    BITMAP bm{};
    int w = r.right - r.left, h = r.bottom - r.top;
    if (GetIconInfo(icon, &info)) {
      if (GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm)) {
        w = bm.bmWidth;
        h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    DrawIconEx(item.hDC, (r.left + r.right - w) / 2, (r.top + r.bottom - h) / 2, icon, w, h, 0,
               nullptr, DI_NORMAL);
  }
  FocusFrame(item, r, p.page_text, p.page_background);
}

void ThemePainter::DrawLink(const DRAWITEMSTRUCT& item) const {
  const Palette& p = Colours();
  const bool disabled = item.itemState & ODS_DISABLED;
  Fill(item.hDC, item.rcItem, p.page_background);
  SelectControlFont(item.hDC, item.hwndItem);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : Ref(p.link_text));
  const std::wstring text = ControlText(item.hwndItem);
  RECT r = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
  FocusFrame(item, item.rcItem, p.page_text, p.page_background);
}

LRESULT ThemePainter::DrawListRow(NMLVCUSTOMDRAW& draw) const {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  return CDRF_DODEFAULT;
}

void ThemePainter::DrawGroupBox(HDC dc, const RECT& frame, const wchar_t* caption,
                                int caption_len, Colour asked) const {
  const Palette& p = Colours();
  if (high_contrast_) asked = p.page_text;
  Frame(dc, frame, Between(p.button_border, p.page_background));
  if (caption_len <= 0) return;
  SetTextColor(dc, Ref(p.OnPage(asked)));
  SetBkColor(dc, Ref(p.page_background));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, window_.Px(8), 0, caption, caption_len);
}

LRESULT ThemePainter::DrawSlider(NMCUSTOMDRAW& draw) const {
  const Palette& p = Colours();
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  if (draw.dwItemSpec == TBCD_CHANNEL) {
    Fill(draw.hdc, draw.rc, p.tab_strip);
    Frame(draw.hdc, draw.rc, p.button_border);
    return CDRF_SKIPDEFAULT;
  }
  if (draw.dwItemSpec == TBCD_THUMB) {
    Fill(draw.hdc, draw.rc, (draw.uItemState & CDIS_SELECTED) ? p.button_border : p.slider_accent);
    Frame(draw.hdc, draw.rc, p.button_border);
    return CDRF_SKIPDEFAULT;
  }
  return CDRF_DODEFAULT;
}

}  // namespace lumora
