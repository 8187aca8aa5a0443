// Watches the real program from a second process, for scripts/bench and
// scripts/longrun. Started inside the client network namespaces, it brings
// LumoraWiFi up as a user would (hotspot on through 开启WiFi, the floating bar
// on, the page "流量统计" shown) and then:
//   bench_probe longrun EXE MINUTES [SECONDS_PER_SAMPLE]
//       samples handles, GDI and USER objects, threads and private bytes once
//       a sample period, prints the table and judges whether they ended flat;
//   bench_probe stall EXE SECONDS [DEVICES]
//       probes the window thread with WM_NULL every 50 ms, side by side with
//       the same probe on minimal_window.exe, and prints the longest round
//       trips (no result unless DEVICES devices were listed);
//   bench_probe idle EXE SECONDS [running]
//       the program just started (or with the hotspot running) and left
//       alone, beside minimal_window.exe: CPU time used over SECONDS and the
//       working set at the end;
//   bench_probe stop EXE REPEATS [NETSH_DELAY_MS]
//       the same probe as stall, during each of REPEATS stops clicked on the
//       running hotspot (netsh slowed by NETSH_DELAY_MS, as on a slow
//       machine), beside minimal_window.exe: the longest round trip while
//       the stop runs, and how long the button took to come back.
// Result lines start with "RESULT" for the scripts to read.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app_driver.h"
#include "common/settings.h"
#include "standin_files.h"
#include "steady.h"
#include "timing.h"
#include "ui_driver.h"
#include "win32/file_store_win.h"
#include "win32/utf16.h"

using namespace lumora;
using namespace lumora::e2e;

namespace {

constexpr char kTitle[] = "LumoraWiFi5.1";
constexpr wchar_t kMinimalTitle[] = L"MinimalWindow";

std::string Beside(const char* file) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  return Narrow(dir) + file;
}

// Fresh settings and device files: the namespace's lumora0 is the hosted
// adapter, the bar is on, nobody is on a list. A run of the program that is
// still ending first ends: its window would turn the next start away.
void PrepareFiles() {
  WaitUntil([] { return !FindWindowA(nullptr, kTitle); }, 15000);
  for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiname.txt", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
    DeleteFileA(f);
  for (const char* f : {"netsh.log", "netsh-fail.txt"}) DeleteFileA((std::string(kDir) + "\\" + f).c_str());
  WriteText("sharing.ini", "宽带连接|2|none\r\nlumora0|7|none\r\n");
  WriteText("netsh-state.ini", "adapter=lumora0\r\ndhcp=0\r\n");
  Win32FileStore files;
  SettingsStore settings(files);
  settings.Write(setting::kAdapterOverride, "1");
  settings.Write(setting::kAdapterOverrideName, "lumora0");
  settings.Write(setting::kTrafficBar, "是");
  settings.Write(setting::kBarPosition, "600|300");
}

// Ready window, then the hotspot on and the traffic page shown; null and a
// message when a step did not come.
HWND BringUpRunning() {
  HWND main = WaitForWindow(kTitle, 20000);
  if (!main || !WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 20000)) {
    std::fprintf(stderr, "the window never became ready\n");
    return nullptr;
  }
  Click(FindControl(main, Ctl::按钮开始));
  if (!WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 60000)) {
    std::fprintf(stderr, "the hotspot did not start: %s\n", TextOf(main, Ctl::按钮开始).c_str());
    return nullptr;
  }
  HWND bar = FindTrafficBar();
  if (!bar || !IsWindowVisible(bar)) std::fprintf(stderr, "warning: the floating bar is not shown\n");
  if (!SelectPage(main, 3)) std::fprintf(stderr, "warning: the traffic page did not open\n");
  return main;
}

int ListedDevices(HWND main) { return int(ListViewRows(FindControl(main, Ctl::超级列表框1), 3).size()); }

HANDLE OpenWatched(DWORD pid) {
  return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
}

// Under Wine GetGuiResources answers 0; each process keeps its GDI objects
// in a table that its PEB points to, whose used entries carry a type.
DWORD GdiObjects(HANDLE process) {
  if (DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return n;
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return 0;
  // GdiSharedHandleTable in the 64-bit PEB.
  ULONG_PTR table = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + 0xF8, &table,
                         sizeof table, nullptr) || !table)
    return 0;
  struct Entry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type, flags;
    UINT64 user;
  };
  std::vector<Entry> entries(0x10000);
  SIZE_T got = 0;
  ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(),
                    entries.size() * sizeof(Entry), &got);
  return DWORD(std::count_if(entries.begin(), entries.begin() + got / sizeof(Entry),
                             [](const Entry& e) { return e.type != 0; }));
}

