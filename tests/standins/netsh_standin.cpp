// netsh.exe for the test prefix: answers the few netsh commands LumoraWiFi
// issues the way a Chinese Windows 7 netsh does (GBK text on stdout) and
// appends every command line to netsh.log (see standin_state.h for the
// folder). The hosted network is the WLAN stand-in's, in wlan-state.ini, as
// on Windows netsh and the WLAN functions see one hosted network: a start
// through either is seen by the other, and a test that writes active=0
// there stops it in both views. netsh's own state (the hosted adapter's
// address, the driver, a delay) is in netsh-state.ini.
//
//   wlan set hostednetwork [mode=allow|disallow] [ssid=X] [key=Y]
//   wlan start hostednetwork | wlan stop hostednetwork
//                                           (a start needs mode=allow)
//   wlan show hostednetwork                 (the settings and the status)
//   wlan show drivers                       (hosted=0 in the state: none)
//   interface ip[v4] show addresses
//   interface ip[v4] set address name="X" source=static|dhcp ...
//   interface ip[v4] set neighbors ...      (only logged)
//
// netsh-fail.txt holding "rights" makes every "wlan set hostednetwork" fail
// for want of administrator rights; "start" makes "wlan start hostednetwork"
// fail as on a machine whose wireless adapter is switched off.
//
// netsh-reply.txt replaces one answer: its first line is the start of a
// command (e.g. "interface ipv4 show addresses"), the rest the bytes printed
// for it as they stand, with exit code 0.
#include <windows.h>

#include <cstdlib>
#include <shellapi.h>

#include <map>
#include <string>
#include <vector>

#include "standin_state.h"

