#pragma once
// The real main window, built from the window definition tables, behind the
// core's window port. Every call is carried to the window thread, so workers
// may call it too: a change without waiting, a read waiting for its answer,
// both in the worker's order. Once the window is gone a call does nothing
// and a read gives the empty value.
#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/subsystem.h"
#include "ui/window_layout.h"
#include "ui/window_port.h"
#include "win32/window/balloon.h"
#include "win32/window/theme_painter.h"
#include "win32/window/traffic_bar_window.h"
#include "win32/window/tray_icon.h"
#include "win32/window/ui_queue.h"

namespace lumora {

class Win32Window : public WindowPort {
 public:
  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;

  // Creates the main window hidden, with the tab and the controls the page
  // shown first shows; false on failure. The other controls are made when
  // their page is shown or they come into sight on the page shown, when a
  // helper asks for one (Handle), or one at a time once the window has
  // nothing else to do (MakeRestWhenIdle); until then the port's calls on
  // them change and read what they will be given.
  bool Create();
  void MakeRestWhenIdle();
  HWND Main() const { return main_; }
  HWND Bar() const { return bar_.Handle(); }
  // The floating bar's window, the traffic monitor's BarPort.
  TrafficBarWindow& BarWindow() { return bar_; }
  // A control's window, for the Windows-side helpers of a subsystem (its
  // list views' selection and hit tests), made now if it was not yet; use
  // it on the window thread.
  HWND Handle(Ctl c);
  // Our own theme, painted on this window (not on the floating bar).
  ThemePort& Theme() { return theme_; }
  // Runs `fn` on the window thread: at once when called there, else queued
  // without waiting (so `fn` owns what it uses); nothing once the window is
  // gone.
  void RunOnUi(std::function<void()> fn) const;

  // Event sinks the program wires up (all called on the window thread).
  std::function<void(Ctl, ControlEvent, int value)> on_event;
  std::function<void(Timer)> on_timer;
  std::function<void(MenuItem)> on_menu;
  std::function<void(UINT mouse_message)> on_tray;
  std::function<void()> on_close;
  std::function<void()> on_resume;  // the computer woke from sleep or hibernation

  // Pops a menu up at the cursor, its commands going to on_menu; a menu
  // asked for from the keyboard opens at the selected row instead.
  void PopupAtCursor(Popup popup);
  void ChooseMenuItem(int index);
  // Design units to pixels of the window's screen, and its DPI.
  int Px(int design) const { return ScaleToDpi(design, dpi_); }
  int Dpi() const { return dpi_; }
  // The DPI the window holding `hwnd` lays itself out at (it follows a move
  // to a monitor of another DPI); the monitor's for any other window.
  static int DpiOfWindowHolding(HWND hwnd);

  // WindowPort
  void Post(std::function<void()> fn) override { queue_.Post(std::move(fn)); }
  std::string Text(Ctl c) const override;
  void SetText(Ctl c, std::string_view text) override;
  void SetVisible(Ctl c, bool visible) override;
  void SetEnabled(Ctl c, bool enabled) override;
  Rect Bounds(Ctl c) const override;
  void SetBounds(Ctl c, Rect r) override;
  void SetTip(Ctl c, std::string_view tip) override;
  bool Checked(Ctl c) const override;
  void SetChecked(Ctl c, bool checked) override;
  void SetMasked(Ctl c, bool masked) override;
  void SetPicture(Ctl c, Image image) override;
  int SliderPosition(Ctl c) const override;
  void SetSliderPosition(Ctl c, int position) override;
  std::vector<std::string> Items(Ctl c) const override;
  void AddItem(Ctl c, std::string_view text) override;
  void SelectIndex(Ctl c, int index) override;
  int RowCount(Ctl c) const override;
  std::string Cell(Ctl c, int row, int column) const override;
  void SetCell(Ctl c, int row, int column, std::string_view text) override;
  void DeleteRow(Ctl c, int row) override;
  void ClearRows(Ctl c) override;
  void SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) override;
  void SetTimerInterval(Timer t, int ms) override;
  void SetMenuItemEnabled(MenuItem m, bool enabled) override;
  void SetTitle(std::string_view title) override;
  void SetMainVisible(bool visible) override;
  void ShowMainCentred() override;
  Rect MainRect() const override;
  void SetMainRect(Rect r) override;
  void RemoveMainBorder() override;
  void SetTextColour(Ctl c, Colour colour) override;
  void ShowBalloon(std::string_view text, int dx, int dy) override;
  void SetCaptionColour(Ctl group, Colour colour) override;
  bool BarExists() const override;
  void SetBarVisible(bool visible) override;
  void ShowTrayIcon(Image icon, std::string_view tip) override;
  void SetTrayIcon(Image icon) override;
  void RemoveTrayIcon() override;
  void ShowTrayBalloon(std::string_view title, std::string_view text) override;
  void PopupMenu(Popup popup) override;
  void BeginClosing() override;
  MessageResult ShowMessage(std::string_view text, std::string_view title, MessageIcon icon,
                            MessageButtons buttons) override;

