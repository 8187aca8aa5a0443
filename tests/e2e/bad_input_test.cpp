// Bad input against the real program: damaged, odd, huge and inaccessible
// settings and device files, update documents and help texts from the
// loopback server, netsh answers, and what a user may type. Each row: the
// program starts (or goes on), answers, says what the user must know, loses
// nothing it held, and ends when closed.
#include "tools/loopback_http.h"  // Winsock before <windows.h>

#include <gtest/gtest.h>
#include <commctrl.h>

#include <functional>
#include <iostream>
#include <random>

#include "app_driver.h"
#include "common/gbk.h"
#include "common/settings.h"
#include "e2e_env.h"
#include "prepared_files.h"
#include "standins/standin_state.h"
#include "screenshot.h"
#include "ui_driver.h"
#include "updates/servers.h"

namespace lumora::e2e {
namespace {

using test::LoopbackHttp;
using Bytes = std::function<std::string()>;

constexpr ULONGLONG kReadyBoundMs = 10000;

std::string Noise(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = char(random() & 0xFF);
  return bytes;
}
std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += {c, '\0'};
  return out;
}
Bytes Fixed(std::string bytes) { return [bytes] { return bytes; }; }
std::string Mac(int i) {
  char text[18];
  snprintf(text, sizeof text, "AA-BB-CC-%02X-%02X-%02X", (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
  return text;
}
int RowCount(HWND list) { return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// ---------------------------------------------------------------------------
// The four files the program keeps on drive C.

struct FileRow {
  const char* name;
  const char* path;
  Prep prep;
  Bytes bytes;
  const char* ssid = nullptr;  // what the SSID box must show, when it matters
  int rows = -1;               // rows of the file's list view, when it matters
  const char* hue = nullptr;   // the hue label, when it matters
};

std::ostream& operator<<(std::ostream& out, const FileRow& row) { return out << row.name; }

const std::string kSsidLine = "[user]\r\nssid=";
const std::string k10239(10239, 'a');

const FileRow kFileRows[] = {
    {"IniEmpty", kIniPath, Prep::kBytes, Fixed(""), "mylove"},
    {"IniNoise", kIniPath, Prep::kBytes, [] { return Noise(4096, 1); }, "mylove"},
    {"IniNulBytes", kIniPath, Prep::kBytes, Fixed(std::string("[user]\r\nkey=12345678\0\0[x]\0\r\n", 27))},
    {"IniInvalidGbk", kIniPath, Prep::kBytes, Fixed(kSsidLine + "\x81\x20\xFF\xFE\x80zz\r\n")},
    {"IniUtf8", kIniPath, Prep::kBytes, Fixed(kSsidLine + "\xE6\x88\x91\xE7\x9A\x84\xE7\x83\xAD\r\n")},
    {"IniUtf8Bom", kIniPath, Prep::kBytes, Fixed("\xEF\xBB\xBF" + kSsidLine + "bom\r\n")},
    {"IniUtf16", kIniPath, Prep::kBytes, Fixed(Utf16(kSsidLine + "wide\r\n"))},
    {"IniOnlyLineBreaks", kIniPath, Prep::kBytes, Fixed("\r\n\n\r\r\n\r\n"), "mylove"},
    {"IniNoEqualsSign", kIniPath, Prep::kBytes, Fixed("[user]\r\nssid mine\r\nkey\r\n"), "mylove"},
    {"IniNoClosingBracket", kIniPath, Prep::kBytes, Fixed("[user\r\nssid=open\r\n"), "mylove"},
    {"IniLfOnly", kIniPath, Prep::kBytes, Fixed("[user]\nssid=unix\n"), "unix"},
    {"IniControlChars", kIniPath, Prep::kBytes, Fixed(kSsidLine + "\x01\x02\x07" "ab\x1b\r\n")},
    {"IniValueAtLimit", kIniPath, Prep::kBytes, Fixed(kSsidLine + k10239 + "\r\n"), k10239.c_str()},
    {"IniValuePastLimit", kIniPath, Prep::kBytes, Fixed(kSsidLine + k10239 + "bcd\r\n"), k10239.c_str()},
    {"IniMegabyteLine", kIniPath, Prep::kBytes, [] { return kSsidLine + std::string(1 << 20, 'a') + "\r\n"; },
     k10239.c_str()},
    {"Ini20MB", kIniPath, Prep::kBytes,
     [] { return Repeat("[junk]\r\nfiller=" + std::string(200, 'x') + "\r\n", 95000) + kSsidLine + "big\r\n"; },
     "big"},
    {"IniHuePastLimits", kIniPath, Prep::kBytes, Fixed("[skin]\r\ncolor=99999999999999999999\r\n"), nullptr, -1,
     "[180]"},
    {"IniBarPositionGarbage", kIniPath, Prep::kBytes,
     Fixed("[流量条]\r\n\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7\r\n[flowposition]\r\nxy=99999999999|-99999999999|\r\n")},
    {"IniDirectory", kIniPath, Prep::kDirectory, Fixed(""), "mylove"},
    {"IniReadOnly", kIniPath, Prep::kReadOnly, Fixed(kSsidLine + "ronly\r\n"), "ronly"},
    {"IniLocked", kIniPath, Prep::kLocked, Fixed(kSsidLine + "locked\r\n"), "mylove"},

    {"BlackEmpty", kBlackPath, Prep::kBytes, Fixed(""), nullptr, 0},
    {"BlackNoise", kBlackPath, Prep::kBytes, [] { return Noise(4096, 2); }},
    {"BlackInvalidGbkName", kBlackPath, Prep::kBytes, Fixed(Mac(1) + "+\x81\xFF\xFE\x80\r\n"), nullptr, 1},
    {"BlackUtf8Names", kBlackPath, Prep::kBytes, Fixed(Mac(1) + "+\xE6\x89\x8B\xE6\x9C\xBA\r\n" + Mac(2) + "+x\r\n"),
     nullptr, 2},
    {"BlackUtf16", kBlackPath, Prep::kBytes, Fixed(Utf16(Mac(1) + "+phone\r\n"))},
    {"BlackNoSeparators", kBlackPath, Prep::kBytes, Fixed("AABBCCDDEE01\r\nAABBCCDDEE02\r\nAABBCCDDEE03\r\n"),
     nullptr, 3},
    {"BlackManySeparators", kBlackPath, Prep::kBytes, Fixed(Mac(1) + "+a+b+c\r\n++\r\n"), nullptr, 2},
    {"BlackMegabyteLine", kBlackPath, Prep::kBytes, [] { return Mac(1) + "+" + std::string(1 << 20, 'n') + "\r\n"; },
     nullptr, 1},
    {"Black20000Records", kBlackPath, Prep::kBytes,
     [] {
       std::string text;
       for (int i = 0; i < 20000; ++i) text += Mac(i) + "+device\r\n";
       return text;
     },
     nullptr, 20000},
    {"BlackDirectory", kBlackPath, Prep::kDirectory, Fixed(""), nullptr, 0},
    {"BlackReadOnly", kBlackPath, Prep::kReadOnly, Fixed(Mac(1) + "+ro\r\n"), nullptr, 1},
    {"BlackLocked", kBlackPath, Prep::kLocked, Fixed(Mac(1) + "+locked\r\n"), nullptr, 0},

    {"WhiteNoise", kWhitePath, Prep::kBytes, [] { return Noise(65536, 3); }},
    {"WhiteCrOnly", kWhitePath, Prep::kBytes, Fixed(Mac(1) + "+a\r" + Mac(2) + "+b\r")},
    {"WhiteMegabyteNoNewline", kWhitePath, Prep::kBytes, [] { return std::string(1 << 20, 'w'); }, nullptr, 1},
    {"WhiteDirectory", kWhitePath, Prep::kDirectory, Fixed(""), nullptr, 0},
    {"WhiteLocked", kWhitePath, Prep::kLocked, Fixed(Mac(1) + "+locked\r\n"), nullptr, 0},

    {"BookNoise", kBookPath, Prep::kBytes, [] { return Noise(4096, 4); }},
    {"BookMegabyteLine", kBookPath, Prep::kBytes, [] { return Mac(1) + "+" + std::string(1 << 20, 'n'); }},
    {"BookDirectory", kBookPath, Prep::kDirectory, Fixed("")},
    {"BookLocked", kBookPath, Prep::kLocked, Fixed("\r\n" + Mac(1) + "+locked")},
};

class BadFile : public ::testing::TestWithParam<FileRow> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {kIniPath, kBlackPath, kWhitePath, kBookPath}) Clear(f);
    ResetStandins();
  }
};

// Prepared, started, the show-password box clicked (a settings write), closed:
// a file the program may not write is as it was, a settings file it rewrote
// still holds every line it held.
TEST_P(BadFile, StartsAnswersKeepsTheFileAndEnds) {
  const FileRow& row = GetParam();
  PreparedFile file(row.path, row.prep, row.bytes());
  const std::string before = Snapshot(row.path);
  const ULONGLONG started = GetTickCount64();
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  const ULONGLONG ready_ms = GetTickCount64() - started;
  EXPECT_LT(ready_ms, kReadyBoundMs);
  EXPECT_TRUE(Answers(main));
  if (row.ssid) {
    EXPECT_EQ(TextOf(main, Ctl::编辑框名称), row.ssid);
  }
  if (row.hue) {
    EXPECT_EQ(TextOf(main, Ctl::透明标签位置), row.hue);
  }
  if (row.rows >= 0) {
    HWND list = FindControl(main, row.path == kWhitePath ? Ctl::超级列表框3 : Ctl::超级列表框2);
    EXPECT_EQ(RowCount(list), row.rows);
  }

  const bool masked = IsMasked(main, Ctl::编辑框密码);
  Click(FindControl(main, Ctl::选择框_显示密码));
  EXPECT_TRUE(WaitUntil([&] { return IsMasked(main, Ctl::编辑框密码) != masked; }, 3000));
  const bool rewritable = row.path == kIniPath && row.prep == Prep::kBytes;
  if (rewritable)
    EXPECT_TRUE(WaitUntil([&] { return Has(Snapshot(kIniPath), masked ? "mm=1" : "mm=2"); }, 5000));
  else
    Sleep(300);
  EXPECT_TRUE(Answers(main));
  CloseAndExpectEnd(program, main);

  const std::string after = Snapshot(row.path);
  if (rewritable)
    EXPECT_EQ(LostLines(before, after), std::vector<std::string>{});
  else
    EXPECT_TRUE(after == before) << "changed: " << after.size() << " bytes, were " << before.size();
  if (ready_ms > 3000) std::cout << row.name << ": ready after " << ready_ms << " ms\n";
}

INSTANTIATE_TEST_SUITE_P(Files, BadFile, ::testing::ValuesIn(kFileRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The update document and the help text from the server.

std::string UpdateDocument(const std::string& version, const std::string& notes) {
  return "[version1]" + version + "[version2]\r\n[content1]" + notes + "[content2]\r\n[up1]0[up2]\r\n";
}

struct ServedRow {
  const char* name;
  Bytes document;             // /updata.txt
  Bytes help;                 // /upwifi/bzxx.txt
  const char* offer = nullptr;  // the start of the offer's text, or none offered
  const char* help_has = nullptr;
};

std::ostream& operator<<(std::ostream& out, const ServedRow& row) { return out << row.name; }

const Bytes kNoHelp = Fixed("");
const ServedRow kServedRows[] = {
    {"UpdateEmpty", Fixed(""), kNoHelp},
    {"UpdateNoise", [] { return Noise(65536, 5); }, kNoHelp},
    {"UpdateNoClosingMarker", Fixed("[version1]9.9\r\n[content1]x"), kNoHelp},
    {"UpdateVersionNotANumber", Fixed(UpdateDocument("abc", "x")), kNoHelp},
    {"UpdateVersionTrailingZero", Fixed(UpdateDocument("5.10", "x")), kNoHelp},
    {"UpdateUtf16", Fixed(Utf16(UpdateDocument("9.0", "x"))), kNoHelp},
    {"UpdateVersionHuge", Fixed(UpdateDocument("99999999999999999999999", "x")), kNoHelp,
     "亲！检测到最新V99999999999999999999999版本"},
    {"UpdateNotesInvalidGbk", Fixed(UpdateDocument("6", "\x81\xFF\x01\x02\x80")), kNoHelp, "亲！检测到最新V6版本"},
    {"UpdateNotes900KB", [] { return UpdateDocument("6", std::string(900 << 10, 'n')); }, kNoHelp,
     "亲！检测到最新V6版本"},
    // Nothing a server sends is that large: the document is refused whole.
    {"UpdateOver1MB", [] { return Noise(5 << 20, 6) + UpdateDocument("7", "late"); }, kNoHelp},
    {"HelpOver1MB", Fixed(""), [] { return std::string(2 << 20, 'h'); }, nullptr, "LumoraWiFi 使用帮助"},
    {"HelpNoise", Fixed(""), [] { return Noise(65536, 7); }},
    {"Help900KBText", Fixed(""), [] { return std::string(900 << 10, 'h') + "END"; }, nullptr, "END"},
    {"HelpDeeplyNested", Fixed(""), [] { return Repeat("<font color=red><b>", 50000) + "deep"; }, nullptr, "deep"},
    {"HelpUnclosedTag", Fixed(""), Fixed("before<a href=\"http://x"), nullptr, "before"},
    {"HelpInvalidGbk", Fixed(""), Fixed("ok\x81\xFF\x80<b>\xFE</b>tail"), nullptr, "tail"},
};

class BadServed : public ::testing::TestWithParam<ServedRow> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {kIniPath, kBlackPath, kWhitePath}) Clear(f);
    ResetStandins();
  }
};

