// Update offer, notices, help page, the HTML model and the guards around
// addresses and requests that come from the network.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "common/gbk.h"
#include "common/text.h"
#include "fakes/fake_host.h"
#include "fakes/fake_hotspot.h"
#include "fakes/memory_files.h"
#include "fakes/memory_window.h"
#include "ui/event_table.h"
#include "updates/html_layout.h"
#include "updates/servers.h"
#include "updates/updates.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

// Answers from a table of bodies; an address not in it fails. With `hold`
// set, every request blocks until `Release` or a stop request.
class FakeHttp : public HttpPort {
 public:
  std::optional<std::string> Fetch(const std::string& url) override {
    StopState* stop = CurrentStop();
    const int waker = stop ? stop->AddWaker([this] { Release(false); }) : 0;
    std::unique_lock lock(mutex_);
    requested.push_back(url);
    released_.wait(lock, [&] { return !hold || (stop && stop->StopRequested()); });
    lock.unlock();
    if (stop) stop->RemoveWaker(waker);
    ++ended;
    auto it = bodies.find(url);
    return it == bodies.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  void Release(bool unhold = true) {
    std::lock_guard lock(mutex_);
    if (unhold) hold = false;
    released_.notify_all();
  }
  std::map<std::string, std::string> bodies;  // GBK, as the servers send them
  std::vector<std::string> requested;
  bool hold = false;
  std::atomic<int> ended{0};

 private:
  std::mutex mutex_;
  std::condition_variable released_;
};

struct Recorder : BrowserPort, HtmlViewPort, fakes::FakeHotspot {
  void Open(const std::string& url) override { opened.push_back(url); }
  void ShowHtml(Ctl view, const HtmlDocument& d) override {
    std::lock_guard lock(mutex);
    shown[view] = d.PlainText();
  }
  void HotspotCalled(std::string_view name) override {
    if (name == "AbortAndResetHotspot") ++resets;
  }
  std::mutex mutex;
  std::vector<std::string> opened;
  std::map<Ctl, std::string> shown;
  int resets = 0;
};

class UpdatesTest : public ::testing::Test {
 protected:
  void TearDown() override { host.StopAll(); }
  void Servers(const char* update, const char* web) {
    settings.Write(setting::kUpdateServer, update);
    settings.Write(setting::kWebServer, web);
  }
  void Serve(const std::string& url, const std::string& utf8) { http.bodies[url] = Utf8ToGbk(utf8); }

