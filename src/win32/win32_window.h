#pragma once
// The real main window and floating bar, built from the window definition
// tables, behind the core's window port. Every call is carried to the window
// thread, so workers may call it too.
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "ui/window_port.h"

namespace lumora {

class Win32Window : public WindowPort {
 public:
  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;

  // Creates the main window hidden, with every control; false on failure.
  bool Create();
  HWND Main() const { return main_; }
  HWND Bar() const { return bar_; }
  // Runs `fn` on the window thread (at once when called there).
  void RunOnUi(const std::function<void()>& fn) const;

  // Event sinks the program wires up (all called on the window thread).
  std::function<void(Ctl, UINT code)> on_command;      // clicks, selections, focus
  std::function<void(Ctl, const NMHDR&)> on_notify;    // list views
  std::function<void(Timer)> on_timer;
  std::function<void(MenuItem)> on_menu;
  std::function<void(UINT mouse_message)> on_tray;
  std::function<void()> on_close;
  std::function<void()> on_page_changed;
  std::function<void(int position)> on_slider;

  // Pops a menu up at the cursor, its commands going to on_menu.
  void PopupAtCursor(Popup popup);

  // WindowPort
  std::string Text(Ctl c) const override;
  void SetText(Ctl c, std::string_view text) override;
  bool Visible(Ctl c) const override;
  void SetVisible(Ctl c, bool visible) override;
  bool Enabled(Ctl c) const override;
  void SetEnabled(Ctl c, bool enabled) override;
  Rect Bounds(Ctl c) const override;
  void SetBounds(Ctl c, Rect r) override;
  void SetTip(Ctl c, std::string_view tip) override;
  std::string Tip(Ctl c) const override;
  bool Checked(Ctl c) const override;
  void SetChecked(Ctl c, bool checked) override;
  bool Masked(Ctl c) const override;
  void SetMasked(Ctl c, bool masked) override;
  Image Picture(Ctl c) const override;
  void SetPicture(Ctl c, Image image) override;
  int SliderPosition(Ctl c) const override;
  void SetSliderPosition(Ctl c, int position) override;
  std::vector<std::string> Items(Ctl c) const override;
  void ClearItems(Ctl c) override;
  void AddItem(Ctl c, std::string_view text) override;
  int SelectedIndex(Ctl c) const override;
  void SelectIndex(Ctl c, int index) override;
  int RowCount(Ctl c) const override;
  int AddRow(Ctl c) override;
  std::string Cell(Ctl c, int row, int column) const override;
  void SetCell(Ctl c, int row, int column, std::string_view text) override;
  void DeleteRow(Ctl c, int row) override;
  void ClearRows(Ctl c) override;
  int CurrentPage() const override;
  int TimerInterval(Timer t) const override;
  void SetTimerInterval(Timer t, int ms) override;
  bool MenuItemEnabled(MenuItem m) const override;
  void SetMenuItemEnabled(MenuItem m, bool enabled) override;
  std::string Title() const override;
  void SetTitle(std::string_view title) override;
  bool MainVisible() const override;
  void SetMainVisible(bool visible) override;
  void ShowMainCentred() override;
  Rect MainRect() const override;
  void SetMainRect(Rect r) override;
  void RemoveMainBorder() override;
  void SetTextColour(Ctl c, Colour colour) override;
  Colour TextColour(Ctl c) const override;
  void ShowBalloon(std::string_view text, int dx, int dy) override;
  void SetCaptionColour(Ctl group, Colour colour) override;
  Colour CaptionColour(Ctl group) const override;
  bool BarExists() const override;
  void CreateBar() override;
  bool BarVisible() const override;
  void SetBarVisible(bool visible) override;
  void ShowTrayIcon(Image icon, std::string_view tip) override;
  void SetTrayIcon(Image icon) override;
  void RemoveTrayIcon() override;
  bool TrayIconShown() const override;
  Image TrayIcon() const override;
  std::string TrayTip() const override;
  MessageResult ShowMessage(std::string_view text, std::string_view title, MessageIcon icon,
                            MessageButtons buttons) override;
  void PopupMenu(Popup popup) override { RunOnUi([&] { PopupAtCursor(popup); }); }

  // Window procedures (public for the class registration).
  static LRESULT CALLBACK MainProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK BarProc(HWND, UINT, WPARAM, LPARAM);

 private:
  template <class R, class F>
  R OnUi(F&& f) const {
    R result{};
    RunOnUi([&] { result = f(); });
    return result;
  }
  HWND H(Ctl c) const { return controls_[static_cast<int>(c)]; }
  HWND ContainerOf(Ctl c) const;
  POINT Origin(Ctl c) const;  // container origin offset for design coordinates
  void BuildControls();
  void BuildMenus();
  void ApplyTrayIcon(DWORD action);
  void ShowPage(int index);
  LRESULT HandleMain(UINT msg, WPARAM wp, LPARAM lp);
  bool HandleSetCursor(HWND over);
  HBRUSH HandleCtlColor(HDC dc, HWND control);

  HINSTANCE instance_;
  DWORD ui_thread_ = 0;
  HWND main_ = nullptr, bar_ = nullptr, tab_ = nullptr, tooltip_ = nullptr;
  std::array<HWND, 5> pages_{};
  POINT page_origin_{};  // where the page area starts, in the tab's coordinates
  std::array<HWND, kControlCount> controls_{};
  std::array<bool, kControlCount> own_visible_{};
  std::array<bool, kControlCount> masked_{};
  std::array<Image, kControlCount> pictures_{};
  std::array<std::string, kControlCount> tips_{};
  std::array<Colour, kControlCount> caption_colours_{};
  std::array<Colour, kControlCount> text_colours_{};  // black unless set
  HWND balloon_ = nullptr;
  std::wstring balloon_text_;
  std::array<int, kTimerCount> timers_{};
  std::array<bool, kMenuItemCount> menu_enabled_{};
  std::array<HMENU, static_cast<int>(Popup::kCount)> popups_{};
  HFONT fonts_[4] = {};
  HFONT link_font_ = nullptr;
  HBRUSH face_brush_ = nullptr;
  bool tray_shown_ = false;
  Image tray_icon_ = Image::kNone;
  std::string tray_tip_;
  UINT taskbar_created_ = 0;
};

}  // namespace lumora