TEST_P(BadServed, StartsOffersOnlyANewerVersionAndEnds) {
  const ServedRow& row = GetParam();
  LoopbackHttp server;
  server.Put("/updata.txt", row.document());
  const std::string help = row.help();
  if (!help.empty()) server.Put("/upwifi/bzxx.txt", help);
  Win32FileStore files;
  SettingsStore settings(files);
  settings.Write(setting::kUpdateServer, server.Base());
  settings.Write(setting::kWebServer, server.Base());

  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  HWND box = row.offer ? WaitForMessageBox("更新提示", 15000) : nullptr;
  if (row.offer) {
    ASSERT_TRUE(box) << "no offer";
  } else {
    // The start-up runs past the offer on to the statistics page.
    EXPECT_TRUE(WaitUntil([&] { return server.Count("/upwifi/tongji.html") > 0; }, 15000));
    EXPECT_FALSE(WaitForMessageBox("更新提示", 0)) << "an offer for a document that holds none";
  }
  if (box) {
    EXPECT_EQ(MessageBoxText(box).rfind(row.offer, 0), 0u) << MessageBoxText(box).substr(0, 80);
    Shot(std::string("bad-input-") + row.name);
    RECT r{};  // the answer must be on the screen, where a mouse can reach it
    GetWindowRect(GetDlgItem(box, IDNO), &r);
    EXPECT_TRUE(r.top >= 0 && r.bottom <= GetSystemMetrics(SM_CYSCREEN) && r.bottom > r.top)
        << r.top << ".." << r.bottom;
    PressAnswer(box, IDNO);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  }
  EXPECT_TRUE(Answers(main));
  if (row.help_has) {
    HWND view = FindControl(main, Ctl::简单超文本框1);
    EXPECT_TRUE(WaitUntil([&] { return Has(WindowText(view), row.help_has); }, 10000))
        << WindowText(view).substr(0, 80);
    ASSERT_TRUE(SelectPage(main, 4));
    EXPECT_TRUE(Answers(main));
  }
  CloseAndExpectEnd(program, main);
}