// Windows of the process, top-level and child: the USER objects Wine does
// not count for us. (Plain functions: a lambda is no stdcall callback on x86.)
struct WindowWalk {
  DWORD pid, count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM walk) {
  ++reinterpret_cast<WindowWalk*>(walk)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND top, LPARAM p) {
  auto* walk = reinterpret_cast<WindowWalk*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(top, &owner);
  if (owner != walk->pid) return TRUE;
  ++walk->count;
  EnumChildWindows(top, CountChild, p);
  return TRUE;
}

DWORD UserObjects(HANDLE process, DWORD pid) {
  if (DWORD n = GetGuiResources(process, GR_USEROBJECTS)) return n;
  WindowWalk walk{pid};
  EnumWindows(CountTop, LPARAM(&walk));
  return walk.count;
}

// Handle and thread counts from the system's process list: Wine answers
// GetProcessHandleCount with 0 for other processes.
struct Counts {
  DWORD handles = 0, threads = 0;
};
Counts HandlesAndThreads(DWORD pid) {
  std::vector<unsigned long long> buffer(1 << 16);
  ULONG need = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                            ULONG(buffer.size() * 8), &need)) == LONG(0xC0000004))
    buffer.resize(buffer.size() * 2);
  if (status != 0) return {};
  const char* at = reinterpret_cast<const char*>(buffer.data());
  for (;;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(at);
    if (DWORD(ULONG_PTR(p->UniqueProcessId)) == pid) return {p->HandleCount, p->NumberOfThreads};
    if (!p->NextEntryOffset) return {};
    at += p->NextEntryOffset;
  }
}

struct Sample {
  double handles = 0, gdi = 0, user = 0, threads = 0, private_kb = 0, working_kb = 0;
};
constexpr int kColumns = 6;
double& Column(Sample& s, int i) {
  double* c[kColumns] = {&s.handles, &s.gdi, &s.user, &s.threads, &s.private_kb, &s.working_kb};
  return *c[i];
}
constexpr const char* kColumnNames[kColumns] = {"handles", "GDI", "USER", "threads", "private KB",
                                                "working set KB"};

Sample ReadOnce(HANDLE process, DWORD pid) {
  Sample s;
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  const Counts counts = HandlesAndThreads(pid);
  s.handles = handles ? handles : counts.handles;
  s.gdi = GdiObjects(process);
  s.user = UserObjects(process, pid);
  s.threads = counts.threads;
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem);
  // Wine fills in the private bytes of its own process only; for others its
  // page file usage is the anonymous memory (resident and swapped).
  s.private_kb = double((mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage) / 1024);
  s.working_kb = double(mem.WorkingSetSize / 1024);
  return s;
}

// The least of three readings a second apart, column by column: a worker
// that happens to run at one instant (a scan, a tick) is not a leak, while
// what leaked is there in every reading.
Sample ReadSteady(HANDLE process, DWORD pid) {
  Sample least = ReadOnce(process, pid);
  for (int i = 0; i < 2; ++i) {
    Sleep(1000);
    Sample s = ReadOnce(process, pid);
    for (int c = 0; c < kColumns; ++c) Column(least, c) = std::min(Column(least, c), Column(s, c));
  }
  return least;
}

int LongRun(const std::string& exe, int minutes, int period_s) {
  PrepareFiles();
  Program program(exe);
  HWND main = BringUpRunning();
  if (!main) return 1;
  HANDLE process = OpenWatched(program.Pid());
  std::printf("sample every %d s for %d samples\n%6s", period_s, minutes, "minute");
  for (const char* name : kColumnNames) std::printf(" %14s", name);
  std::printf("\n");
  std::vector<Sample> samples;
  const ULONGLONG begin = GetTickCount64();
  for (int m = 1; m <= minutes; ++m) {
    const ULONGLONG due = begin + ULONGLONG(m) * period_s * 1000;
    while (GetTickCount64() < due) {
      if (!program.Running()) {
        std::printf("the program ended by itself after %d samples\nRESULT longrun ended\n", m - 1);
        return 1;
      }
      Sleep(200);
    }
    samples.push_back(ReadSteady(process, program.Pid()));
    std::printf("%6d", m);
    for (int c = 0; c < kColumns; ++c) std::printf(" %14.0f", Column(samples.back(), c));
    std::printf("\n");
    std::fflush(stdout);
  }
  if (TextOf(main, Ctl::按钮开始) != "关闭WiFi") std::printf("warning: the hotspot stopped during the run\n");
  std::printf("devices listed at the end: %d\n", ListedDevices(main));
  // Flat: the last sample within 1 % of the one at minute 10; the working
  // set (what the system lets the process keep) is only reported.
  bool flat = true;
  for (int c = 0; c < kColumns - 1; ++c) {
    std::vector<double> column;
    for (Sample& s : samples) column.push_back(Column(s, c));
    const bench::Verdict v = bench::Judge(column, 1.0);
    flat = flat && v.flat;
    std::printf("%-14s sample %zu: %.0f  last: %.0f  change %+.2f %%  %s\n", kColumnNames[c],
                bench::ReferenceSample(column.size()) + 1, v.reference, v.last, v.change_percent,
                v.flat ? "flat" : "NOT FLAT");
  }
  std::printf("RESULT longrun %s\n", flat ? "flat" : "not-flat");
  RequestClose(main);
  if (!program.WaitForExit(15000)) std::printf("warning: the program did not end after its window closed\n");
  CloseHandle(process);
  return flat ? 0 : 3;
}

