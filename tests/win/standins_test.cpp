// The test prefix's netsh.exe and sharing manager stand-ins, run from beside
// this exe with a state folder of their own: what they print, the state they
// keep, and the real sharing port walking the stand-in manager.
#include <gtest/gtest.h>
#include <windows.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>
#include <wlanapi.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/gbk.h"
#include "common/stop_state.h"
#include "hotspot/netsh_text.h"
#include "standins/standin_state.h"
#include "test_paths.h"
#include "win32/command_host_win.h"
#include "win32/sharing_win.h"
#include "win32/tethering_win.h"

namespace lumora {
namespace {

// --- A state folder of the test's own --------------------------------------------

class StandinFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"lumora-standins-test-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    SetEnvironmentVariableW(L"LUMORA_STANDIN_DIR", dir_.c_str());
  }
  void TearDown() override {
    for (const wchar_t* file :
         {L"netsh.log", L"netsh-state.ini", L"netsh-fail.txt", L"sharing.ini", L"wlan.log",
          L"wlan-state.ini", L"tethering.log", L"tethering-state.ini"})
      DeleteFileW((dir_ + L"\\" + file).c_str());
    RemoveDirectoryW(dir_.c_str());
    SetEnvironmentVariableW(L"LUMORA_STANDIN_DIR", nullptr);
  }

  std::wstring Path(const wchar_t* file) const { return dir_ + L"\\" + file; }
  void Write(const wchar_t* file, const std::string& text) const {
    ASSERT_TRUE(standin::WriteFileText(Path(file), text));
  }
  std::string Read(const wchar_t* file) const {
    std::string text;
    standin::ReadFileText(Path(file), text);
    return text;
  }
  std::string State(const char* key, const wchar_t* file = L"netsh-state.ini") const {
    return standin::Get(standin::ReadSettings(Path(file)), key, "<missing>");
  }
  // The hosted network, netsh's and the WLAN functions' alike.
  std::string Hosted(const char* key) const { return State(key, standin::kHostedNetworkFile); }

 private:
  std::wstring dir_;
};

TEST(StandinState, FolderIsOnDriveCUnlessTheTestNamesAnother) {
  SetEnvironmentVariableW(L"LUMORA_STANDIN_DIR", nullptr);
  EXPECT_EQ(standin::Folder(), L"C:\\lumora-standins\\");
  EXPECT_NE(GetFileAttributesW(L"C:\\lumora-standins"), INVALID_FILE_ATTRIBUTES);
}

// --- netsh.exe -------------------------------------------------------------------

class StandinNetsh : public StandinFolder {
 protected:
  // The command line as the program writes it, with the stand-in in place of
  // "netsh": the raw bytes printed, and the text decoded as the program does.
  static std::string Line(const std::string& command) {
    EXPECT_EQ(command.rfind("netsh ", 0), 0u) << command;
    return TestProgram("netsh.exe") + command.substr(5);
  }
  static std::string Bytes(const std::string& command) {
    return RunHiddenCommandBytes(Line(command));
  }
  std::string Run(const std::string& command) { return host_.RunHiddenCommand(Line(command)); }
  std::vector<std::string> Log() const { return standin::Lines(Read(L"netsh.log")); }

 private:
  Win32CommandHost host_;
};

TEST_F(StandinNetsh, HostedNetworkGoesFromAllowThroughStartAndStopToDisallow) {
  const std::string allowed = Bytes(netsh::SetHostedNetworkCommand("mylove", "5094817263"));
  EXPECT_EQ(allowed, Utf8ToGbk("承载网络模式已设置为允许。\r\n已成功更改承载网络的 SSID。\r\n"
                               "已成功更改托管网络的用户密钥密码。\r\n\r\n"));
  EXPECT_EQ(allowed.substr(0, 4), "\xB3\xD0\xD4\xD8") << "承载 in code page 936";
  EXPECT_EQ(Hosted("enabled"), "1");
  EXPECT_EQ(Hosted("ssid"), "mylove");
  EXPECT_EQ(Hosted("key"), "5094817263");

  EXPECT_EQ(Run(netsh::kStart), "已启动承载网络。\r\n\r\n");
  EXPECT_EQ(Hosted("active"), "1");
  EXPECT_EQ(Run(netsh::kStop), "已停止承载网络。\r\n\r\n");
  EXPECT_EQ(Hosted("active"), "0");
  EXPECT_EQ(Run(netsh::kDisallow), "承载网络模式已设置为禁止。\r\n\r\n");
  EXPECT_EQ(Hosted("enabled"), "0");
  EXPECT_EQ(Hosted("ssid"), "mylove") << "other keys are kept";
}

TEST_F(StandinNetsh, DisallowingStopsARunningNetwork) {
  Run(netsh::SetHostedNetworkCommand("a", "12345678"));
  Run(netsh::kStart);
  ASSERT_EQ(Hosted("active"), "1");
  Run(netsh::kDisallow);
  EXPECT_EQ(Hosted("active"), "0");
}

TEST_F(StandinNetsh, QuotedValuesAreStoredWithoutTheirQuotes) {
  Run(netsh::SetHostedNetworkCommand("我的 热点", "pass word 1"));
  EXPECT_EQ(Hosted("ssid"), "我的 热点");
  EXPECT_EQ(Hosted("key"), "pass word 1");
  EXPECT_EQ(Log(),
            (std::vector<std::string>{
                "wlan set hostednetwork mode=allow ssid=\"我的 热点\" key=\"pass word 1\""}));
}