INSTANTIATE_TEST_SUITE_P(Served, BadServed, ::testing::ValuesIn(kServedRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// netsh answers and typed input, against one running program: each row starts
// from the stopped window and leaves it stopped.

enum class Outcome { kRuns, kBalloon, kMessage };

struct TypedRow {
  const char* name;
  std::string ssid, key;
  const char* reply = nullptr;  // netsh-reply.txt: the command, then its bytes
  Bytes reply_bytes{};
  Outcome outcome = Outcome::kRuns;
  const char* says = nullptr;   // the balloon's or message box's text (its start)
  const char* logged = nullptr;  // a command line that must have been run
};

std::ostream& operator<<(std::ostream& out, const TypedRow& row) { return out << row.name; }

const std::string kKey = "12345678";
const std::string kHanzi = "热";  // two GBK bytes

const TypedRow kTypedRows[] = {
    {"SsidEmpty", "", kKey, nullptr, {}, Outcome::kBalloon, "您还没有输入WiFi名称哦！"},
    {"SsidAt32Bytes", std::string(32, 's'), kKey},
    {"SsidAt33Bytes", std::string(33, 's'), kKey, nullptr, {}, Outcome::kBalloon, "WiFi名称不能超过32个字节哦！"},
    {"SsidHanziAt32Bytes", Repeat(kHanzi, 16), kKey},
    {"SsidHanziPast32Bytes", Repeat(kHanzi, 16) + "s", kKey, nullptr, {}, Outcome::kBalloon,
     "WiFi名称不能超过32个字节哦！"},
    {"SsidQuote", "my\"wifi", kKey, nullptr, {}, Outcome::kBalloon, "WiFi名称不能包含双引号哦！"},
    {"SsidPastEditLimit", std::string(40000, 's'), kKey, nullptr, {}, Outcome::kBalloon,
     "WiFi名称不能超过32个字节哦！"},
    {"Ssid100KB", std::string(100 << 10, 's'), kKey, nullptr, {}, Outcome::kBalloon, "WiFi名称不能超过32个字节哦！"},
    {"SsidControlChars", "a\tb\x01" "c", kKey},
    {"SsidEmoji", "wifi\xF0\x9F\x98\x80", kKey},
    {"SsidNotInGbk", "\xC7\x85" "ab\xE2\x82\xA9", kKey},
    {"KeyEmpty", "net", "", nullptr, {}, Outcome::kBalloon, "您还没有输入密码哦！"},
    {"KeyAt7Bytes", "net", "1234567", nullptr, {}, Outcome::kBalloon, "密码不能少于8位数！"},
    {"KeyAt63Bytes", "net", std::string(63, 'k')},
    {"KeyAt64Bytes", "net", std::string(64, 'k'), nullptr, {}, Outcome::kBalloon, "密码不能超过63位哦！"},
    {"KeyQuote", "net", "1234\"5678", nullptr, {}, Outcome::kBalloon, "密码不能包含双引号哦！"},
    {"KeyHanzi4Is8Bytes", "net", Repeat(kHanzi, 4)},

    {"NetshAddressesEmpty", "net", kKey, "interface ipv4 show addresses", Fixed("")},
    {"NetshAddressesNoise", "net", kKey, "interface ipv4 show addresses", [] { return Noise(65536, 8); }},
    {"NetshAddressesUtf16", "net", kKey, "interface ipv4 show addresses",
     Fixed(Utf16("接口 \"无线网络连接 2\" 的配置\r\n    DHCP: yes\r\n"))},
    {"NetshAddressesMegabyteLine", "net", kKey, "interface ipv4 show addresses",
     [] { return Utf8ToGbk("接口 \"无线网络连接 2\" " + std::string(1 << 20, ' ') + "\r\n    DHCP 已启用:  是\r\n"); },
     Outcome::kRuns, nullptr, "interface ip set address name=\"无线网络连接 2\""},
    {"NetshAddresses5MB", "net", kKey, "interface ipv4 show addresses",
     [] { return Repeat(std::string(100, 'z') + "\r\n", 50000) + Utf8ToGbk("无线网络连接 2\r\nDHCP 是\r\n"); },
     Outcome::kRuns, nullptr, "interface ip set address"},
    {"NetshSetNeedsRights", "net", kKey, "wlan set hostednetwork",
     Fixed(Utf8ToGbk("请求的操作需要提升(作为管理员运行)。\r\n")), Outcome::kBalloon},
    {"NetshStartNoise", "net", kKey, "wlan start hostednetwork", [] { return Noise(4096, 9); }},
    {"NetshStartEmpty", "net", kKey, "wlan start hostednetwork", Fixed("")},
    {"NetshStartFailsWithMegabyteOfBlanks", "net", kKey, "wlan start hostednetwork",
     [] { return Utf8ToGbk("无法启动承载网络。\r\n") + Repeat(" \r\n", 400000) + "end\r\n"; }, Outcome::kMessage,
     "开启失败！失败类型：无法启动承载网络。"},
};

class BadTyped : public ::testing::TestWithParam<TypedRow> {
 protected:
  static void SetUpTestSuite() {
    for (const char* f : {kIniPath, kBlackPath, kWhitePath}) Clear(f);
    ResetStandins();
    Win32FileStore files;
    SettingsStore settings(files);
    settings.Write(setting::kAdapterOverride, "1");
    settings.Write(setting::kAdapterOverrideName, "无线网络连接 2");
    program_ = new Program(ProgramPath());
    main_ = StartReady(*program_);
  }
  static void TearDownTestSuite() {
    if (main_) CloseAndExpectEnd(*program_, main_);
    EXPECT_TRUE(NothingShared()) << ReadText("sharing.ini");
    delete program_;
    program_ = nullptr;
    main_ = nullptr;
  }
  void TearDown() override {
    DeleteFileA((std::string(kDir) + "\\netsh-reply.txt").c_str());
    DeleteFileA((std::string(kDir) + "\\netsh.log").c_str());
  }

  static Program* program_;
  static HWND main_;
};
Program* BadTyped::program_ = nullptr;
HWND BadTyped::main_ = nullptr;

TEST_P(BadTyped, IsRefusedWithItsReasonOrStartsAndStops) {
  const TypedRow& row = GetParam();
  ASSERT_TRUE(main_ && StartButtonReads(main_, "开启WiFi"));
  if (row.reply) WriteText("netsh-reply.txt", std::string(row.reply) + "\r\n" + row.reply_bytes());
  TypeText(FindControl(main_, Ctl::编辑框名称), row.ssid);
  TypeText(FindControl(main_, Ctl::编辑框密码), row.key);
  Click(FindControl(main_, Ctl::按钮开始));
  const DWORD pid = program_->Pid();
  switch (row.outcome) {
    case Outcome::kBalloon: {
      std::string said;
      // A balloon still up from the row before is replaced by this one.
      EXPECT_TRUE(WaitUntil([&] {
        said = BalloonText(pid);
        return row.says ? said == row.says : !said.empty();
      }, 10000))
          << "no balloon or another one: " << said;
      Shot(std::string("bad-input-") + row.name);
      EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main_, "开启WiFi"); }, 10000));
      EXPECT_FALSE(Has(ReadText("netsh.log"), "wlan start hostednetwork"));
      break;
    }
    case Outcome::kMessage: {
      HWND box = WaitForMessageBox("开启失败", 30000);
      ASSERT_TRUE(box) << "no message";
      EXPECT_EQ(MessageBoxText(box).rfind(row.says, 0), 0u) << MessageBoxText(box).substr(0, 80);
      PressOk(box);
      EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main_, "开启WiFi"); }, 10000));
      break;
    }
    case Outcome::kRuns: {
      if (!WaitUntil([&] { return StartButtonReads(main_, "关闭WiFi"); }, 30000)) {
        program_->PrintStacks();  // the suite's one program: its end is rows away
        FAIL() << TextOf(main_, Ctl::按钮开始);
      }
      // What was typed is what was kept, byte for byte after the conversion.
      Win32FileStore files;
      SettingsStore settings(files);
      EXPECT_EQ(settings.Read(setting::kSsid), TextOf(main_, Ctl::编辑框名称));
      EXPECT_EQ(settings.Read(setting::kPassphrase), TextOf(main_, Ctl::编辑框密码));
      // The hosted network got the name as it stands in the box, as one argument.
      EXPECT_EQ(standin::Get(standin::ReadSettings(standin::PathOf(standin::kHostedNetworkFile)), "ssid"),
                TextOf(main_, Ctl::编辑框名称));
      if (row.logged) {
        EXPECT_TRUE(Has(ReadText("netsh.log"), row.logged)) << ReadText("netsh.log").substr(0, 400);
      }
      Click(FindControl(main_, Ctl::按钮开始));
      EXPECT_TRUE(WaitUntil([&] { return StartButtonReads(main_, "开启WiFi"); }, 15000));
      break;
    }
  }
  EXPECT_TRUE(Answers(main_));
  EXPECT_TRUE(program_->Running());
}