 private:
  // What the window keeps of each control beyond its handle.
  struct ControlState {
    HWND hwnd = nullptr;
    Rect design;              // where it is, in design units of its container
    Image image = Image::kNone;  // the picture it shows
    bool own_visible = true;  // its own flag, whatever its container shows
    Colour caption;           // group boxes
    Colour text_colour;       // labels; black unless set
    bool text_set = false;    // a text colour was asked for
    // What it is given when it is made; the port's calls change and read
    // these until then.
    std::string text, tip;
    bool enabled = true, checked = false, masked = false;
    int slider = 0, selected = -1;
    std::vector<std::string> items;
    std::vector<std::vector<std::string>> rows;
  };

  // Runs `f` on the window thread and waits for its answer (the empty
  // value once the window is gone).
  template <class R, class F>
  R OnUi(F&& f) const {
    if (GetCurrentThreadId() == ui_thread_) return f();
    R result{};
    queue_.Call([&] { result = f(); });
    return result;
  }
  HWND H(Ctl c) const { return controls_[static_cast<int>(c)].hwnd; }
  // The state of a control of a page not made yet; null once it is made.
  ControlState* Held(Ctl c);
  const ControlState* Held(Ctl c) const;
  HWND ContainerOf(Ctl c) const;
  POINT Origin(Ctl c) const;  // container origin offset, in pixels
  // Fonts, places and pictures at the window's DPI (dpi_).
  void MakeFonts();
  RECT PixelRect(Ctl c) const;  // in the container's client pixels
  void PlaceControl(Ctl c);
  void FitToRow(Ctl editor, RECT& r) const;
  void FitText(Ctl c, RECT& r) const;
  void ApplyDpi(int dpi);
  void BuildControls();
  void MakeControl(const ControlDef& d);
  void MakePage(Page page);
  bool MakeNextControl();  // false when every control is made
  HWND CreateControl(const ControlDef& d);
  void SetUpControl(const ControlDef& d, HWND hwnd);
  void AddColumns(Ctl list, HWND hwnd);
  void BuildPages(HWND tab);
  void LayoutPages();
  void BuildMenus();
  void WatchKeys(Ctl c);
  void MoveFocus(Ctl from, bool forward);
  bool HandleKey(Ctl c, UINT key);
  void ShowPage(int index);
  void SelectPage(int index);  // as a click on its header does

  // Window procedures and what they hand on.
  static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMain(UINT msg, WPARAM wp, LPARAM lp);
  bool HandleControlMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool HandleScreenMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void HandleContextKey(HWND from);
  void HandleCommand(Ctl c, UINT code);
  void HandleNotify(const NMHDR& hdr);
  void PaintGroupBox(HWND hwnd, Ctl c);
  bool HandleSetCursor(HWND over);
  HBRUSH HandleCtlColor(HDC dc, HWND control);
  void HandleDrawItem(const DRAWITEMSTRUCT& item);

  HINSTANCE instance_;
  DWORD ui_thread_ = 0;
  std::atomic<HWND> main_{nullptr};  // null once the window is destroyed
  std::atomic<bool> closing_{false};
  mutable UiQueue queue_;
  HWND tab_ = nullptr, tooltip_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  POINT page_origin_{};  // where the page area starts, in the tab's coordinates
  std::array<ControlState, kControlCount> controls_{};
  std::size_t next_to_make_ = 0;  // in the definition, for MakeNextControl
  std::array<HMENU, static_cast<int>(Popup::kCount)> popups_{};
  int dpi_ = 96;  // of the monitor the window is on
  std::array<HFONT, static_cast<int>(Font::kCount)> fonts_{};
  ThemePainter theme_{*this};
  TrafficBarWindow bar_;
  TrayIcon tray_;
  Balloon balloon_;
  UINT taskbar_created_ = 0;
  Ctl parked_focus_ = Ctl::kCount;  // disabled while it had the keyboard
  // Where a menu asked for from the keyboard opens (screen pixels).
  std::optional<POINT> menu_anchor_;
};

// The main window's dialog keys (Tab from control to control) in every loop
// that serves its messages; true when the message was taken.
bool TranslateDialogKeys(MSG& msg);

}  // namespace lumora