TEST_F(StandinNetsh, RightsFailureLeavesTheStateAlone) {
  Write(L"netsh-fail.txt", "rights\r\n");
  const std::string out = Run(netsh::SetHostedNetworkCommand("mylove", "12345678"));
  EXPECT_NE(out.find("请求的操作需要提升(作为管理员运行)。"), std::string::npos) << out;
  EXPECT_NE(out.find("管理员"), std::string::npos);
  EXPECT_EQ(Hosted("enabled"), "<missing>");
  EXPECT_NE(Run(netsh::kDisallow).find("管理员"), std::string::npos);
}

TEST_F(StandinNetsh, StartFailureSaysItCannotStart) {
  Run(netsh::SetHostedNetworkCommand("mylove", "12345678"));
  Write(L"netsh-fail.txt", "start");
  const std::string out = Run(netsh::kStart);
  EXPECT_EQ(out, "无法启动承载网络。\r\n\r\n组或资源的状态不是执行请求操作的正确状态。\r\n\r\n");
  EXPECT_EQ(Hosted("active"), "<missing>");
  DeleteFileW(Path(L"netsh-fail.txt").c_str());
  EXPECT_EQ(Run(netsh::kStart), "已启动承载网络。\r\n\r\n");
  EXPECT_EQ(Hosted("active"), "1");
}

TEST_F(StandinNetsh, AddressesShowDhcpUntilTheStaticAddressIsSet) {
  std::string out = Run(netsh::kShowAddresses);
  EXPECT_NE(
      out.find(
          "接口 \"无线网络连接 2\" 的配置\r\n    DHCP 已启用:                          是\r\n"),
      std::string::npos)
      << out;
  EXPECT_NE(netsh::AdapterDhcpLines(out, "本地连接").find("是"), std::string::npos);
  EXPECT_NE(netsh::AdapterDhcpLines(out, "无线网络连接 2").find("是"), std::string::npos);

  EXPECT_EQ(Run(netsh::SetStaticAddressCommand("无线网络连接 2")), "\r\n");
  EXPECT_EQ(State("dhcp"), "0");
  out = Run(netsh::kShowAddresses);
  const std::string hosted = netsh::AdapterDhcpLines(out, "无线网络连接 2");
  EXPECT_NE(hosted.find("否"), std::string::npos) << hosted;
  EXPECT_EQ(hosted.find("是"), std::string::npos) << hosted;
  EXPECT_NE(out.find("192.168.137.1"), std::string::npos);
}

TEST_F(StandinNetsh, HostedAdapterIsTheOneTheStateNames) {
  Write(L"netsh-state.ini", "adapter=本地连接* 12\ndhcp=1\n");
  EXPECT_NE(netsh::AdapterDhcpLines(Run(netsh::kShowAddresses), "本地连接* 12").find("是"),
            std::string::npos);
  // Another connection's address is not the hosted adapter's.
  Run(netsh::SetStaticAddressCommand("无线网络连接 2"));
  EXPECT_EQ(State("dhcp"), "1");
  Run(netsh::SetStaticAddressCommand("本地连接* 12"));
  EXPECT_EQ(State("dhcp"), "0");
  EXPECT_NE(netsh::AdapterDhcpLines(Run(netsh::kShowAddresses), "本地连接* 12").find("否"),
            std::string::npos);
}

TEST_F(StandinNetsh, EveryCommandLineIsLoggedInOrder) {
  const std::string neighbors =
      "netsh interface ipv4 set neighbors 12 \"192.168.137.23\" \"00-00-00-00-00-00\" store=active";
  EXPECT_EQ(Run(neighbors), "");
  EXPECT_NE(Run("netsh wlan show settings").find("找不到下列命令"), std::string::npos);
  Run(netsh::kStart);
  EXPECT_EQ(Log(), (std::vector<std::string>{neighbors.substr(6), "wlan show settings",
                                             "wlan start hostednetwork"}));
  EXPECT_EQ(Read(L"netsh.log").back(), '\n');
}

TEST_F(StandinNetsh, ConcurrentRunsLoseNoLogLine) {
  std::vector<std::thread> runners;
  for (int t = 0; t < 3; ++t)
    runners.emplace_back([t] {
      for (int i = 0; i < 4; ++i)
        RunHiddenCommandBytes(Line("netsh wlan show x" + std::to_string(t * 10 + i)));
    });
  for (std::thread& runner : runners) runner.join();
  EXPECT_EQ(Log().size(), 12u);
}

// --- One hosted network in two views, as Windows has it -----------------------------

std::string TempFile(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + std::to_string(GetCurrentProcessId()) + "-" + name;
}

struct SeenChanges {
  std::mutex mutex;
  std::vector<std::string> changes;  // "old->new", or what was wrong with a notification
  size_t Count() {
    std::lock_guard lock(mutex);
    return changes.size();
  }
};

void WINAPI RecordChange(PWLAN_NOTIFICATION_DATA data, PVOID context) {
  auto* seen = static_cast<SeenChanges*>(context);
  std::string change = "bad notification";
  if (data && data->NotificationSource == WLAN_NOTIFICATION_SOURCE_HNWK &&
      data->NotificationCode == 0x1000 && data->dwDataSize == 3 * sizeof(DWORD)) {
    const auto* states = static_cast<const DWORD*>(data->pData);
    change = std::to_string(states[0]) + "->" + std::to_string(states[1]);
  }
  std::lock_guard lock(seen->mutex);
  seen->changes.push_back(change);
}

