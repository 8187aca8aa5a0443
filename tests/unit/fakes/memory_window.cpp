#include "memory_window.h"

#include <algorithm>

namespace lumora::fakes {
namespace {

template <typename Container>
bool InRange(const Container& c, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < c.size();
}

}  // namespace

MemoryWindow::MemoryWindow() {
  for (const ControlDef& def : ControlDefs()) {
    Control& c = controls_[static_cast<int>(def.id)];
    c.kind = def.kind;
    c.text = def.text;
    c.visible = !(def.flags & flag::kHidden);
    c.enabled = !(def.flags & flag::kDisabled);
    c.checked = def.flags & flag::kChecked;
    c.masked = def.flags & flag::kPassword;
    c.bounds = def.rect;
    c.picture = def.image;
    for (const char* item : ComboItems(def.id)) c.items.emplace_back(item);
  }
  for (const ColumnDef& col : ColumnDefs()) ++controls_[static_cast<int>(col.list)].columns;
  controls_[static_cast<int>(Ctl::滑块条色调)].slider_max = kSliderMax;
  for (const MenuItemDef& item : MenuItemDefs())
    menu_enabled_[static_cast<int>(item.id)] = !item.disabled;
}

MemoryWindow::Control* MemoryWindow::Find(Ctl c) {
  const int i = static_cast<int>(c);
  return InRange(controls_, i) ? &controls_[i] : nullptr;
}
const MemoryWindow::Control* MemoryWindow::Find(Ctl c) const {
  return const_cast<MemoryWindow*>(this)->Find(c);
}
MemoryWindow::Control* MemoryWindow::FindKind(Ctl c, ControlKind kind) {
  Control* found = Find(c);
  return found && found->kind == kind ? found : nullptr;
}
const MemoryWindow::Control* MemoryWindow::FindKind(Ctl c, ControlKind kind) const {
  return const_cast<MemoryWindow*>(this)->FindKind(c, kind);
}

void MemoryWindow::SelectPage(int page) {
  std::lock_guard lock(mutex_);
  if (page >= 0 && page < kPageCount) page_ = page;
}

// --- any control

std::string MemoryWindow::Text(Ctl c) const {
  if (on_read) on_read(c);
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k ? k->text : std::string();
}
void MemoryWindow::SetText(Ctl c, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->text = text;
}
bool MemoryWindow::Visible(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k && k->visible;
}
void MemoryWindow::SetVisible(Ctl c, bool visible) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->visible = visible;
}
bool MemoryWindow::Enabled(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k && k->enabled;
}
void MemoryWindow::SetEnabled(Ctl c, bool enabled) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->enabled = enabled;
}
Rect MemoryWindow::Bounds(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k ? k->bounds : Rect{};
}
void MemoryWindow::SetBounds(Ctl c, Rect r) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->bounds = r;
}
void MemoryWindow::SetTip(Ctl c, std::string_view tip) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->tip = tip;
}
std::string MemoryWindow::Tip(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k ? k->tip : std::string();
}

// --- check boxes, edit boxes, pictures

bool MemoryWindow::Checked(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k && k->checked;
}
void MemoryWindow::SetChecked(Ctl c, bool checked) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->checked = checked;
}
bool MemoryWindow::Masked(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k && k->masked;
}
void MemoryWindow::SetMasked(Ctl c, bool masked) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->masked = masked;
}
Image MemoryWindow::Picture(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = Find(c);
  return k ? k->picture : Image::kNone;
}
void MemoryWindow::SetPicture(Ctl c, Image image) {
  std::lock_guard lock(mutex_);
  if (Control* k = Find(c)) k->picture = image;
}

// --- slider

int MemoryWindow::SliderPosition(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = FindKind(c, ControlKind::kSlider);
  return k ? k->slider_position : 0;
}
void MemoryWindow::SetSliderPosition(Ctl c, int position) {
  std::lock_guard lock(mutex_);
  if (Control* k = FindKind(c, ControlKind::kSlider))
    k->slider_position = std::clamp(position, k->slider_min, k->slider_max);
}

// --- combo boxes: the text follows the selection, as a drop-down's does;
// -1 clears the selection, other indices outside the list change nothing.