  fakes::MemoryWindow ui;
  fakes::MemoryFiles files;
  SettingsStore settings{files};
  fakes::FakeHost host;
  FakeHttp http;
  Recorder rec;
  int ended = 0;
  Updates updates{{ui, settings, host, http, rec, rec, rec, [this] { ++ended; }}};
};

TEST(UpdateDocumentTest, VersionAndBannerMarkers) {
  struct Case {
    const char* document;
    bool newer, banner;
  } cases[] = {
      {"[version1]5.10[version2]", false, false},  // 5.1 written with a trailing zero
      {"[version1]6[version2]", true, false},
      {"[version1]5.2[version2]", true, false},
      {"[version1]5.0[version2]", false, false},
      {"[VERSION1]6[Version2] [UP1]1[uP2]", true, true},
      {"[version1]6", false, false},                // no closing marker: empty
      {"[version1]abc[version2]", false, false},
      {"", false, false},
      {"x[up1]1[up2]y", false, true},
      {"[up1] 1[up2]", false, false},
      {"[up1]1 [up2]", false, false},
      {"[up1]01[up2]", false, false},
      {"[up1]1", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    EXPECT_EQ(IsNewerVersion(ReadUpdateDocument(c.document).version, "5.1"), c.newer);
    EXPECT_EQ(BannerWanted(c.document), c.banner);
  }
}

TEST(UpdateDocumentTest, BodiesAreGbkUnlessTheySayUtf8) {
  const std::string utf8 = "帮助";
  const std::string meta = "<meta charset=\"UTF-8\">";
  EXPECT_EQ(BodyText(Utf8ToGbk(utf8), true), utf8);
  EXPECT_EQ(BodyText("\xEF\xBB\xBF" + utf8, false), utf8);
  EXPECT_EQ(BodyText(meta + utf8, true), meta + utf8);
  EXPECT_EQ(BodyText(Utf8ToGbk("charset=utf-8 " + utf8), true), "charset=utf-8 " + utf8);
  EXPECT_EQ(BodyText(Utf8ToGbk(meta + utf8), false), meta + utf8);  // the update document
}

// Yes and No, with good and bad download addresses: only a web address is
// ever opened, and Yes always ends the program after the hotspot's reset.
TEST_F(UpdatesTest, UpdateOfferYesAndNo) {
  struct Case {
    MessageResult answer;
    const char* download;
    bool opened;
  } cases[] = {
      {MessageResult::kYes, "http://dl.example/LumoraWiFi6.exe", true},
      {MessageResult::kYes, "", false},
      {MessageResult::kYes, "C:\\Windows\\System32\\cmd.exe", false},
      {MessageResult::kNo, "http://dl.example/LumoraWiFi6.exe", false},
  };
  Servers("http://up.example/", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.download);
    Serve("http://up.example/updata.txt",
          std::string("[version1]6.0[version2][content1]一、更快\r\n二、更稳[content2][downurl1]") +
              c.download + "[downurl2][gwurl1]http://www.example/[gwurl2]");
    updates.FetchUpdateDocument();
    ASSERT_TRUE(host.WaitForAllWorkers());
    ui.answers.push_back(c.answer);
    const std::size_t opened_before = rec.opened.size();
    const int ended_before = ended, resets_before = rec.resets;
    ui.SetMainVisible(true);

    const bool yes = c.answer == MessageResult::kYes;
    EXPECT_EQ(updates.CheckForUpdate(), !yes);
    EXPECT_EQ(ui.messages.back().text,
              "亲！检测到最新V6.0版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n一、更快\r\n二、更稳");
    EXPECT_EQ(ui.messages.back().title, "更新提示");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::kNone);
    EXPECT_EQ(ui.messages.back().buttons, MessageButtons::kYesNo);
    EXPECT_EQ(rec.opened.size() - opened_before, c.opened ? 1u : 0u);
    EXPECT_EQ(ui.MainVisible(), !yes);
    EXPECT_EQ(rec.resets - resets_before, yes ? 1 : 0);
    EXPECT_EQ(ended - ended_before, yes ? 1 : 0);
    EXPECT_EQ(updates.OfficialSiteUrl(), "http://www.example/");
  }
  EXPECT_EQ(host.Waits(), std::vector<int>(4, 500));
}