// The WLAN stand-in loaded under a name of its own: as wlanapi.dll the
// prefix's load order gives this exe Wine's, and beside this exe it would
// replace Wine's for the tests of the real WLAN port.
class StandinHostedNetwork : public StandinNetsh {
 protected:
  void SetUp() override {
    StandinNetsh::SetUp();
    const std::string built = TestProgram("wlan-standin\\wlanapi.dll");
    ASSERT_TRUE(CopyFileA(built.substr(1, built.size() - 2).c_str(), copy_.c_str(), FALSE)) << built;
    module_ = LoadLibraryA(copy_.c_str());
    ASSERT_TRUE(module_) << copy_;
    Resolve(open_, "WlanOpenHandle");
    Resolve(close_, "WlanCloseHandle");
    Resolve(register_, "WlanRegisterNotification");
    Resolve(query_status_, "WlanHostedNetworkQueryStatus");
    Resolve(force_stop_, "WlanHostedNetworkForceStop");
    Resolve(free_, "WlanFreeMemory");
    DWORD negotiated = 0;
    ASSERT_EQ(open_(2, nullptr, &negotiated, &client_), DWORD(ERROR_SUCCESS));
  }
  void TearDown() override {
    if (client_) close_(client_, nullptr);  // ends the registration and its watcher
    if (module_) FreeLibrary(module_);
    DeleteFileA(copy_.c_str());
    StandinNetsh::TearDown();
  }
  template <typename Fn>
  void Resolve(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    ASSERT_TRUE(fn) << name;
  }
  // WLAN_HOSTED_NETWORK_STATE: 0 unavailable, 1 idle, 2 active.
  DWORD WlanState() {
    void* status = nullptr;
    if (query_status_(client_, &status, nullptr) != ERROR_SUCCESS || !status) return 99;
    const DWORD state = *static_cast<DWORD*>(status);
    free_(status);
    return state;
  }

  const std::string copy_ = TempFile("lumora-wlan-standin.dll");
  HMODULE module_ = nullptr;
  HANDLE client_ = nullptr;
  DWORD(WINAPI* open_)(DWORD, PVOID, PDWORD, PHANDLE) = nullptr;
  DWORD(WINAPI* close_)(HANDLE, PVOID) = nullptr;
  DWORD(WINAPI* register_)(HANDLE, DWORD, BOOL, WLAN_NOTIFICATION_CALLBACK, PVOID, PVOID, PDWORD) = nullptr;
  DWORD(WINAPI* query_status_)(HANDLE, PVOID*, PVOID) = nullptr;
  DWORD(WINAPI* force_stop_)(HANDLE, PDWORD, PVOID) = nullptr;
  VOID(WINAPI* free_)(PVOID) = nullptr;
};

TEST_F(StandinHostedNetwork, NetshAndTheWlanFunctionsSeeOneNetworkAndEveryChangeIsNotified) {
  SeenChanges seen;
  ASSERT_EQ(register_(client_, WLAN_NOTIFICATION_SOURCE_HNWK, TRUE, RecordChange, &seen, nullptr, nullptr),
            DWORD(ERROR_SUCCESS));
  // Each change is waited for, so that none is folded into the next.
  const auto notified = [&](size_t count) {
    for (int i = 0; i < 150 && seen.Count() < count; ++i) Sleep(20);
    return seen.Count();
  };
  const auto status = [&] {
    const std::string out = Run("netsh wlan show hostednetwork");
    const size_t at = out.find("状态                   : ");
    return at == std::string::npos ? out : out.substr(at, out.find("\r\n", at) - at);
  };
  EXPECT_EQ(status(), "状态                   : 不可用");

  Run(netsh::SetHostedNetworkCommand("mylove", "12345678"));
  EXPECT_EQ(notified(1), 1u);
  EXPECT_EQ(WlanState(), 1u);
  Run(netsh::kStart);  // started through netsh, seen by the WLAN functions
  EXPECT_EQ(notified(2), 2u);
  EXPECT_EQ(WlanState(), 2u);
  EXPECT_EQ(status(), "状态                   : 已启动");
  DWORD reason = 0;
  EXPECT_EQ(force_stop_(client_, &reason, nullptr), DWORD(ERROR_SUCCESS));  // and the other way round
  EXPECT_EQ(notified(3), 3u);
  EXPECT_EQ(status(), "状态                   : 未启动");
  Run(netsh::kStart);
  EXPECT_EQ(notified(4), 4u);
  // The system drops it behind everyone's back: one switch, both views.
  Write(standin::kHostedNetworkFile, "enabled=1\r\nactive=0\r\nssid=mylove\r\n");
  EXPECT_EQ(notified(5), 5u);
  EXPECT_EQ(WlanState(), 1u);
  EXPECT_EQ(status(), "状态                   : 未启动");
  EXPECT_NE(Run("netsh wlan show hostednetwork").find("SSID 名称              : “mylove”"), std::string::npos);
  {
    std::lock_guard lock(seen.mutex);
    EXPECT_EQ(seen.changes, (std::vector<std::string>{"0->1", "1->2", "2->1", "1->2", "2->1"}));
  }

  // Unregistered, the client hears nothing more.
  DWORD previous = 0;
  EXPECT_EQ(register_(client_, WLAN_NOTIFICATION_SOURCE_NONE, TRUE, nullptr, nullptr, nullptr, &previous),
            DWORD(ERROR_SUCCESS));
  EXPECT_EQ(previous, DWORD(WLAN_NOTIFICATION_SOURCE_HNWK));
  Run(netsh::kStart);
  Sleep(300);
  EXPECT_EQ(seen.Count(), 5u);
}

// --- The sharing manager ---------------------------------------------------------

constexpr CLSID kSharingManagerClsid = {
    0x5C63C1AD, 0x3956, 0x4FF8, {0x84, 0x86, 0x40, 0x03, 0x47, 0x58, 0x31, 0x5B}};
constexpr wchar_t kTestProgId[] = L"LumoraTests.StandinSharingManager";

