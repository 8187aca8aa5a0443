// A Windows service that does nothing but run until it is stopped: it stands
// in for the sharing and firewall services, which a test prefix does not have.
//   standin_service.exe                  run under the service manager
//   standin_service.exe --fail-after MS  a service that fails to start, slowly:
//                                        it ends after MS without answering
#include <windows.h>

#include <cwchar>

namespace {

SERVICE_STATUS_HANDLE g_status_handle = nullptr;
HANDLE g_stop = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(g_status_handle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(g_stop);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t** argv) {
  g_status_handle = RegisterServiceCtrlHandlerExW(argv[0], Control, nullptr);
  g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_RUNNING);
  WaitForSingleObject(g_stop, INFINITE);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  const wchar_t* fail = std::wcsstr(GetCommandLineW(), L"--fail-after ");
  if (fail) {
    Sleep(DWORD(std::wcstoul(fail + std::wcslen(L"--fail-after "), nullptr, 10)));
    return 1;
  }
  wchar_t name[] = L"";  // own process: the name is ignored
  SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