std::vector<std::string> MemoryWindow::Items(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = FindKind(c, ControlKind::kCombo);
  return k ? k->items : std::vector<std::string>();
}
void MemoryWindow::ClearItems(Ctl c) {
  std::lock_guard lock(mutex_);
  if (Control* k = FindKind(c, ControlKind::kCombo)) {
    k->items.clear();
    k->selected = -1;
    k->text.clear();
  }
}
void MemoryWindow::AddItem(Ctl c, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (Control* k = FindKind(c, ControlKind::kCombo)) k->items.emplace_back(text);
}
int MemoryWindow::SelectedIndex(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = FindKind(c, ControlKind::kCombo);
  return k ? k->selected : -1;
}
void MemoryWindow::SelectIndex(Ctl c, int index) {
  std::lock_guard lock(mutex_);
  Control* k = FindKind(c, ControlKind::kCombo);
  if (!k) return;
  if (index == -1) {
    k->selected = -1;
    k->text.clear();
  } else if (InRange(k->items, index)) {
    k->selected = index;
    k->text = k->items[index];
  }
}

// --- list views

int MemoryWindow::RowCount(Ctl c) const {
  std::lock_guard lock(mutex_);
  const Control* k = FindKind(c, ControlKind::kListView);
  return k ? static_cast<int>(k->rows.size()) : 0;
}
int MemoryWindow::AddRow(Ctl c) {
  std::lock_guard lock(mutex_);
  Control* k = FindKind(c, ControlKind::kListView);
  if (!k) return -1;
  k->rows.emplace_back(k->columns);
  return static_cast<int>(k->rows.size()) - 1;
}
std::string MemoryWindow::Cell(Ctl c, int row, int column) const {
  std::lock_guard lock(mutex_);
  const Control* k = FindKind(c, ControlKind::kListView);
  if (!k || !InRange(k->rows, row) || !InRange(k->rows[row], column)) return {};
  return k->rows[row][column];
}
void MemoryWindow::SetCell(Ctl c, int row, int column, std::string_view text) {
  std::lock_guard lock(mutex_);
  Control* k = FindKind(c, ControlKind::kListView);
  if (k && InRange(k->rows, row) && InRange(k->rows[row], column)) k->rows[row][column] = text;
}
void MemoryWindow::DeleteRow(Ctl c, int row) {
  std::lock_guard lock(mutex_);
  Control* k = FindKind(c, ControlKind::kListView);
  if (k && InRange(k->rows, row)) k->rows.erase(k->rows.begin() + row);
}
void MemoryWindow::ClearRows(Ctl c) {
  std::lock_guard lock(mutex_);
  if (Control* k = FindKind(c, ControlKind::kListView)) k->rows.clear();
}

void MemoryWindow::SetRows(Ctl c, const std::vector<std::vector<std::string>>& rows) {
  std::lock_guard lock(mutex_);
  Control* k = FindKind(c, ControlKind::kListView);
  if (!k) return;
  k->rows = rows;
  for (auto& row : k->rows) row.resize(std::size_t(k->columns));
}

int MemoryWindow::CurrentPage() const {
  std::lock_guard lock(mutex_);
  return page_;
}

// --- timers and menu items

int MemoryWindow::TimerInterval(Timer t) const {
  std::lock_guard lock(mutex_);
  const int i = static_cast<int>(t);
  return InRange(timers_, i) ? timers_[i] : 0;
}
void MemoryWindow::SetTimerInterval(Timer t, int ms) {
  std::lock_guard lock(mutex_);
  const int i = static_cast<int>(t);
  if (InRange(timers_, i)) timers_[i] = ms;
}
bool MemoryWindow::MenuItemEnabled(MenuItem m) const {
  std::lock_guard lock(mutex_);
  const int i = static_cast<int>(m);
  return InRange(menu_enabled_, i) && menu_enabled_[i];
}
void MemoryWindow::SetMenuItemEnabled(MenuItem m, bool enabled) {
  std::lock_guard lock(mutex_);
  const int i = static_cast<int>(m);
  if (InRange(menu_enabled_, i)) menu_enabled_[i] = enabled;
}

// --- main window

std::string MemoryWindow::Title() const {
  std::lock_guard lock(mutex_);
  return title_;
}
void MemoryWindow::SetTitle(std::string_view title) {
  std::lock_guard lock(mutex_);
  title_ = title;
}
bool MemoryWindow::MainVisible() const {
  std::lock_guard lock(mutex_);
  return main_visible_;
}
void MemoryWindow::SetMainVisible(bool visible) {
  std::lock_guard lock(mutex_);
  main_visible_ = visible;
}
void MemoryWindow::ShowMainCentred() {
  std::lock_guard lock(mutex_);
  main_visible_ = true;
  ++show_main_centred_calls;
}