// The DLL beside this exe, loaded as COM would load it, its class registered
// for this process under a ProgID of the test's own (the prefix needs no
// installation).
class StandinSharing : public StandinFolder {
 protected:
  void SetUp() override {
    StandinFolder::SetUp();
    com_ = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::string path = TestProgram("lumora_hnetshare.dll");
    path = path.substr(1, path.size() - 2);
    module_ = LoadLibraryA(path.c_str());
    ASSERT_TRUE(module_) << path;
    get_class_ = reinterpret_cast<decltype(get_class_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    can_unload_ = reinterpret_cast<decltype(can_unload_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    ASSERT_TRUE(get_class_ && can_unload_) << "exported without decoration";
    ASSERT_EQ(
        get_class_(kSharingManagerClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory_)),
        S_OK);
    ASSERT_EQ(CoRegisterClassObject(kSharingManagerClsid, factory_, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                        (std::wstring(L"Software\\Classes\\") + kTestProgId + L"\\CLSID").c_str(),
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::wstring clsid = L"{5C63C1AD-3956-4FF8-8486-40034758315B}";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                   DWORD((clsid.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    if (factory_) factory_->Release();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                   (std::wstring(L"Software\\Classes\\") + kTestProgId).c_str());
    if (can_unload_) {
      EXPECT_EQ(can_unload_(), S_OK) << "an object of the manager was not released";
    }
    if (module_) FreeLibrary(module_);
    if (SUCCEEDED(com_)) CoUninitialize();
    StandinFolder::TearDown();
  }

  struct Seen {
    std::string name;
    int status;
    bool shared;
  };
  std::vector<Seen> Walk() {
    std::vector<Seen> seen;
    EXPECT_TRUE(port.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
      seen.push_back({c.Name(), c.Status(), c.SharingEnabled()});
    }));
    return seen;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Seen& s : Walk()) names.push_back(s.name);
    return names;
  }
  // Enables (or, with no type, disables) sharing on the named connection
  // during a walk, as the program does.
  void Share(const std::string& name, std::optional<SharingType> type) {
    bool met = false;
    port.ForEveryConnection(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
      if (c.Name() != name) return;
      met = true;
      EXPECT_TRUE(type ? c.EnableSharing(*type) : c.DisableSharing()) << name;
    });
    EXPECT_TRUE(met) << name;
  }

  Win32SharingPort port{kTestProgId, kTestProgId};
  IClassFactory* factory_ = nullptr;
  HRESULT(STDAPICALLTYPE* get_class_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* can_unload_)() = nullptr;

 private:
  HRESULT com_ = E_FAIL;
  HMODULE module_ = nullptr;
  DWORD cookie_ = 0;
};

TEST_F(StandinSharing, WalkSeesTheConnectionsOfTheFileAtEachEnumeration) {
  Write(L"sharing.ini", "本地连接|2|public\r\n无线网络连接 2|7|none\nWLAN|0|private\n");
  const std::vector<Seen> seen = Walk();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].name, "本地连接");
  EXPECT_EQ(seen[1].name, "无线网络连接 2");
  EXPECT_EQ(seen[2].name, "WLAN");
  EXPECT_EQ(seen[0].status, 2);
  EXPECT_EQ(seen[1].status, 7);
  EXPECT_EQ(seen[2].status, 0);
  EXPECT_TRUE(seen[0].shared);
  EXPECT_FALSE(seen[1].shared);
  EXPECT_TRUE(seen[2].shared);
  EXPECT_EQ(port.PublicCount(SharingProgId::kHNetShare), 1);
  EXPECT_EQ(port.PrivateCount(SharingProgId::kHNetShare1), 1);

  Write(L"sharing.ini", "以太网|2|none\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"以太网"}));
  EXPECT_EQ(port.PublicCount(SharingProgId::kHNetShare), 0);
}

TEST_F(StandinSharing, MissingFileMeansNoConnections) {
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(port.PublicCount(SharingProgId::kHNetShare), 0);
  EXPECT_EQ(port.PrivateCount(SharingProgId::kHNetShare), 0);
}

TEST_F(StandinSharing, SharingIsWrittenBackWithOnePublicAndOnePrivate) {
  Write(L"sharing.ini", "本地连接|2|none\r\n无线网络连接 2|2|none\r\nWLAN|2|public\r\n");
  Share("本地连接", SharingType::kPublic);
  Share("无线网络连接 2", SharingType::kPrivate);
  EXPECT_EQ(Read(L"sharing.ini"),
            "本地连接|2|public\r\n无线网络连接 2|2|private\r\nWLAN|2|none\r\n");
  std::string shared_public;
  port.ForPublicConnections(SharingProgId::kHNetShare1, [&](SharingConnection& c) {
    shared_public = c.SharingEnabled() ? c.Name() : "";
    return false;
  });
  EXPECT_EQ(shared_public, "本地连接");

  Share("WLAN", SharingType::kPrivate);
  EXPECT_EQ(Read(L"sharing.ini"),
            "本地连接|2|public\r\n无线网络连接 2|2|none\r\nWLAN|2|private\r\n");
  Share("WLAN", SharingType::kPublic);
  EXPECT_EQ(Read(L"sharing.ini"), "本地连接|2|none\r\n无线网络连接 2|2|none\r\nWLAN|2|public\r\n");
  Share("WLAN", std::nullopt);
  EXPECT_EQ(Read(L"sharing.ini"), "本地连接|2|none\r\n无线网络连接 2|2|none\r\nWLAN|2|none\r\n");
}

TEST_F(StandinSharing, AConnectionGoneFromTheFileCannotBeShared) {
  Write(L"sharing.ini", "A|2|none\n");
  std::vector<bool> enabled;
  port.ForEveryConnection(SharingProgId::kHNetShare, [&](SharingConnection& c) {
    Write(L"sharing.ini", "B|2|none\n");
    enabled.push_back(c.EnableSharing(SharingType::kPublic));
  });
  EXPECT_EQ(enabled, (std::vector<bool>{false}));
  EXPECT_EQ(Read(L"sharing.ini"), "B|2|none\n");
}