TEST(WebAddressTest, OnlyHttpAndHttpsAreOpened) {
  struct Case {
    const char* address;
    const char* opened;  // null: nothing
  } cases[] = {
      {"http://www.example/", "http://www.example/"},
      {"HTTPS://www.example/a?b=1", "HTTPS://www.example/a?b=1"},
      {"\r\n http://www.example/ \r\n", "http://www.example/"},
      {"", nullptr},
      {"http://", nullptr},
      {"www.example.com", nullptr},
      {"file:///C:/Windows/System32/calc.exe", nullptr},
      {"javascript:alert(1)", nullptr},
      {"ftp://files.example/", nullptr},
      {"C:\\Windows\\System32\\cmd.exe", nullptr},
      {"http://a.example/ \"C:\\evil.exe\"", nullptr},
      {"http://a.example/\r\ncalc.exe", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    Recorder rec;
    EXPECT_EQ(OpenWebAddress(rec, c.address), c.opened != nullptr);
    EXPECT_EQ(rec.opened, c.opened ? std::vector<std::string>{c.opened} : std::vector<std::string>{});
  }
  EXPECT_EQ(ServerUrl("http://a.example/", "/updata.txt"), "http://a.example/updata.txt");
  EXPECT_EQ(ServerUrl("https://a.example", "/sygg.html"), "https://a.example/sygg.html");
  EXPECT_EQ(ServerUrl("", "/updata.txt"), "");
  EXPECT_EQ(ServerUrl("file:///c:/", "/updata.txt"), "");
}

// The whole run of one start: the notice worker, the statistics request, the
// menu and a link in the help page, through the registration.
TEST_F(UpdatesTest, OneStartThroughTheRegistration) {
  Servers("http://up.example", "http://web.example");
  Serve("http://up.example/updata.txt", "[up1]1[up2][gwurl1]http://www.example/[gwurl2]");
  Serve("http://up.example/sygg.html", "<b>公告</b>：新版<script>alert(1)</script>");
  Serve("http://web.example/upwifi/bzxx.txt",
        "<p>在线帮助</p><a href=\"file:///c:/x.exe\">坏</a><a href=\"https://web.example/faq\">问答</a>"
        "<a href=\"/upwifi/qq.html\">群</a>");
  EventTable table({updates.Registration()});

  ASSERT_TRUE(table.RunStartup(StartupPhase::kLaunch, {}));
  ASSERT_TRUE(host.WaitForAllWorkers());
  EXPECT_TRUE(ui.Visible(Ctl::分组框7));
  EXPECT_TRUE(ui.Visible(Ctl::超文本浏览框1));
  EXPECT_TRUE(ui.Enabled(Ctl::超文本浏览框1));
  EXPECT_EQ(rec.shown[Ctl::超文本浏览框1], "公告：新版");
  EXPECT_EQ(rec.shown[Ctl::简单超文本框1], "在线帮助\n\n坏问答群");

  ASSERT_TRUE(table.RunStartup(StartupPhase::kOsKnown, {}));
  ASSERT_TRUE(host.WaitForAllWorkers());
  EXPECT_TRUE(table.RunStartup(StartupPhase::kOffers, {}));  // version 0: no offer
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(table.RunStartup(StartupPhase::kBackground, {}));
  ASSERT_TRUE(host.WaitForAllWorkers());
  EXPECT_EQ(http.requested.back(), "http://web.example/upwifi/tongji.html");

  EXPECT_TRUE(table.Choose(MenuItem::官方网站));
  EXPECT_TRUE(table.Dispatch(Ctl::简单超文本框1, ControlEvent::kClick, 0));   // file:// link
  EXPECT_TRUE(table.Dispatch(Ctl::简单超文本框1, ControlEvent::kClick, 1));
  EXPECT_TRUE(table.Dispatch(Ctl::简单超文本框1, ControlEvent::kClick, 2));   // a path on the server
  EXPECT_TRUE(table.Dispatch(Ctl::简单超文本框1, ControlEvent::kClick, 7));   // no such link
  EXPECT_EQ(rec.opened, (std::vector<std::string>{"http://www.example/", "https://web.example/faq",
                                                  "http://web.example/upwifi/qq.html"}));

  // A server that hangs: the start-up goes on without an offer, and leaving
  // stops the workers at once.
  http.hold = true;
  Serve("http://up.example/updata.txt", "[version1]9[version2]");
  ASSERT_TRUE(table.RunStartup(StartupPhase::kLaunch, {}));
  ASSERT_TRUE(table.RunStartup(StartupPhase::kOsKnown, {}));
  EXPECT_TRUE(table.RunStartup(StartupPhase::kOffers, {}));
  EXPECT_TRUE(ui.messages.empty());
  table.StopWorkers();
  EXPECT_TRUE(host.WaitForAllWorkers(0ms));
}

// The help page is never empty; the banner needs exactly "1" and a page.
TEST_F(UpdatesTest, HelpPageFallsBackToOurOwnText) {
  struct Case {
    const char* update;
    const char* web;
    const char* banner_flag;
    const char* help;  // null: the request fails
  } cases[] = {
      {"", "", "1", "x"},                                  // no servers: nothing fetched
      {"http://up.example", "http://web.example", " 1", nullptr},
      {"http://up.example", "http://web.example", "1", "<br>&nbsp;<script>x</script>"},
  };
  const std::string own = ParseHtml(kBuiltInHelp).PlainText();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.web);
    Servers(c.update, c.web);
    http.bodies.clear();
    http.requested.clear();
    Serve("http://up.example/updata.txt", std::string("[up1]") + c.banner_flag + "[up2]");
    if (c.help) Serve("http://web.example/upwifi/bzxx.txt", c.help);
    updates.NoticeLoader();
    EXPECT_EQ(rec.shown[Ctl::简单超文本框1], own);
    EXPECT_FALSE(ui.Visible(Ctl::分组框7));  // flag not "1", or the notice page failed
    EXPECT_EQ(http.requested.empty(), *c.update == '\0');
  }
  // What the program's messages send users to find.
  for (const char* topic : {"以管理员身份运行", "ncpa.cpl", "允许其他网络用户", "Fn+F2",
                            "netsh wlan show drivers", "services.msc", "Internet Connection Sharing"})
    EXPECT_NE(own.find(topic), std::string::npos) << topic;
}

