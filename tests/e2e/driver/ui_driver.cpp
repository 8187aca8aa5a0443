#include "ui_driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>

#include "win32/utf16.h"

namespace lumora::e2e {

Program::Program(const std::string& exe, const std::string& args) {
  std::wstring line = L"\"" + Widen(exe) + L"\"" + (args.empty() ? L"" : L" " + Widen(args));
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
  }
}

Program::~Program() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool Program::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Program::ExitCode() const {
  DWORD code = 0;
  return process_ && GetExitCodeProcess(process_, &code) ? code : 0;
}

bool Program::WaitForExit(DWORD ms) const {
  return process_ && WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void Program::PrintStacks() const {
  if (!Running()) return;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return;
  SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = read;
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
  std::wstring line = L"winedbg.exe " + std::to_wstring(pid_);
  PROCESS_INFORMATION pi{};
  fflush(stdout);
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    // The program's own threads only ("bt all" walks every process).
    std::string script;
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 t{};
    t.dwSize = sizeof t;
    for (BOOL more = Thread32First(threads, &t); more; more = Thread32Next(threads, &t))
      if (t.th32OwnerProcessID == pid_) script += "bt " + std::to_string(t.th32ThreadID) + "\n";
    CloseHandle(threads);
    script += "detach\nquit\n";
    DWORD written = 0;
    WriteFile(write, script.data(), DWORD(script.size()), &written, nullptr);
    CloseHandle(write);
    write = nullptr;
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (write) CloseHandle(write);
  CloseHandle(read);
}

HWND WaitForWindow(const std::string& title, DWORD timeout_ms, bool visible) {
  const std::wstring wide = Widen(title);
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  do {
    HWND hwnd = FindWindowW(nullptr, wide.c_str());
    if (hwnd && (!visible || IsWindowVisible(hwnd))) return hwnd;
    Sleep(25);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

namespace {

struct TitleSearch {
  std::wstring title;
  int count = 0;
};

BOOL CALLBACK CountTitle(HWND hwnd, LPARAM p) {
  auto* s = reinterpret_cast<TitleSearch*>(p);
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  if (s->title == text) ++s->count;
  return TRUE;
}

BOOL CALLBACK AddControl(HWND hwnd, LPARAM p) {
  Control c;
  c.hwnd = hwnd;
  c.id = GetDlgCtrlID(hwnd);
  wchar_t cls[128] = {};
  GetClassNameW(hwnd, cls, 128);
  c.class_name = Narrow(cls);
  c.text = WindowText(hwnd);
  c.visible = IsWindowVisible(hwnd) != 0;
  c.enabled = IsWindowEnabled(hwnd) != 0;
  if (c.class_name == "Button") c.checked = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
  GetWindowRect(hwnd, &c.rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&c.rect), 2);
  reinterpret_cast<std::vector<Control>*>(p)->push_back(c);
  return TRUE;
}

}  // namespace

int CountWindows(const std::string& title) {
  TitleSearch search{Widen(title)};
  EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

std::string WindowText(HWND hwnd) {
  // WM_GETTEXT works across processes (GetWindowText does not for controls).
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(std::size_t(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
  text.resize(std::size_t(got));
  return Narrow(text);
}

std::vector<Control> ListControls(HWND top) {
  std::vector<Control> controls;
  EnumChildWindows(top, AddControl, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickAndWait(HWND button) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
}

void ClickLink(HWND link) {
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

void RequestClose(HWND top) { PostMessageW(top, WM_CLOSE, 0, 0); }

std::vector<std::vector<std::string>> ListViewRows(HWND list_view, int columns) {
  std::vector<std::vector<std::string>> rows;
  DWORD pid = 0;
  GetWindowThreadProcessId(list_view, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return rows;
  constexpr SIZE_T kTextChars = 512;
  const SIZE_T size = sizeof(LVITEMW) + kTextChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote) {
    const int count = int(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      std::vector<std::string> cells;
      for (int col = 0; col < columns; ++col) {
        LVITEMW item{};
        item.iSubItem = col;
        item.cchTextMax = int(kTextChars);
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
        const LRESULT n = SendMessageW(list_view, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(remote));
        std::wstring text(kTextChars, L'\0');
        ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(),
                          kTextChars * sizeof(wchar_t), nullptr);
        text.resize(std::size_t(n));
        cells.push_back(Narrow(text));
      }
      rows.push_back(cells);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rows;
}

std::vector<int> SelectedRows(HWND list_view) {
  std::vector<int> rows;
  int row = -1;
  while ((row = int(SendMessageW(list_view, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) >= 0)
    rows.push_back(row);
  return rows;
}

bool AskRect(HWND hwnd, UINT msg, WPARAM wp, RECT& rect) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool got = remote && WriteProcessMemory(process, remote, &rect, sizeof(rect), nullptr) &&
                   SendMessageW(hwnd, msg, wp, LPARAM(remote)) &&
                   ReadProcessMemory(process, remote, &rect, sizeof(rect), nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return got;
}

namespace {

// The cell's rectangle in the list view's client coordinates.
bool CellRect(HWND list_view, int row, int column, RECT& cell) {
  cell = {column == 0 ? LVIR_LABEL : LVIR_BOUNDS, column, 0, 0};
  return AskRect(list_view, LVM_GETSUBITEMRECT, WPARAM(row), cell);
}

}  // namespace

bool MouseOnCell(HWND list_view, int row, int column, Mouse action) {
  RECT cell{};
  if (!CellRect(list_view, row, column, cell)) return false;
  POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  POINT screen = at;
  ClientToScreen(list_view, &screen);
  SetCursorPos(screen.x, screen.y);
  const LPARAM where = MAKELPARAM(at.x, at.y);
  switch (action) {
    case Mouse::kClick:
    case Mouse::kControlClick: {
      const WPARAM keys = action == Mouse::kControlClick ? MK_CONTROL : 0;
      PostMessageW(list_view, WM_LBUTTONDOWN, keys | MK_LBUTTON, where);
      PostMessageW(list_view, WM_LBUTTONUP, keys, where);
      break;
    }
    case Mouse::kRightClick:
      PostMessageW(list_view, WM_RBUTTONDOWN, MK_RBUTTON, where);
      PostMessageW(list_view, WM_RBUTTONUP, 0, where);
      break;
    case Mouse::kDoubleClick:
      PostMessageW(list_view, WM_LBUTTONDOWN, MK_LBUTTON, where);
      PostMessageW(list_view, WM_LBUTTONUP, 0, where);
      PostMessageW(list_view, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
      PostMessageW(list_view, WM_LBUTTONUP, 0, where);
      break;
  }
  return true;
}

void PressKey(HWND hwnd, UINT virtual_key) {
  PostMessageW(hwnd, WM_KEYDOWN, virtual_key, 1);
  PostMessageW(hwnd, WM_KEYUP, virtual_key, LPARAM(0xC0000001));
}

bool ChooseMenuItem(int index, DWORD timeout_ms) {
  HWND menu = nullptr;
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!(menu = FindWindowW(L"#32768", nullptr)) || !IsWindowVisible(menu)) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(25);
  }
  for (int i = 0; i <= index; ++i) PressKey(menu, VK_DOWN);
  PressKey(menu, VK_RETURN);
  return true;
}

void TypeText(HWND edit, const std::string& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(Widen(text).c_str()));
}

}  // namespace lumora::e2e