INSTANTIATE_TEST_SUITE_P(Typed, BadTyped, ::testing::ValuesIn(kTypedRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The hours box of the timed power-off: only a positive number of hours
// within the countdown's range starts it.

struct HoursRow {
  const char* name;
  std::string typed;
  const char* label;  // the countdown shown, or null when none may start
};

std::ostream& operator<<(std::ostream& out, const HoursRow& row) { return out << row.name; }

const HoursRow kHoursRows[] = {
    {"NotANumber", "abc", nullptr},
    {"Half", "0.5", "00时30分00秒后关机"},
    {"Largest", "596523", "596523时00分00秒后关机"},
    {"PastLargest", "596524", nullptr},
    {"Negative", "-1", nullptr},
    {"Zero", "0", nullptr},
    {"UnderASecond", "0.0001", nullptr},
    {"HundredKBOfNines", std::string(100 << 10, '9'), nullptr},
    {"FullWidthDigits", "\xEF\xBC\x91\xEF\xBC\x92", nullptr},
    {"Emoji", "\xF0\x9F\x98\x80" "3", nullptr},
};

class HoursBox : public ::testing::TestWithParam<HoursRow> {
 protected:
  static void SetUpTestSuite() {
    for (const char* f : {kIniPath, kBlackPath, kWhitePath}) Clear(f);
    program_ = new Program(ProgramPath());
    main_ = StartReady(*program_);
  }
  static void TearDownTestSuite() {
    if (main_) CloseAndExpectEnd(*program_, main_);
    delete program_;
  }
  static Program* program_;
  static HWND main_;
};
Program* HoursBox::program_ = nullptr;
HWND HoursBox::main_ = nullptr;

TEST_P(HoursBox, StartsOnlyAPositiveCountdown) {
  const HoursRow& row = GetParam();
  ASSERT_TRUE(main_);
  TypeAndEnter(main_, Ctl::组合框_关机, row.typed);
  HWND label = FindControl(main_, Ctl::标签关机);
  if (row.label) {
    EXPECT_EQ(WindowText(label), row.label);
    EXPECT_TRUE(IsWindowVisible(label));
    EXPECT_TRUE(IsChecked(main_, Ctl::选择框关机));
    Click(FindControl(main_, Ctl::选择框关机));  // cancelled again
  }
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(label) && !IsChecked(main_, Ctl::选择框关机); }, 3000))
      << "a countdown runs: " << WindowText(label);
  EXPECT_TRUE(Answers(main_));
}

INSTANTIATE_TEST_SUITE_P(Hours, HoursBox, ::testing::ValuesIn(kHoursRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumora::e2e
