// Stands in for the web browser: the shell's "open" of an http or https
// address runs this instead, which writes the address to opened.log.
#include <windows.h>

#include <shellapi.h>

#include "standin_state.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) standin::AppendLine(L"opened.log", standin::FromWide(argv[i]));
  if (argv) LocalFree(argv);
  return 0;
}