// Longest WM_NULL round trip to `hwnd`, probed every 50 ms until `stop`.
void ProbeLongest(HWND hwnd, const std::atomic<bool>& stop, double& longest, int& probes) {
  while (!stop) {
    const double t = NowMs();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    longest = std::max(longest, NowMs() - t);
    ++probes;
    Sleep(50);
  }
}

HWND StartMinimal(Program*& minimal) {
  minimal = new Program(Beside(BaselineProgram().c_str()));
  HWND w = nullptr;
  WaitUntil([&] { return (w = FindWindowW(nullptr, kMinimalTitle)) != nullptr; }, 20000);
  return w;
}

void EndMinimal(Program* minimal, HWND w) {
  if (w) PostMessageW(w, WM_CLOSE, 0, 0);
  minimal->WaitForExit(5000);
  delete minimal;
}

// The longest round trips to both windows, probed side by side while
// `during` runs.
struct Stalls {
  double ours = 0, base = 0;
  int our_probes = 0, base_probes = 0;
};
template <class During>
Stalls ProbeBoth(HWND main, HWND bare, During during) {
  std::atomic<bool> stop{false};
  Stalls s;
  std::thread a(ProbeLongest, main, std::cref(stop), std::ref(s.ours), std::ref(s.our_probes));
  std::thread b(ProbeLongest, bare, std::cref(stop), std::ref(s.base), std::ref(s.base_probes));
  during();
  stop = true;
  a.join();
  b.join();
  return s;
}

// Stops the running hotspot REPEATS times (starting it again in between)
// while both windows are probed; the longest round trip of each stop.
int StopStall(const std::string& exe, int repeats, int delay_ms) {
  PrepareFiles();
  Program program(exe);
  HWND main = BringUpRunning();
  Program* minimal = nullptr;
  HWND bare = StartMinimal(minimal);
  if (!main || !bare) return 1;
  const std::string slow = "adapter=lumora0\r\ndhcp=0\r\ndelay_ms=" + std::to_string(delay_ms) + "\r\n";
  for (int i = 0; i < repeats; ++i) {
    Sleep(2000);
    WriteText("netsh-state.ini", slow);
    bool stopped = false;
    double took = 0;
    const Stalls s = ProbeBoth(main, bare, [&] {
      const double clicked = NowMs();
      Click(FindControl(main, Ctl::按钮开始));
      stopped = WaitUntil([&] { return StartButtonReads(main, "开启WiFi"); }, 60000);
      took = NowMs() - clicked;
      Sleep(200);
    });
    WriteText("netsh-state.ini", "adapter=lumora0\r\ndhcp=0\r\n");
    if (!stopped) {
      std::printf("the stop did not end within a minute\n");
      break;
    }
    std::printf("RESULT stop_stall_ms ours=%.1f base=%.1f\n", s.ours, s.base);
    std::printf("the stop took %.0f ms to give the button back\n", took);
    Click(FindControl(main, Ctl::按钮开始));
    if (!WaitUntil([&] { return StartButtonReads(main, "关闭WiFi"); }, 60000)) break;
  }
  EndMinimal(minimal, bare);
  RequestClose(main);
  program.WaitForExit(15000);
  return 0;
}

int Stall(const std::string& exe, int seconds, int devices) {
  PrepareFiles();
  Program program(exe);
  HWND main = BringUpRunning();
  Program* minimal = nullptr;
  HWND bare = StartMinimal(minimal);
  if (!main || !bare) return 1;
  Sleep(2000);  // past the page switch's own work
  const Stalls s = ProbeBoth(main, bare, [&] { Sleep(DWORD(seconds) * 1000); });
  const int listed = ListedDevices(main);
  std::printf("probes: %d and %d; devices listed: %d\n", s.our_probes, s.base_probes, listed);
  // Fewer devices than the network holds: the pass timed is not the one asked for.
  if (listed >= devices) std::printf("RESULT stall_ms ours=%.1f base=%.1f\n", s.ours, s.base);
  else std::printf("only %d of %d devices listed: no result\n", listed, devices);
  EndMinimal(minimal, bare);
  RequestClose(main);
  program.WaitForExit(15000);
  return 0;
}