namespace {

constexpr char kDefaultAdapter[] = "无线网络连接 2";

struct Reply {
  std::string text;  // UTF-8; printed as GBK
  int exit_code = 0;
};

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The command line without the program token, as it is logged.
std::wstring AfterProgram(const wchar_t* line) {
  const wchar_t* p = line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

std::string FailureSwitch() {
  std::string text;
  if (!standin::ReadFileText(standin::PathOf(L"netsh-fail.txt"), text)) return {};
  return Lower(Trim(text));
}

bool CannedReply(const std::string& command, std::string& bytes) {
  std::string text;
  if (!standin::ReadFileText(standin::PathOf(L"netsh-reply.txt"), text)) return false;
  const size_t end = text.find('\n');
  const std::string start = Lower(Trim(text.substr(0, end)));
  if (end == std::string::npos || start.empty() || Lower(command).rfind(start, 0) != 0) return false;
  bytes = text.substr(end + 1);
  return true;
}

standin::Settings NetshState() { return standin::ReadSettings(standin::PathOf(L"netsh-state.ini")); }
standin::Settings HostedNetwork() {
  return standin::ReadSettings(standin::PathOf(standin::kHostedNetworkFile));
}

// One line of a block; the labels carry netsh's own padding.
std::string Field(const char* label, const std::string& value) {
  return std::string("    ") + label + value + "\r\n";
}

Reply Usage(const std::string& command) { return {"找不到下列命令: " + command + "\r\n", 1}; }

Reply SetHostedNetwork(const std::map<std::string, std::string>& params) {
  if (FailureSwitch() == "rights") return {"请求的操作需要提升(作为管理员运行)。\r\n\r\n", 1};
  const auto mode = params.find("mode");
  if (mode != params.end() && Lower(mode->second) != "allow" && Lower(mode->second) != "disallow")
    return {"参数 mode 的值无效。\r\n\r\n", 1};
  std::string text;
  standin::UpdateSettings(standin::kHostedNetworkFile, [&](standin::Settings& state) {
    if (mode != params.end()) {
      const bool allow = Lower(mode->second) == "allow";
      standin::Set(state, "enabled", allow ? "1" : "0");
      // Disallowing a running hosted network stops it.
      if (!allow) standin::Set(state, "active", "0");
      text += allow ? "承载网络模式已设置为允许。\r\n" : "承载网络模式已设置为禁止。\r\n";
    }
    if (const auto ssid = params.find("ssid"); ssid != params.end()) {
      standin::Set(state, "ssid", ssid->second);
      text += "已成功更改承载网络的 SSID。\r\n";
    }
    if (const auto key = params.find("key"); key != params.end()) {
      standin::Set(state, "key", key->second);
      text += "已成功更改托管网络的用户密钥密码。\r\n";
    }
  });
  return {text + "\r\n", 0};
}

// Refused as Windows refuses it: switched off by the test, disallowed, or
// refused by the WLAN service (the WLAN stand-in's start_error).
Reply StartHostedNetwork() {
  bool started = false;
  if (FailureSwitch() != "start")
    standin::UpdateSettings(standin::kHostedNetworkFile, [&](standin::Settings& state) {
      started = standin::Get(state, "enabled") == "1" && standin::Get(state, "start_error").empty();
      if (started) standin::Set(state, "active", "1");
    });
  if (!started)
    return {"无法启动承载网络。\r\n\r\n组或资源的状态不是执行请求操作的正确状态。\r\n\r\n", 1};
  return {"已启动承载网络。\r\n\r\n", 0};
}

Reply StopHostedNetwork() {
  standin::UpdateSettings(standin::kHostedNetworkFile,
                          [](standin::Settings& state) { standin::Set(state, "active", "0"); });
  return {"已停止承载网络。\r\n\r\n", 0};
}

// "wlan show hostednetwork" as a Chinese Windows prints it.
Reply ShowHostedNetwork() {
  const standin::Settings state = HostedNetwork();
  const bool enabled = standin::Get(state, "enabled") == "1";
  const bool active = enabled && standin::Get(state, "active") == "1";
  std::string text = "\r\n承载网络设置\r\n-----------------------\r\n";
  text += Field("模式                   : ", enabled ? "已启用" : "已禁用");
  text += Field("SSID 名称              : ", "“" + standin::Get(state, "ssid") + "”");
  text += Field("最多客户端数           : ", "100");
  text += Field("身份验证               : ", "WPA2 - 个人");
  text += Field("密码                   : ", "CCMP");
  text += "\r\n承载网络状态\r\n---------------------\r\n";
  text += Field("状态                   : ", active ? "已启动" : enabled ? "未启动" : "不可用");
  if (active) {
    text += Field("BSSID                  : ", "12:34:56:78:9a:bc");
    text += Field("无线电类型             : ", "802.11n");
    text += Field("频道                   : ", "11");
    text += Field("客户端数               : ", "0");
  }
  return {text + "\r\n", 0};
}

Reply ShowAddresses() {
  const standin::Settings state = NetshState();
  const std::string adapter = standin::Get(state, "adapter", kDefaultAdapter);
  const bool dhcp = standin::Get(state, "dhcp", "1") != "0";
  std::string text = "\r\n";
  if (adapter != "本地连接") {
    text += "接口 \"本地连接\" 的配置\r\n";
    text += Field("DHCP 已启用:                          ", "是");
    text += Field("IP 地址:                           ", "192.168.1.100");
    text += Field("子网前缀:                        ", "192.168.1.0/24 (掩码 255.255.255.0)");
    text += Field("默认网关:                         ", "192.168.1.1");
    text += Field("网关跃点数:                       ", "0");
    text += Field("InterfaceMetric:                      ", "10");
    text += "\r\n";
  }
  text += "接口 \"" + adapter + "\" 的配置\r\n";
  text += Field("DHCP 已启用:                          ", dhcp ? "是" : "否");
  if (dhcp) {
    text += Field("IP 地址:                           ", "169.254.62.21");
    text += Field("子网前缀:                        ", "169.254.0.0/16 (掩码 255.255.0.0)");
  } else {
    text += Field("IP 地址:                           ", "192.168.137.1");
    text += Field("子网前缀:                        ", "192.168.137.0/24 (掩码 255.255.255.0)");
  }
  text += Field("InterfaceMetric:                      ", "25");
  text += "\r\n";
  text += "接口 \"Loopback Pseudo-Interface 1\" 的配置\r\n";
  text += Field("DHCP 已启用:                          ", "否");
  text += Field("IP 地址:                           ", "127.0.0.1");
  text += Field("子网前缀:                        ", "127.0.0.0/8 (掩码 255.0.0.0)");
  text += Field("InterfaceMetric:                      ", "50");
  text += "\r\n";
  return {text, 0};
}

Reply SetAddress(const std::map<std::string, std::string>& params) {
  const auto name = params.find("name");
  const auto source = params.find("source");
  if (name == params.end() || source == params.end()) return {"参数不正确。\r\n\r\n", 1};
  bool known = name->second == "本地连接";
  standin::UpdateSettings(L"netsh-state.ini", [&](standin::Settings& state) {
    if (name->second != standin::Get(state, "adapter", kDefaultAdapter)) return;
    known = true;
    standin::Set(state, "dhcp", Lower(source->second) == "dhcp" ? "1" : "0");
  });
  if (!known) return {"找不到元素。\r\n\r\n", 1};
  return {"\r\n", 0};
}

Reply Run(const std::vector<std::string>& args, const std::string& command) {
  std::vector<std::string> words;
  std::map<std::string, std::string> params;
  for (const std::string& arg : args) {
    const size_t equals = arg.find('=');
    if (equals == std::string::npos)
      words.push_back(Lower(arg));
    else
      params[Lower(arg.substr(0, equals))] = arg.substr(equals + 1);
  }
  auto is = [&](std::vector<std::string> expected) { return words == expected; };

  if (is({"wlan", "set", "hostednetwork"}) && !params.empty()) return SetHostedNetwork(params);
  if (is({"wlan", "start", "hostednetwork"}) && params.empty()) return StartHostedNetwork();
  if (is({"wlan", "stop", "hostednetwork"}) && params.empty()) return StopHostedNetwork();
  if (is({"wlan", "show", "hostednetwork"})) return ShowHostedNetwork();
  if (is({"wlan", "show", "drivers"})) {
    const bool hosted = standin::Get(NetshState(), "hosted") != "0";
    return {std::string("\r\n接口名称: WLAN\r\n\r\n    驱动程序                  : Standin Wireless\r\n"
                        "    支持的承载网络            : ") + (hosted ? "是" : "否") + "\r\n"};
  }
  if (words.size() >= 4 && words[0] == "interface" && (words[1] == "ip" || words[1] == "ipv4")) {
    const bool bare = words.size() == 4;
    if (bare && words[2] == "show" && (words[3] == "addresses" || words[3] == "address"))
      return ShowAddresses();
    if (bare && words[2] == "set" && words[3] == "address") return SetAddress(params);
    // interface, address and hardware address come as plain words
    if (words[2] == "set" && words[3] == "neighbors") return {};
  }
  return Usage(command);
}

}  // namespace

int main() {
  const wchar_t* line = GetCommandLineW();
  const std::string command = standin::FromWide(AfterProgram(line));
  standin::AppendLine(L"netsh.log", command);
  // A slow machine on request (delay_ms in the state), so that tests can act
  // while a start is still under way.
  const int delay = std::atoi(standin::Get(NetshState(), "delay_ms", "0").c_str());
  if (delay > 0) Sleep(DWORD(delay));

  int count = 0;
  wchar_t** argv = CommandLineToArgvW(line, &count);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(standin::FromWide(argv[i]));
  if (argv) LocalFree(argv);

  Reply reply;
  std::string bytes;
  if (!CannedReply(command, bytes)) {
    reply = Run(args, command);
    bytes = standin::Utf8ToGbk(reply.text);
  }
  DWORD written = 0;
  if (!bytes.empty())
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written,
              nullptr);
  return reply.exit_code;
}