TEST_F(StandinSharing, ReadersNeverSeeAHalfWrittenFile) {
  Write(L"sharing.ini", "本地连接|2|none\r\n无线网络连接 2|2|none\r\n");
  std::atomic<bool> done{false};
  int reads = 0, torn = 0;
  std::thread reader([&] {
    for (; !done; ++reads) {
      std::string text;
      if (!standin::ReadFileText(Path(L"sharing.ini"), text) || standin::Lines(text).size() != 2)
        ++torn;
      Sleep(1);  // a poller, as the tests are; a reader that never lets go would starve the writer
    }
  });
  for (int i = 0; i < 10; ++i) {
    Share("本地连接", SharingType::kPublic);
    Share("本地连接", std::nullopt);
  }
  done = true;
  reader.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(torn, 0);
}

TEST_F(StandinSharing, EnumeratorsServeVariantsOfConnections) {
  Write(L"sharing.ini", "A|2|none\nB|2|none\nC|2|none\n");
  IClassFactory* other = nullptr;
  EXPECT_EQ(get_class_(CLSID_NULL, IID_IClassFactory, reinterpret_cast<void**>(&other)),
            CLASS_E_CLASSNOTAVAILABLE);

  INetSharingManager* manager = nullptr;
  ASSERT_EQ(CoCreateInstance(kSharingManagerClsid, nullptr, CLSCTX_INPROC_SERVER,
                             IID_INetSharingManager, reinterpret_cast<void**>(&manager)),
            S_OK);
  INetSharingEveryConnectionCollection* every = nullptr;
  ASSERT_EQ(manager->get_EnumEveryConnection(&every), S_OK);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(every->get__NewEnum(&unknown), S_OK);
  IEnumVARIANT* items = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)), S_OK);

  // Several at once: all there are, and S_FALSE for the shortfall.
  VARIANT batch[4];
  ULONG fetched = 0;
  EXPECT_EQ(items->Next(4, batch, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 3u);
  for (ULONG i = 0; i < fetched; ++i) {
    EXPECT_EQ(V_VT(&batch[i]), VT_UNKNOWN);
    INetConnection* connection = nullptr;
    EXPECT_EQ(V_UNKNOWN(&batch[i])->QueryInterface(IID_INetConnection,
                                                   reinterpret_cast<void**>(&connection)),
              S_OK);
    if (connection) connection->Release();
    VariantClear(&batch[i]);
  }
  // Something that is not one of the manager's connections is refused.
  INetSharingConfiguration* config = nullptr;
  EXPECT_EQ(manager->get_INetSharingConfigurationForINetConnection(nullptr, &config), E_INVALIDARG);
  EXPECT_EQ(config, nullptr);

  items->Release();
  unknown->Release();
  every->Release();
  EXPECT_EQ(can_unload_(), S_FALSE) << "the manager is still held";
  manager->Release();
}

// --- The sharing manager called by member name, as scripts call it ----------------

// A variant released at the end of its scope.
struct Var {
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  VARIANT v;
};

VARIANT Long(LONG value, VARTYPE type = VT_I4) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = type;
  if (type == VT_I2)
    V_I2(&v) = SHORT(value);
  else
    V_I4(&v) = value;
  return v;
}

// A reference to another variant, as a script passes its variables.
VARIANT RefTo(VARIANT& target) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&v) = &target;
  return v;
}

HRESULT IdOf(IDispatch* object, const wchar_t* name, DISPID& id) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

// Invokes a member with its arguments in call order (the caller keeps them).
HRESULT InvokeId(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                 VARIANT* result, EXCEPINFO* exception = nullptr, UINT* bad = nullptr) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, UINT(reversed.size()),
                    0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception, bad);
}

HRESULT InvokeName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                   VARIANT* result, EXCEPINFO* exception = nullptr, UINT* bad = nullptr) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = IdOf(object, name, id);
  if (FAILED(hr)) return hr;
  return InvokeId(object, id, flags, std::move(args), result, exception, bad);
}

// A property read the way VBScript reads one: "get or call".
constexpr WORD kGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

IDispatch* ObjectIn(const Var& var) {
  EXPECT_EQ(V_VT(&var.v), VT_DISPATCH);
  return V_VT(&var.v) == VT_DISPATCH ? V_DISPATCH(&var.v) : nullptr;
}

