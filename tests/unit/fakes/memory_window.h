#pragma once
// The main window and the floating bar in memory, built from the window
// definition, for the core's window port. Every call takes one lock, so
// workers may use it too. The public records below are for the test itself:
// read and change them only while no other thread uses the window.
#include <array>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_port.h"

namespace lumora::fakes {

class MemoryWindow : public WindowPort {
 public:
  struct Message {
    std::string text, title;
    MessageIcon icon;
    MessageButtons buttons;
  };

  MemoryWindow();

  // No window thread here: `fn` runs at once, on the calling thread, or,
  // while `hold_posts` is set, waits for RunPosts as for a busy window.
  void Post(std::function<void()> fn) override;
  void HoldPosts(bool hold);
  void RunPosts();
  // Runs before every read of a control's text, on the reading thread and
  // outside the window's lock: a test plays the window thread there.
  std::function<void(Ctl)> on_read;

  // Every box shown, in order.
  std::vector<Message> messages;
  // Answers for the next boxes, front first. With none left an OK box answers
  // kOk and a yes/no box kNo, the answer that changes nothing.
  std::deque<MessageResult> answers;
  int show_main_centred_calls = 0;

  // The user picks a page of 选择夹1 (0 to 4; others are ignored).
  void SelectPage(int page);

  std::string Text(Ctl c) const override;
  void SetText(Ctl c, std::string_view text) override;
  bool Visible(Ctl c) const;
  void SetVisible(Ctl c, bool visible) override;
  bool Enabled(Ctl c) const;
  void SetEnabled(Ctl c, bool enabled) override;
  Rect Bounds(Ctl c) const override;
  void SetBounds(Ctl c, Rect r) override;
  void SetTip(Ctl c, std::string_view tip) override;
  std::string Tip(Ctl c) const;

  bool Checked(Ctl c) const override;
  void SetChecked(Ctl c, bool checked) override;
  bool Masked(Ctl c) const;
  void SetMasked(Ctl c, bool masked) override;
  Image Picture(Ctl c) const;
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
  void SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) override;

  int CurrentPage() const override;

  int TimerInterval(Timer t) const;
  void SetTimerInterval(Timer t, int ms) override;
  bool MenuItemEnabled(MenuItem m) const;
  void SetMenuItemEnabled(MenuItem m, bool enabled) override;

  std::string Title() const;
  void SetTitle(std::string_view title) override;
  bool MainVisible() const;
  void SetMainVisible(bool visible) override;
  void ShowMainCentred() override;
  Rect MainRect() const override;
  void SetMainRect(Rect r) override;
  void RemoveMainBorder() override;
  void SetTextColour(Ctl c, Colour colour) override;
  Colour TextColour(Ctl c) const;
  void ShowBalloon(std::string_view text, int dx, int dy) override;
  void SetCaptionColour(Ctl group, Colour colour) override;
  Colour CaptionColour(Ctl group) const;

  struct Balloon {
    std::string text;
    int dx, dy;
  };
  std::vector<Balloon> balloons;  // every balloon shown, in order

  // Every rectangle the main window took, and whether its border was removed.
  std::vector<Rect> main_rects;
  bool main_border_removed = false;

  bool BarExists() const override;
  void CreateBar();  // what the bar's own port does when it creates it
  bool BarVisible() const;
  void SetBarVisible(bool visible) override;

  void ShowTrayIcon(Image icon, std::string_view tip) override;
  void SetTrayIcon(Image icon) override;
  void RemoveTrayIcon() override;
  void ShowTrayBalloon(std::string_view title, std::string_view text) override;
  std::vector<std::string> tray_balloons;  // "title|text", in order
  bool TrayIconShown() const;
  Image TrayIcon() const;
  std::string TrayTip() const;

  MessageResult ShowMessage(std::string_view text, std::string_view title, MessageIcon icon,
                            MessageButtons buttons) override;
  void PopupMenu(Popup popup) override;
  void BeginClosing() override;
  std::vector<Popup> popups;  // every pop-up menu shown, in order

 private:
  struct Control {
    ControlKind kind = ControlKind::kLabel;
    std::string text, tip;
    bool visible = true, enabled = true, checked = false, masked = false;
    Rect bounds;
    Image picture = Image::kNone;
    int slider_min = 0, slider_max = 0, slider_position = 0;
    std::vector<std::string> items;  // combo boxes
    int selected = -1;
    int columns = 0;                 // list views
    std::vector<std::vector<std::string>> rows;
  };

  // nullptr for a name outside the definition.
  Control* Find(Ctl c);
  const Control* Find(Ctl c) const;
  Control* FindKind(Ctl c, ControlKind kind);
  const Control* FindKind(Ctl c, ControlKind kind) const;

  mutable std::mutex mutex_;
  bool hold_posts_ = false;
  std::vector<std::function<void()>> posts_;
  std::array<Control, kControlCount> controls_;
  std::array<int, kTimerCount> timers_{};
  std::array<bool, kMenuItemCount> menu_enabled_{};
  int page_ = 0;
  std::string title_;
  bool main_visible_ = true;
  bool bar_exists_ = false, bar_visible_ = false;
  bool tray_shown_ = false;
  Image tray_icon_ = Image::kNone;
  std::string tray_tip_;
  Rect main_rect_{100, 100, kMainWidth, kMainHeight};
  std::array<Colour, kControlCount> caption_colours_{};
  std::array<Colour, kControlCount> text_colours_{};
  bool closing_ = false;
};

}  // namespace lumora::fakes