// CPU time of the Linux process that runs the Windows program started as
// `exe`, from /proc: Wine answers GetProcessTimes for other processes with
// the same figure whatever they did. Linux counts in hundredths of a second.
double CpuMs(const std::string& exe) {
  auto read = [](const std::string& path) {
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got) text.append(chunk, got);
    CloseHandle(f);
    return text;
  };
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return -1;
  double ms = -1, newest = 0;
  do {
    const std::string pid = entry.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + pid + "\\";
    if (_stricmp(read(dir + "cmdline").c_str(), exe.c_str()) != 0) continue;
    const std::string stat = read(dir + "stat");
    std::vector<std::string> fields;
    size_t at = stat.rfind(')');
    while (at != std::string::npos && at + 1 < stat.size()) {
      const size_t begin = at + 2, end = stat.find(' ', begin);
      fields.push_back(stat.substr(begin, end - begin));
      at = end;
    }
    // After the name: state is field 3, utime 14, stime 15 and the start 22;
    // of two runs of the same program (the last one still ending), the newer.
    if (fields.size() <= 19 || std::atof(fields[19].c_str()) < newest) continue;
    newest = std::atof(fields[19].c_str());
    ms = 10.0 * (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str()));
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return ms;
}

int Idle(const std::string& exe, int seconds, bool running) {
  PrepareFiles();
  Win32FileStore files;
  SettingsStore(files).Write(setting::kTrafficBar, "否");  // idle: nothing ticks
  Program program(exe);
  HWND main = running ? BringUpRunning() : WaitForWindow(kTitle, 20000);
  if (main && running) SelectPage(main, 0);  // the hotspot's own work only
  Program* minimal = nullptr;
  HWND bare = StartMinimal(minimal);
  if (!main || !bare || !WaitUntil([&] { return StartButtonReads(main, running ? "关闭WiFi" : "开启WiFi"); }, 20000))
    return 1;
  Sleep(5000);  // start-up workers done
  HANDLE ours = OpenWatched(program.Pid()), base = OpenWatched(minimal->Pid());
  const std::string minimal_exe = Beside(BaselineProgram().c_str());
  const double ours_cpu = CpuMs(exe), base_cpu = CpuMs(minimal_exe);
  Sleep(DWORD(seconds) * 1000);
  const Sample o = ReadOnce(ours, program.Pid()), b = ReadOnce(base, minimal->Pid());
  if (ours_cpu >= 0 && base_cpu >= 0)
    std::printf("RESULT %s_cpu_ms ours=%.1f base=%.1f\n", running ? "running" : "idle",
                CpuMs(exe) - ours_cpu, CpuMs(minimal_exe) - base_cpu);
  else
    std::printf("the programs' Linux processes were not found in /proc\n");
  if (!running) {
    std::printf("RESULT idle_ws_kb ours=%.0f base=%.0f\n", o.working_kb, b.working_kb);
    std::printf("RESULT idle_private_kb ours=%.0f base=%.0f\n", o.private_kb, b.private_kb);
    std::printf("RESULT idle_threads ours=%.0f base=%.0f\n", o.threads, b.threads);
  }
  CloseHandle(ours);
  CloseHandle(base);
  EndMinimal(minimal, bare);
  RequestClose(main);
  program.WaitForExit(15000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 4 || (mode != "longrun" && mode != "stall" && mode != "idle" && mode != "stop")) {
    std::printf("usage: bench_probe longrun|stall|idle|stop PATH\\LumoraWiFi.exe MINUTES|SECONDS|REPEATS [PERIOD_S|DELAY_MS]\n");
    return 2;
  }
  const int amount = std::max(1, std::atoi(argv[3]));
  if (mode == "longrun") return LongRun(argv[2], amount, argc > 4 ? std::max(5, std::atoi(argv[4])) : 60);
  if (mode == "stall") return Stall(argv[2], amount, argc > 4 ? std::atoi(argv[4]) : 0);
  if (mode == "stop") return StopStall(argv[2], amount, argc > 4 ? std::atoi(argv[4]) : 1000);
  return Idle(argv[2], amount, argc > 4 && std::string(argv[4]) == "running");
}
