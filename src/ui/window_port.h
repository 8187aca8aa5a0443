#pragma once
// The main window and the floating bar as the core sees them: controls,
// timers, menu items, the tray icon and the boxes the program shows, all by
// design name. Workers call this too; the Windows layer carries each call to
// the window thread in the order the worker made them: a change is handed
// over without waiting, a read or a box waits for its answer. Once the
// window is gone a call does nothing and a read gives the empty value. Only what the program itself reads back is
// here; the tests' window (tests/unit/fakes) reads everything.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/window_layout.h"

namespace lumora {

struct Colour {
  unsigned char r = 0, g = 0, b = 0;
  friend bool operator==(const Colour& a, const Colour& c) {
    return a.r == c.r && a.g == c.g && a.b == c.b;
  }
};

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kYesNo };
enum class MessageResult { kOk, kYes, kNo };

class WindowPort {
 public:
  virtual ~WindowPort() = default;

  // Runs `fn` on the window thread after every call this thread made
  // before it, and returns at once; dropped once the window is gone. What
  // must happen in the window's own order (a state change's look, rows that
  // a stop may have made stale) is decided there.
  virtual void Post(std::function<void()> fn) = 0;

  // --- any control
  virtual std::string Text(Ctl c) const = 0;
  virtual void SetText(Ctl c, std::string_view text) = 0;
  virtual void SetVisible(Ctl c, bool visible) = 0;
  virtual void SetEnabled(Ctl c, bool enabled) = 0;
  virtual Rect Bounds(Ctl c) const = 0;  // relative to its container
  virtual void SetBounds(Ctl c, Rect r) = 0;
  virtual void SetTip(Ctl c, std::string_view tip) = 0;  // hover tip

  // --- check boxes and radio buttons
  virtual bool Checked(Ctl c) const = 0;
  virtual void SetChecked(Ctl c, bool checked) = 0;

  // --- edit boxes: masked (password) or plain input
  virtual void SetMasked(Ctl c, bool masked) = 0;

  // --- picture boxes
  virtual void SetPicture(Ctl c, Image image) = 0;

  // --- slider
  virtual int SliderPosition(Ctl c) const = 0;
  virtual void SetSliderPosition(Ctl c, int position) = 0;  // kept within its range

  // --- combo boxes
  virtual std::vector<std::string> Items(Ctl c) const = 0;
  virtual void ClearItems(Ctl c) = 0;
  virtual void AddItem(Ctl c, std::string_view text) = 0;
  virtual int SelectedIndex(Ctl c) const = 0;  // -1 when none
  virtual void SelectIndex(Ctl c, int index) = 0;

  // --- list views (rows and columns from 0)
  virtual int RowCount(Ctl c) const = 0;
  virtual int AddRow(Ctl c) = 0;  // index of the new, empty row
  virtual std::string Cell(Ctl c, int row, int column) const = 0;
  virtual void SetCell(Ctl c, int row, int column, std::string_view text) = 0;
  virtual void DeleteRow(Ctl c, int row) = 0;
  virtual void ClearRows(Ctl c) = 0;
  // Replaces every row at once, each row its cells from column 0 (missing
  // cells are empty): one hand-over for a whole list, however long.
  virtual void SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) = 0;

  // --- tab control
  virtual int CurrentPage() const = 0;

  // --- timers (0 = stopped) and menu items
  virtual void SetTimerInterval(Timer t, int ms) = 0;
  virtual void SetMenuItemEnabled(MenuItem m, bool enabled) = 0;

  // --- the main window itself
  virtual void SetTitle(std::string_view title) = 0;
  virtual void SetMainVisible(bool visible) = 0;
  // Visible, restored, centred on the screen and in front.
  virtual void ShowMainCentred() = 0;
  // Outer rectangle on the screen, for the closing fold.
  virtual Rect MainRect() const = 0;
  virtual void SetMainRect(Rect r) = 0;  // negative sizes count as 0
  virtual void RemoveMainBorder() = 0;

  // --- labels: the colour of the text
  virtual void SetTextColour(Ctl c, Colour colour) = 0;

  // --- the balloon tip 气球提示框1, pointing at (left + dx, top + dy) of the
  // main window: input errors of a hotspot start
  virtual void ShowBalloon(std::string_view text, int dx, int dy) = 0;

  // --- group boxes: the colour of the caption
  virtual void SetCaptionColour(Ctl group, Colour colour) = 0;

  // --- the floating bar window
  virtual bool BarExists() const = 0;
  virtual void SetBarVisible(bool visible) = 0;

  // --- tray icon
  virtual void ShowTrayIcon(Image icon, std::string_view tip) = 0;
  virtual void SetTrayIcon(Image icon) = 0;  // keeps the tip
  virtual void RemoveTrayIcon() = 0;
  // A balloon from the tray icon, for news that comes while the window may
  // be hidden; not shown once closing has begun.
  virtual void ShowTrayBalloon(std::string_view title, std::string_view text) = 0;

  // --- pop-up menus: shown at the mouse pointer; the item chosen comes back
  // as a menu event through the event table
  virtual void PopupMenu(Popup popup) = 0;

  // --- boxes: no owner window, task-modal. Once closing has begun, a box
  // answers at once with what changes nothing (OK, or No) and a balloon is
  // not shown: nothing may hold up the end of the program.
  virtual void BeginClosing() = 0;
  virtual MessageResult ShowMessage(std::string_view text, std::string_view title,
                                    MessageIcon icon, MessageButtons buttons) = 0;
};

}  // namespace lumora
