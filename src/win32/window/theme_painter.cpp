#include "win32/window/theme_painter.h"

#include <commctrl.h>

#include <string>

#include "extras/extras.h"
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
  MakeBrushes();
}

ThemePainter::~ThemePainter() { FreeBrushes(); }

void ThemePainter::MakeBrushes() {
  window_brush_ = CreateSolidBrush(Ref(palette_.window_background));
  page_brush_ = CreateSolidBrush(Ref(palette_.page_background));
  strip_brush_ = CreateSolidBrush(Ref(palette_.tab_strip));
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
    FreeBrushes();
    MakeBrushes();
    HWND main = window_.Main();
    RedrawWindow(main, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
}

// The bar is a window class of its own, painted by its own procedure: the
// theme never reaches it.
void ThemePainter::LeaveBarUnthemed() {}

void ThemePainter::FillWindow(HDC dc, const RECT& r) const { FillRect(dc, &r, window_brush_); }
void ThemePainter::FillPage(HDC dc, const RECT& r) const { FillRect(dc, &r, page_brush_); }
void ThemePainter::FillTabStrip(HDC dc, const RECT& r) const { FillRect(dc, &r, strip_brush_); }

HBRUSH ThemePainter::ControlColours(HDC dc, ControlKind kind, const Colour* asked,
                                    bool enabled) const {
  const Palette& p = palette_;
  switch (kind) {
    case ControlKind::kEdit:
    case ControlKind::kCombo:
    case ControlKind::kHtmlView:
    case ControlKind::kListView:
      // Read-only and disabled boxes ask here too: black on white as always.
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, RGB(255, 255, 255));
      SetTextColor(dc, enabled ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
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

void ThemePainter::DrawTab(const DRAWITEMSTRUCT& item, const wchar_t* title, bool selected) const {
  const Palette& p = palette_;
  Fill(item.hDC, item.rcItem, selected ? p.tab_selected : p.tab_strip);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, Ref(selected ? p.tab_selected_text : p.tab_text));
  RECT r = item.rcItem;
  DrawTextW(item.hDC, title, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void ThemePainter::DrawButton(const DRAWITEMSTRUCT& item) const {
  const Palette& p = palette_;
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const Colour face = disabled  ? Between(p.button_face, p.page_background)
                      : pressed ? p.button_border
                                : p.button_face;
  Fill(dc, r, face);
  Frame(dc, r, p.button_border);

  std::wstring text(std::size_t(GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(item.hwndItem, text.data(), int(text.size()))));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Ref(disabled ? Between(p.button_text, face) : p.button_text));
  RECT inner = r;
  InflateRect(&inner, -3, -2);
  if (pressed) OffsetRect(&inner, 1, 1);
  CentredText(dc, text.c_str(), inner);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    SetTextColor(dc, Ref(p.button_text));
    SetBkColor(dc, Ref(face));
    DrawFocusRect(dc, &focus);
  }
}

void ThemePainter::DrawGroupBox(HDC dc, const RECT& frame, const wchar_t* caption,
                                int caption_len, Colour asked) const {
  const Palette& p = palette_;
  Frame(dc, frame, Between(p.button_border, p.page_background));
  if (caption_len <= 0) return;
  SetTextColor(dc, Ref(p.OnPage(asked)));
  SetBkColor(dc, Ref(p.page_background));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, 8, 0, caption, caption_len);
}

LRESULT ThemePainter::DrawSlider(NMCUSTOMDRAW& draw) const {
  const Palette& p = palette_;
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