class StandinSharingByName : public StandinSharing {
 protected:
  void SetUp() override {
    StandinSharing::SetUp();
    if (HasFatalFailure()) return;
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kTestProgId, &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&manager_)),
              S_OK);
  }
  void TearDown() override {
    if (manager_) manager_->Release();
    manager_ = nullptr;
    StandinSharing::TearDown();
  }

  struct Found {
    std::string name;
    LONG status = -1;
  };
  // The connections of a collection (For Each over its _NewEnum), each with
  // its sharing configuration when `configs` is given.
  std::vector<Found> Each(IDispatch* collection, std::vector<IDispatch*>* configs = nullptr) {
    std::vector<Found> found;
    Var items;
    EXPECT_EQ(InvokeId(collection, DISPID_NEWENUM, kGet, {}, &items.v), S_OK);
    if (V_VT(&items.v) != VT_UNKNOWN && V_VT(&items.v) != VT_DISPATCH) {
      ADD_FAILURE() << "_NewEnum gave type " << V_VT(&items.v);
      return found;
    }
    IEnumVARIANT* each = nullptr;
    EXPECT_EQ(V_UNKNOWN(&items.v)->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&each)),
              S_OK);
    if (!each) return found;
    for (;;) {
      Var item;
      if (each->Next(1, &item.v, nullptr) != S_OK) break;
      Var props, name, status;
      EXPECT_EQ(InvokeName(manager_, L"NetConnectionProps", kGet, {RefTo(item.v)}, &props.v), S_OK);
      if (IDispatch* p = ObjectIn(props)) {
        EXPECT_EQ(InvokeName(p, L"Name", kGet, {}, &name.v), S_OK);
        EXPECT_EQ(InvokeName(p, L"status", DISPATCH_PROPERTYGET, {}, &status.v), S_OK);
      }
      Found f;
      if (V_VT(&name.v) == VT_BSTR) f.name = standin::FromWide(V_BSTR(&name.v));
      if (V_VT(&status.v) == VT_I4) f.status = V_I4(&status.v);
      found.push_back(f);
      if (configs) {
        Var config;
        EXPECT_EQ(InvokeName(manager_, L"INetSharingConfigurationForINetConnection", kGet,
                             {item.v}, &config.v),
                  S_OK);
        IDispatch* c = ObjectIn(config);
        if (c) c->AddRef();
        configs->push_back(c);
      }
    }
    each->Release();
    return found;
  }
  std::vector<std::string> NamesSharedAs(const wchar_t* which, LONG* count) {
    Var collection, n;
    EXPECT_EQ(InvokeName(manager_, which, kGet, {Long(ICSSC_DEFAULT)}, &collection.v), S_OK);
    std::vector<std::string> names;
    IDispatch* c = ObjectIn(collection);
    if (!c) return names;
    EXPECT_EQ(InvokeName(c, L"Count", kGet, {}, &n.v), S_OK);
    EXPECT_EQ(V_VT(&n.v), VT_I4);
    *count = V_I4(&n.v);
    for (const Found& f : Each(c)) names.push_back(f.name);
    return names;
  }
  bool Enabled(IDispatch* config) {
    Var enabled;
    EXPECT_EQ(InvokeName(config, L"SharingEnabled", kGet, {}, &enabled.v), S_OK);
    EXPECT_EQ(V_VT(&enabled.v), VT_BOOL);
    return V_VT(&enabled.v) == VT_BOOL && V_BOOL(&enabled.v) == VARIANT_TRUE;
  }

  IDispatch* manager_ = nullptr;
};

TEST_F(StandinSharingByName, ScriptListsSharesReadsBackAndUnshares) {
  Write(L"sharing.ini", "本地连接|2|none\r\n无线网络连接 2|7|none\r\nWLAN|0|public\r\n");
  Var every, count;
  ASSERT_EQ(InvokeName(manager_, L"EnumEveryConnection", kGet, {}, &every.v), S_OK);
  IDispatch* all = ObjectIn(every);
  ASSERT_TRUE(all);
  ASSERT_EQ(InvokeName(all, L"count", kGet, {}, &count.v), S_OK);
  EXPECT_EQ(V_VT(&count.v), VT_I4);
  EXPECT_EQ(V_I4(&count.v), 3);

  std::vector<IDispatch*> configs;
  const std::vector<Found> found = Each(all, &configs);
  ASSERT_EQ(found.size(), 3u);
  ASSERT_EQ(configs.size(), 3u);
  EXPECT_EQ(found[0].name, "本地连接");
  EXPECT_EQ(found[1].name, "无线网络连接 2");
  EXPECT_EQ(found[2].name, "WLAN");
  EXPECT_EQ(found[0].status, 2);
  EXPECT_EQ(found[1].status, 7);
  EXPECT_EQ(found[2].status, 0);
  for (IDispatch* c : configs) ASSERT_TRUE(c);
  EXPECT_FALSE(Enabled(configs[0]));
  EXPECT_FALSE(Enabled(configs[1]));
  EXPECT_TRUE(Enabled(configs[2]));

  // Public as a short, private as a long, both as scripts may pass them.
  Var none;
  EXPECT_EQ(InvokeName(configs[0], L"EnableSharing", DISPATCH_METHOD,
                       {Long(ICSSHARINGTYPE_PUBLIC, VT_I2)}, &none.v),
            S_OK);
  EXPECT_EQ(InvokeName(configs[1], L"ENABLESHARING", DISPATCH_METHOD,
                       {Long(ICSSHARINGTYPE_PRIVATE)}, nullptr),
            S_OK);
  EXPECT_EQ(V_VT(&none.v), VT_EMPTY);
  EXPECT_EQ(Read(L"sharing.ini"), "本地连接|2|public\r\n无线网络连接 2|7|private\r\nWLAN|0|none\r\n");
  EXPECT_TRUE(Enabled(configs[0]));
  EXPECT_TRUE(Enabled(configs[1]));
  EXPECT_FALSE(Enabled(configs[2]));
  LONG n = -1;
  EXPECT_EQ(NamesSharedAs(L"EnumPublicConnections", &n), (std::vector<std::string>{"本地连接"}));
  EXPECT_EQ(n, 1);
  EXPECT_EQ(NamesSharedAs(L"EnumPrivateConnections", &n),
            (std::vector<std::string>{"无线网络连接 2"}));
  EXPECT_EQ(n, 1);

  EXPECT_EQ(InvokeName(configs[0], L"DisableSharing", DISPATCH_METHOD, {}, nullptr), S_OK);
  EXPECT_EQ(InvokeName(configs[1], L"disablesharing", DISPATCH_METHOD, {}, nullptr), S_OK);
  EXPECT_EQ(Read(L"sharing.ini"), "本地连接|2|none\r\n无线网络连接 2|7|none\r\nWLAN|0|none\r\n");
  EXPECT_FALSE(Enabled(configs[0]));
  EXPECT_FALSE(Enabled(configs[1]));
  EXPECT_TRUE(NamesSharedAs(L"EnumPublicConnections", &n).empty());
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(NamesSharedAs(L"EnumPrivateConnections", &n).empty());
  EXPECT_EQ(n, 0);
  for (IDispatch* c : configs)
    if (c) c->Release();
}

