#pragma once
// Drives the real program from a second process: start it, find its window
// by title, read its controls, click, close. Texts are UTF-8.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace lumora::e2e {

class Program {
 public:
  // Starts `exe` (a Windows path) with `args`; check Started().
  Program(const std::string& exe, const std::string& args = "");
  ~Program();  // ends the program if it still runs
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Pid() const { return pid_; }
  bool Running() const;
  // The exit code once it ended (STILL_ACTIVE while it runs).
  DWORD ExitCode() const;
  // True when the program ended within `ms`.
  bool WaitForExit(DWORD ms) const;
  // Prints every thread's stack through Wine's debugger, for a failure that
  // cannot be made to happen again at will (a start that never ends).
  void PrintStacks() const;

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// The top-level window with exactly this title (and visible, if asked), or
// null after `timeout_ms`.
HWND WaitForWindow(const std::string& title, DWORD timeout_ms, bool visible = true);
// How many top-level windows have exactly this title.
int CountWindows(const std::string& title);

struct Control {
  HWND hwnd = nullptr;
  int id = 0;
  std::string class_name;
  std::string text;
  bool visible = false;
  bool enabled = false;
  bool checked = false;
  RECT rect{};  // in the parent's client coordinates
};
// Every descendant control of `top`, in creation (Z) order.
std::vector<Control> ListControls(HWND top);

std::string WindowText(HWND hwnd);
// Clicks a button without waiting for its handler (which may open a box).
void Click(HWND button);
// Clicks a button and returns once its handler has run.
void ClickAndWait(HWND button);
// Clicks a link (a static control that notifies) with the left button.
void ClickLink(HWND link);
// Asks the window to close, as its close box does.
void RequestClose(HWND top);

// Sends `hwnd` a message that fills a RECT at lParam (TCM_GETITEMRECT,
// HDM_GETITEMRECT, LVM_GETSUBITEMRECT), through a buffer in its process
// that first holds `rect`; the answer comes back in `rect`.
bool AskRect(HWND hwnd, UINT msg, WPARAM wp, RECT& rect);

// Rows of a list view in another process, each row its column texts.
std::vector<std::vector<std::string>> ListViewRows(HWND list_view, int columns);
// The selected rows of a list view, ascending.
std::vector<int> SelectedRows(HWND list_view);

// The mouse on a list view cell as a user works it: the pointer moves there
// (the program reads where it is), then the buttons go down and up. False
// when the row is not there.
enum class Mouse { kClick, kControlClick, kRightClick, kDoubleClick };
bool MouseOnCell(HWND list_view, int row, int column, Mouse action);

// Keys as a user presses them, to the window that has them: down, then up.
void PressKey(HWND hwnd, UINT virtual_key);
// Picks the item at `index` (from 0) of the open pop-up menu with the
// keyboard, as a user does: the arrow key down index + 1 times, then Enter.
// The menu belongs to another process and cannot be read under Wine.
bool ChooseMenuItem(int index, DWORD timeout_ms);
// Replaces the whole text of an edit box in one piece, as an input method
// commits it.
void TypeText(HWND edit, const std::string& text);

}  // namespace lumora::e2e