// --- floating bar: a window that does not exist cannot be shown

bool MemoryWindow::BarExists() const {
  std::lock_guard lock(mutex_);
  return bar_exists_;
}
void MemoryWindow::CreateBar() {
  std::lock_guard lock(mutex_);
  bar_exists_ = true;
}
bool MemoryWindow::BarVisible() const {
  std::lock_guard lock(mutex_);
  return bar_exists_ && bar_visible_;
}
void MemoryWindow::SetBarVisible(bool visible) {
  std::lock_guard lock(mutex_);
  if (bar_exists_) bar_visible_ = visible;
}

// --- tray icon: changing the picture of an icon not shown does nothing

void MemoryWindow::ShowTrayIcon(Image icon, std::string_view tip) {
  std::lock_guard lock(mutex_);
  tray_shown_ = true;
  tray_icon_ = icon;
  tray_tip_ = tip;
}
void MemoryWindow::SetTrayIcon(Image icon) {
  std::lock_guard lock(mutex_);
  if (tray_shown_) tray_icon_ = icon;
}
void MemoryWindow::RemoveTrayIcon() {
  std::lock_guard lock(mutex_);
  tray_shown_ = false;
  tray_icon_ = Image::kNone;
  tray_tip_.clear();
}
bool MemoryWindow::TrayIconShown() const {
  std::lock_guard lock(mutex_);
  return tray_shown_;
}
Image MemoryWindow::TrayIcon() const {
  std::lock_guard lock(mutex_);
  return tray_icon_;
}
std::string MemoryWindow::TrayTip() const {
  std::lock_guard lock(mutex_);
  return tray_tip_;
}

// --- boxes

MessageResult MemoryWindow::ShowMessage(std::string_view text, std::string_view title,
                                        MessageIcon icon, MessageButtons buttons) {
  std::lock_guard lock(mutex_);
  if (closing_) return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
  messages.push_back({std::string(text), std::string(title), icon, buttons});
  if (answers.empty())
    return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kOk;
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

Rect MemoryWindow::MainRect() const {
  std::lock_guard lock(mutex_);
  return main_rect_;
}

void MemoryWindow::SetMainRect(Rect r) {
  std::lock_guard lock(mutex_);
  main_rect_ = r;
  main_rects.push_back(r);
}

void MemoryWindow::RemoveMainBorder() {
  std::lock_guard lock(mutex_);
  main_border_removed = true;
}

void MemoryWindow::SetCaptionColour(Ctl group, Colour colour) {
  std::lock_guard lock(mutex_);
  if (Find(group)) caption_colours_[static_cast<int>(group)] = colour;
}

Colour MemoryWindow::CaptionColour(Ctl group) const {
  std::lock_guard lock(mutex_);
  return Find(group) ? caption_colours_[static_cast<int>(group)] : Colour{};
}

void MemoryWindow::SetTextColour(Ctl c, Colour colour) {
  std::lock_guard lock(mutex_);
  if (Find(c)) text_colours_[static_cast<int>(c)] = colour;
}

Colour MemoryWindow::TextColour(Ctl c) const {
  std::lock_guard lock(mutex_);
  return Find(c) ? text_colours_[static_cast<int>(c)] : Colour{};
}

void MemoryWindow::ShowBalloon(std::string_view text, int dx, int dy) {
  std::lock_guard lock(mutex_);
  if (!closing_) balloons.push_back({std::string(text), dx, dy});
}

void MemoryWindow::ShowTrayBalloon(std::string_view title, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!closing_) tray_balloons.push_back(std::string(title) + "|" + std::string(text));
}

void MemoryWindow::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    if (hold_posts_) return posts_.push_back(std::move(fn));
  }
  fn();
}

void MemoryWindow::HoldPosts(bool hold) {
  std::lock_guard lock(mutex_);
  hold_posts_ = hold;
}

void MemoryWindow::RunPosts() {
  std::vector<std::function<void()>> posts;
  {
    std::lock_guard lock(mutex_);
    posts.swap(posts_);
  }
  for (auto& fn : posts) fn();
}

void MemoryWindow::BeginClosing() {
  std::lock_guard lock(mutex_);
  closing_ = true;
}

void MemoryWindow::PopupMenu(Popup popup) {
  std::lock_guard lock(mutex_);
  popups.push_back(popup);
}

}  // namespace lumora::fakes