TEST_F(StandinSharingByName, UnknownNamesAreRefused) {
  // Members of the other objects are not the manager's.
  for (const wchar_t* name : {L"NoSuchMember", L"Count", L"EnableSharing", L""}) {
    DISPID id = 12345;
    EXPECT_EQ(IdOf(manager_, name, id), DISP_E_UNKNOWNNAME) << standin::FromWide(name);
    EXPECT_EQ(id, DISPID_UNKNOWN);
  }
  // No member takes named arguments.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"EnumPublicConnections"),
                      const_cast<LPOLESTR>(L"Flags")};
  DISPID ids[2] = {12345, 12345};
  EXPECT_EQ(manager_->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_NE(ids[0], DISPID_UNKNOWN);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  // Nor is a member that was never handed out, or one that cannot be assigned.
  Var out;
  EXPECT_EQ(InvokeId(manager_, 777, kGet, {}, &out.v), DISP_E_MEMBERNOTFOUND);
  DISPID every = DISPID_UNKNOWN;
  ASSERT_EQ(IdOf(manager_, L"EnumEveryConnection", every), S_OK);
  EXPECT_EQ(InvokeId(manager_, every, DISPATCH_PROPERTYPUT, {Long(1)}, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(StandinSharingByName, WrongArgumentsAreRefused) {
  Write(L"sharing.ini", "A|2|none\n");
  Var every;
  ASSERT_EQ(InvokeName(manager_, L"EnumEveryConnection", kGet, {}, &every.v), S_OK);
  IDispatch* all = ObjectIn(every);
  ASSERT_TRUE(all);
  std::vector<IDispatch*> configs;
  ASSERT_EQ(Each(all, &configs).size(), 1u);
  IDispatch* config = configs[0];
  ASSERT_TRUE(config);

  Var out;
  EXPECT_EQ(InvokeName(config, L"EnableSharing", DISPATCH_METHOD, {}, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeName(config, L"EnableSharing", DISPATCH_METHOD, {Long(0), Long(0)}, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeName(config, L"DisableSharing", DISPATCH_METHOD, {Long(0)}, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeName(manager_, L"NetConnectionProps", kGet, {}, &out.v), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeName(manager_, L"EnumPublicConnections", kGet, {}, &out.v),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeName(all, L"Count", kGet, {Long(0)}, &out.v), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(V_VT(&out.v), VT_EMPTY);

  // An argument that is no number, reported as the faulty one.
  VARIANT word;
  V_VT(&word) = VT_BSTR;
  V_BSTR(&word) = SysAllocString(L"public");
  UINT bad = 99;
  EXPECT_EQ(InvokeName(config, L"EnableSharing", DISPATCH_METHOD, {word}, nullptr, nullptr, &bad),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad, 0u);
  VariantClear(&word);
  // A sharing type that does not exist, and a connection gone from the file,
  // are the member's own failures.
  EXCEPINFO exception{};
  EXPECT_EQ(InvokeName(config, L"EnableSharing", DISPATCH_METHOD, {Long(2)}, nullptr, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  Write(L"sharing.ini", "B|2|none\n");
  exception = EXCEPINFO{};
  EXPECT_EQ(InvokeName(config, L"EnableSharing", DISPATCH_METHOD, {Long(0)}, nullptr, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  // Something that is no connection of the manager.
  exception = EXCEPINFO{};
  EXPECT_EQ(InvokeName(manager_, L"NetConnectionProps", kGet, {every.v}, &out.v, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  EXPECT_EQ(Read(L"sharing.ini"), "B|2|none\n");
  config->Release();
}

// --- The real tethering port against the prefix's tethering manager stand-in ---

class TetheringPortOnStandin : public StandinFolder {
 protected:
  // Runs `body` on a thread of the window's kind (a single-threaded
  // apartment): the port must carry every call into the multithreaded one.
  template <typename Body>
  static void OnWindowThread(Body body) {
    std::thread([&] {
      ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
      body();
      CoUninitialize();
    }).join();
  }
  std::string TetheringState(const char* key) const {
    return standin::Get(standin::ReadSettings(Path(L"tethering-state.ini")), key, "<missing>");
  }
  // Every call reached the method it meant, from the multithreaded apartment.
  void ExpectCleanLog() const {
    const std::string log = Read(L"tethering.log");
    EXPECT_EQ(log.find("unexpected"), std::string::npos) << log;
    EXPECT_EQ(log.find("(STA)"), std::string::npos) << log;
  }
  Win32TetheringPort port;
};

TEST_F(TetheringPortOnStandin, ConfiguresStartsListsClientsSwitchesAndStops) {
  OnWindowThread([&] {
    ASSERT_TRUE(port.Available()) << "the tethering stand-in is not registered in this prefix";
    Write(L"tethering-state.ini", "clients=0a:1b:2c:3d:4e:5f|phone,AA-BB-CC-00-00-02|\r\n");
    EXPECT_TRUE(port.Capability("").ok);
    const TetheringResult configured = port.Configure("宽带连接", "我的热点", "5094817263");
    EXPECT_TRUE(configured.ok) << configured.message;
    EXPECT_TRUE(port.Start("").ok);
    EXPECT_TRUE(port.Running(""));
    EXPECT_EQ(TetheringState("ssid") + "|" + TetheringState("passphrase"), "我的热点|5094817263");
    const std::vector<TetheringClient> clients = port.Clients("");
    ASSERT_EQ(clients.size(), 2u);
    EXPECT_EQ(clients[0].mac, "0A-1B-2C-3D-4E-5F");
    EXPECT_EQ(clients[0].host_names, std::vector<std::string>{"phone"});
    EXPECT_EQ(clients[1].mac, "AA-BB-CC-00-00-02");
    EXPECT_TRUE(clients[1].host_names.empty());

    // The switch-off without clients: on as Windows ships it, then off.
    EXPECT_EQ(port.NoClientsTimeout(), std::optional<bool>(true));
    EXPECT_TRUE(port.SetNoClientsTimeout(false));
    EXPECT_EQ(TetheringState("no_clients_timeout"), "0");
    EXPECT_EQ(port.NoClientsTimeout(), std::optional<bool>(false));

    // The system turns the hotspot off behind the program's back.
    Write(L"tethering-state.ini", "running=0\r\n");
    EXPECT_FALSE(port.Running(""));
    EXPECT_TRUE(port.Clients("").empty());
    EXPECT_TRUE(port.Stop("").ok);
    // Before Windows 10 2004 there is no such switch.
    Write(L"tethering-state.ini", "timeout_switch=0\r\n");
    EXPECT_EQ(port.NoClientsTimeout(), std::nullopt);
    EXPECT_FALSE(port.SetNoClientsTimeout(true));
  });
  ExpectCleanLog();
}

TEST_F(TetheringPortOnStandin, RefusalsAndFailuresCarryTheirReasons) {
  enum Call { kCapability, kConfigure, kStart, kSwitch };
  const struct {
    const char* state;
    Call call;
    const char* message;  // the whole message, or its end when it begins with "…"
  } cases[] = {
      {"refuse=组策略\r\nrefuse_status=5\r\n", kStart, "运营商授权检查未通过（组策略）"},
      {"refuse= \r\nrefuse_status=3\r\n", kStart, "无线网卡已关闭（ ）"},
      {"refuse=x\r\nrefuse_status=42\r\n", kStart, "未知错误（状态 42）（x）"},
      {"capability=1\r\n", kCapability, "移动热点已被组策略禁用"},
      {"capability=3\r\n", kCapability, "运营商不允许共享这个网络连接"},
      {"capability=9\r\n", kCapability, "系统不允许在这个网络连接上开启移动热点（原因 9）"},
      {"start_ends=error:0x80070005\r\n", kStart, "…（错误代码 0x80070005）"},
      {"start_ends=canceled\r\n", kStart, "系统取消了这次操作"},
      {"configure_ends=error:0x8000FFFF\r\n", kConfigure, "…（错误代码 0x8000FFFF）"},
      {"timeout_ends=error:0x80004005\r\n", kSwitch, ""},
  };
  OnWindowThread([&] {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.state);
      Write(L"tethering-state.ini", c.state);
      const TetheringResult result = c.call == kCapability ? port.Capability("")
                                     : c.call == kConfigure ? port.Configure("", "a", "12345678")
                                     : c.call == kStart     ? port.Start("")
                                                            : TetheringResult{port.SetNoClientsTimeout(false), ""};
      EXPECT_FALSE(result.ok);
      const std::string want = c.message;
      if (want.rfind("…", 0) == 0) {
        const std::string end = want.substr(std::string("…").size());
        ASSERT_GT(result.message.size(), end.size()) << result.message;
        EXPECT_EQ(result.message.substr(result.message.size() - end.size()), end);
        EXPECT_EQ(result.message.find("限定时间"), std::string::npos) << "not a time-out";
      } else {
        EXPECT_EQ(result.message, want);
      }
      EXPECT_FALSE(port.Running(""));
      EXPECT_NE(TetheringState("no_clients_timeout"), "0");
    }
  });
  ExpectCleanLog();
}

// An adapter keeps the profiles of every network it joined: the connected
// one is the connection's, and without any, the system's internet profile.
TEST_F(TetheringPortOnStandin, TheConnectedProfileOfTheConnectionIsUsed) {
  const std::wstring guid = L"{6C3B1E20-8F4D-4A51-9E07-123456789ABD}";
  const std::wstring key =
      L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
      guid + L"\\Connection";
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Name", REG_SZ, L"WLAN", sizeof(L"WLAN")),
            ERROR_SUCCESS);
  const std::string g = standin::FromWide(guid);
  Write(L"tethering-state.ini", "profiles=以太网||3;家里|" + g + "|0;公司|" + g + "|3;咖啡店|" + g + "|1\r\n");
  OnWindowThread([&] {
    EXPECT_TRUE(port.Start("WLAN").ok);
    EXPECT_TRUE(port.Start("无线网络连接 9").ok);  // no profile of its own
  });
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.substr(0, key.size() - std::wstring(L"\\Connection").size()).c_str());
  EXPECT_EQ(standin::Lines(Read(L"tethering.log")),
            (std::vector<std::string>{"create 公司", "start", "create 以太网", "start"}));
}

// A worker asked to stop during a slow start ends its wait at once and
// cancels the operation, which then never takes effect.
TEST_F(TetheringPortOnStandin, AStopRequestCancelsASlowStart) {
  Write(L"tethering-state.ini", "op_ms=5000\r\n");
  StopState state;
  CurrentStopScope scope(&state);
  std::thread stopper([&] {
    Sleep(300);
    state.RequestStop();
  });
  const ULONGLONG begin = GetTickCount64();
  EXPECT_FALSE(port.Start("").ok);
  EXPECT_LT(GetTickCount64() - begin, 2000u);
  stopper.join();
  const auto cancelled = [&] { return Read(L"tethering.log").find("start canceled by the caller"); };
  for (int i = 0; i < 50 && cancelled() == std::string::npos; ++i) Sleep(20);
  EXPECT_NE(cancelled(), std::string::npos) << Read(L"tethering.log");
  Sleep(200);
  EXPECT_NE(TetheringState("running"), "1");
}

}  // namespace
}  // namespace lumora
