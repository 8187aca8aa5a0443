// The smallest Win32 program that shows a window: the baseline the start-up
// benchmark compares the program with. Built a second time as
// themed_window.exe (LUMORA_THEMED): what any program of this kind pays
// before its own work, the common controls 6 with the system's visual style,
// a tab, a button with Chinese text and one worker that ran and ended.
#include <windows.h>
#ifdef LUMORA_THEMED
#include <commctrl.h>
#endif

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

#ifdef LUMORA_THEMED
static DWORD WINAPI Work(void*) { return 0; }

static void AddThemedControls(HWND hwnd, HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                           CLEARTYPE_QUALITY, 0, L"Verdana");
  HWND tab = CreateWindowW(WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 420, 280, hwnd, nullptr,
                           instance, nullptr);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"主界面");
  SendMessageW(tab, TCM_INSERTITEMW, 0, LPARAM(&item));
  HWND button = CreateWindowW(L"BUTTON", L"开启WiFi", WS_CHILD | WS_VISIBLE, 150, 120, 100, 30, hwnd,
                              nullptr, instance, nullptr);
  SendMessageW(tab, WM_SETFONT, WPARAM(font), FALSE);
  SendMessageW(button, WM_SETFONT, WPARAM(font), FALSE);
  // Under Wine a thread's stack stays until the next thread ends.
  HANDLE worker = CreateThread(nullptr, 256 << 10, Work, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
}
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"MinimalWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 430, 316, nullptr, nullptr, instance, nullptr);
#ifdef LUMORA_THEMED
  AddThemedControls(hwnd, instance);
#endif
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