TEST(BoundedHttpTest, GivesUpAfterTheBoundOrWhenTheWorkerStops) {
  auto slow = std::make_shared<FakeHttp>();
  slow->bodies["http://a/"] = "body";
  BoundedHttp bounded(slow, 100ms);
  EXPECT_EQ(bounded.Fetch("http://a/"), "body");

  slow->hold = true;  // a server that accepts and never answers
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(bounded.Fetch("http://a/"), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  for (int i = 0; i < 200 && slow->ended < 2; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(slow->ended, 2);  // the abandoned request was asked to stop

  BoundedHttp patient(slow, 1h);
  fakes::FakeHost host;
  std::atomic<bool> failed{false};
  WorkerHandle worker =
      host.StartWorkerThread([&] { failed = !patient.Fetch("http://a/").has_value(); });
  std::this_thread::sleep_for(50ms);
  start = std::chrono::steady_clock::now();
  EXPECT_TRUE(host.StopWorkerThread(worker));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_TRUE(failed);
  slow->Release();  // the abandoned helpers end
}

TEST(HtmlTest, TextBreaksAndEntities) {
  struct Case {
    const char* html;
    const char* text;
  } cases[] = {
      {"  a \r\n  b  ", "a b"},
      {"a<br>b<BR/>c</br>d", "a\nb\nc\nd"},
      {"<p>a</p><p>b</p>c", "a\n\nb\n\nc"},
      {"<div>a</div><div>b</div>", "a\nb"},
      {"<ul><li>a<li>b</ul>", "\xE2\x80\xA2 a\n\xE2\x80\xA2 b"},
      {"&lt;&amp;&gt;&quot;&#39;&#x4E2D;&#25991;&copy;", "<&>\"'中文\xC2\xA9"},
      {"a&nbsp;&nbsp;b &unknown; & &amp", "a  b &unknown; & &amp"},
      {"&#0;&#xD800;&#99999999999999999999;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"<script>alert('<b>x</b>')</script>a<SCRIPT >x</SCRIPT\n>b", "ab"},
      {"<style>p{color:red}</style><title>t</title>中", "中"},
      {"a<!-- <b>c</b> -->b<!DOCTYPE html><?xml x?>", "ab"},
      {"1 < 2 <3 </ >x", "1 < 2 <3 x"},
      {"a<b", "a"},                        // ends inside a tag
      {"a<script>never closed", "a"},
      {"a<!-- never closed", "a"},
      {"<a href=\"x>y\">z</a><font color='red", "z"},
      {"</b></font></a></p>a", "a"},       // closings without openings
      {"\xFF\xFEok", "\xEF\xBF\xBD\xEF\xBF\xBDok"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(ParseHtml(c.html).PlainText(), c.text);
  }
}

TEST(HtmlTest, StylesAndLinks) {
  const HtmlDocument d = ParseHtml(
      "<font color=\"#FF0000\" size=5>红<b>粗</font>体</b>"
      "<a href=' http://x.example/?a=1&amp;b=2 '><u>链</u>接</a><h2>题</h2>"
      "<font color=bogus size=+9>大</font><font color=#0f0 size=-9>小</font>");
  ASSERT_EQ(d.runs.size(), 8u);
  const auto& r = d.runs;
  EXPECT_EQ(r[0].text, "红");
  EXPECT_TRUE(r[0].style.has_colour);
  EXPECT_EQ(r[0].style.colour, (Colour{255, 0, 0}));
  EXPECT_EQ(r[0].style.size, 5);
  EXPECT_TRUE(r[1].style.bold && r[1].style.has_colour);  // 粗
  EXPECT_TRUE(r[2].style.bold && !r[2].style.has_colour);  // 体: </font> ends the colour only
  EXPECT_EQ(r[2].style.size, kHtmlDefaultSize);
  EXPECT_EQ(r[3].text, "链");
  EXPECT_TRUE(r[3].style.underline);
  EXPECT_EQ(r[3].link, 0);
  EXPECT_EQ(r[4].link, 0);
  EXPECT_EQ(d.links, std::vector<std::string>{"http://x.example/?a=1&b=2"});
  EXPECT_EQ(r[5].text, "\n\n题");
  EXPECT_TRUE(r[5].style.bold);
  EXPECT_EQ(r[5].style.size, 5);
  EXPECT_EQ(r[5].link, -1);
  EXPECT_EQ(r[6].text, "\n\n大");
  EXPECT_FALSE(r[6].style.has_colour);
  EXPECT_EQ(r[6].style.size, 7);
  EXPECT_EQ(r[7].style.colour, (Colour{0, 255, 0}));
  EXPECT_EQ(r[7].style.size, 1);
}

TEST(HtmlTest, HostileNestingAndSizeNeverBreakIt) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<b><font color=red><a href=http://x>";
  deep += "x";
  const HtmlDocument d = ParseHtml(deep);
  EXPECT_EQ(d.PlainText(), "x");
  std::string attributes = "<font";
  for (int i = 0; i < 10000; ++i) attributes += " a=\"&#x10FFFF;\"";
  EXPECT_EQ(ParseHtml(attributes + ">y").PlainText(), "y");
}

// Letters 10 px wide, ideographs 20; lines 4 px per font size step.
struct FixedMeasure : HtmlMeasure {
  int calls = 0;
  int TextWidth(const HtmlStyle&, std::string_view t) override {
    ++calls;
    int w = 0;
    for (std::size_t i = 0; i < t.size(); i += std::max<std::size_t>(1, Utf8CharLength(t, i)))
      w += Utf8CharLength(t, i) == 3 ? 20 : 10;
    return w;
  }
  int LineHeight(const HtmlStyle& s) override { return 4 * s.size; }
};

TEST(HtmlLayoutTest, LinesAndLinks) {
  struct Case {
    const char* html;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"hello world", 60, {"hello", "world"}},
      {"hello world", 110, {"hello world"}},
      {"中文字符，好", 50, {"中文", "字符", "，好"}},
      {"abcdefghijkl", 50, {"abcde", "fghij", "kl"}},
      {"a<br><br>b", 50, {"a", "", "b"}},
      {"<b>bold</b> <i>it</i>", 60, {"bold", "it"}},
      {"<b>bold</b> <i>it</i>", 70, {"bold it"}},
  };
  FixedMeasure measure;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    const HtmlLayout layout = LayoutHtml(ParseHtml(c.html), c.width, measure);
    std::vector<std::string> lines;
    for (const HtmlLine& line : layout.lines) {
      lines.emplace_back();
      for (const HtmlFragment& f : line.fragments) lines.back() += f.text;
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(layout.height, int(c.lines.size()) * 12);
  }
  const HtmlDocument d = ParseHtml("go <a href=http://x>here</a><br><font size=6>big</font>");
  const HtmlLayout layout = LayoutHtml(d, 400, measure);
  EXPECT_EQ(layout.LinkAt(d, 35, 5), 0);   // "here" runs from x 30 to 70
  EXPECT_EQ(layout.LinkAt(d, 25, 5), -1);  // the blank before it
  EXPECT_EQ(layout.LinkAt(d, 35, 20), -1);
  EXPECT_EQ(layout.lines[1].height, 24);
  EXPECT_EQ(layout.height, 36);

  // A word far wider than the view, then a page of ideographs: each
  // character is measured once, not once for every place it stands.
  std::string page = std::string(100000, 'h') + " ";
  for (int i = 0; i < 10000; ++i) page += "中文";
  measure.calls = 0;
  const HtmlLayout long_one = LayoutHtml(ParseHtml(page), 50, measure);
  EXPECT_EQ(long_one.lines.size(), 20000u + 10000u);
  EXPECT_EQ(long_one.lines.back().fragments.back().text, "中文");
  EXPECT_LE(measure.calls, 5);  // the whole word, "h", " ", "中", "文"
}

}  // namespace
}  // namespace lumora
