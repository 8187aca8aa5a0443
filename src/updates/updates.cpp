#include "updates/updates.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/gbk.h"
#include "common/numbers.h"
#include "common/stop_state.h"
#include "common/text.h"
#include "ui/window_layout.h"
#include "updates/servers.h"

namespace lumora {
namespace {

bool HasVisibleText(const HtmlDocument& document) {
  const std::string text = document.PlainText();
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return c != ' ' && c != '\n' && c != '\t' && c != '\r'; });
}

// At most `max_bytes` bytes and `max_lines` lines of a UTF-8 text, never a
// character cut in two. The offer must fit on the screen to be answered.
std::string Shortened(std::string_view text, std::size_t max_bytes, int max_lines) {
  std::size_t end = 0;
  for (int lines = 0; end < text.size() && end < max_bytes; ++end)
    if (text[end] == '\n' && ++lines == max_lines) break;
  while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

}  // namespace

UpdateDocument ReadUpdateDocument(std::string_view text) {
  return {TextBetween(text, "[version1]", "[version2]"),
          TextBetween(text, "[content1]", "[content2]"),
          TextBetween(text, "[downurl1]", "[downurl2]"), TextBetween(text, "[gwurl1]", "[gwurl2]")};
}

bool IsNewerVersion(std::string_view offered, std::string_view own) {
  return ParseLeadingNumber(offered) - ParseLeadingNumber(own) > 1e-7;
}

std::string UpdateQuestion(const UpdateDocument& document) {
  return "亲！检测到最新V" + Shortened(document.version, 64, 1) +
         "版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n" + Shortened(document.notes, 1500, 20);
}

bool BannerWanted(std::string_view document) {
  return TextBetween(document, "[up1]", "[up2]") == "1";
}

std::string BodyText(std::string_view bytes, bool html) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  const std::string_view head = bytes.substr(0, 2048);
  const std::size_t meta = FindNoCase(head, "<meta");
  if (!html || meta == std::string_view::npos) return GbkToUtf8(bytes);
  for (std::size_t at = FindNoCase(head, "charset=", meta); at != std::string_view::npos;
       at = FindNoCase(head, "charset=", at + 1)) {
    std::string_view value = head.substr(at + 8);
    while (!value.empty() && (value.front() == '"' || value.front() == '\'' || value.front() == ' '))
      value.remove_prefix(1);
    if (FindNoCase(value, "utf-8") == 0 || FindNoCase(value, "utf8") == 0)
      return std::string(bytes);
  }
  return GbkToUtf8(bytes);
}

Subsystem Updates::Registration() {
  Subsystem s;
  s.name = "updates";
  s.startup = {
      {StartupPhase::kLaunch,
       [this](const StartupInfo&) {
         WorkerHandle worker = p_.host.StartWorkerThread([this] { NoticeLoader(); });
         std::lock_guard lock(mutex_);
         notice_worker_ = std::move(worker);
         return true;
       }},
      {StartupPhase::kOsKnown,
       [this](const StartupInfo&) {
         FetchUpdateDocument();
         return true;
       }},
      {StartupPhase::kOffers,
       [this](const StartupInfo&) { return CheckForUpdate() && !StopRequested(); }},
      {StartupPhase::kBackground,
       [this](const StartupInfo&) {
         RequestStatistics();
         return true;
       }},
  };
  s.menus = {{MenuItem::官方网站, [this] { OpenOfficialSite(); }}};
  for (Ctl view : {Ctl::简单超文本框1, Ctl::超文本浏览框1})
    s.controls.push_back({view, ControlEvent::kClick, [this, view](int link) {
                            OnLinkClicked(view, link);
                          }});
  s.stop_workers = [this] { StopWorkers(); };
  return s;
}

std::string Updates::Url(const SettingKey& server, std::string_view path) const {
  return ServerUrl(p_.settings.Read(server), path);
}

std::string Updates::FetchText(const SettingKey& server, std::string_view path, bool html) {
  const std::string url = Url(server, path);
  if (url.empty()) return {};
  std::optional<std::string> body = p_.http.Fetch(url);
  return body ? BodyText(*body, html) : std::string();
}

void Updates::Show(Ctl view, HtmlDocument document) {
  // Kept before it is shown, so that a click on the new text finds its links.
  {
    std::lock_guard lock(mutex_);
    (view == Ctl::简单超文本框1 ? help_ : banner_) = document;
  }
  p_.html.ShowHtml(view, document);
}

void Updates::NoticeLoader() {
  // The help page is never empty: our own text until the server's arrives.
  Show(Ctl::简单超文本框1, ParseHtml(kBuiltInHelp));

  const std::string document =
      FetchText(setting::kUpdateServer, server_path::kUpdateDocument, false);
  if (StopRequested()) return;
  if (BannerWanted(document)) {
    HtmlDocument notice =
        ParseHtml(FetchText(setting::kUpdateServer, server_path::kNoticePage, true));
    if (StopRequested()) return;
    if (HasVisibleText(notice)) {
      Show(Ctl::超文本浏览框1, std::move(notice));
      p_.ui.SetVisible(Ctl::分组框7, true);
      p_.ui.SetVisible(Ctl::超文本浏览框1, true);
      p_.ui.SetEnabled(Ctl::超文本浏览框1, true);
    }
  }

  HtmlDocument help = ParseHtml(FetchText(setting::kWebServer, server_path::kHelpText, true));
  if (StopRequested()) return;
  if (HasVisibleText(help)) Show(Ctl::简单超文本框1, std::move(help));
}

void Updates::FetchUpdateDocument() {
  auto pending = std::make_shared<PendingText>();
  WorkerHandle worker;
  if (Url(setting::kUpdateServer, server_path::kUpdateDocument).empty()) {
    pending->done = true;  // no update server: nothing to wait for
  } else {
    worker = p_.host.StartWorkerThread([this, pending] {
      std::string text = FetchText(setting::kUpdateServer, server_path::kUpdateDocument, false);
      {
        // Also when it comes too late for the offer.
        std::lock_guard lock(mutex_);
        official_site_ = ReadUpdateDocument(text).site;
      }
      std::lock_guard lock(pending->mutex);
      pending->text = std::move(text);
      pending->done = true;
    });
  }
  std::lock_guard lock(mutex_);
  update_document_ = std::move(pending);
  if (worker) update_worker_ = std::move(worker);
}

bool Updates::CheckForUpdate() {
  const auto take = [this] {
    std::lock_guard lock(mutex_);
    return std::exchange(update_document_, nullptr);
  };
  std::shared_ptr<PendingText> pending = take();
  if (!pending) {
    FetchUpdateDocument();  // started late: the half second below is all it gets
    pending = take();
  }
  p_.host.WaitResponsive(500);
  if (StopRequested()) return true;
  std::string text;
  {
    std::lock_guard lock(pending->mutex);
    if (!pending->done) return true;  // still on its way: as if the server were unreachable
    text = pending->text;
  }

  const UpdateDocument document = ReadUpdateDocument(text);
  {
    std::lock_guard lock(mutex_);
    official_site_ = document.site;
  }
  if (!IsNewerVersion(document.version, kProgramVersion)) return true;
  const MessageResult answer = p_.ui.ShowMessage(UpdateQuestion(document), update_text::kBoxTitle,
                                                 MessageIcon::kNone, MessageButtons::kYesNo);
  if (answer != MessageResult::kYes) return true;

  // Also without a usable download address the program ends: the user chose
  // to leave for the new version.
  OpenWebAddress(p_.browser, document.download);
  p_.ui.SetMainVisible(false);
  p_.hotspot.AbortAndResetHotspot();
  if (p_.end_program) p_.end_program();
  return false;
}

void Updates::RequestStatistics() {
  const std::string url = Url(setting::kWebServer, server_path::kStatistics);
  if (url.empty()) return;
  WorkerHandle worker = p_.host.StartWorkerThread([this, url] { p_.http.Fetch(url); });
  std::lock_guard lock(mutex_);
  statistics_worker_ = std::move(worker);
}

std::string Updates::OfficialSiteUrl() const {
  std::lock_guard lock(mutex_);
  return official_site_;
}

void Updates::OpenOfficialSite() { OpenWebAddress(p_.browser, OfficialSiteUrl()); }

void Updates::OnLinkClicked(Ctl view, int link) {
  std::string target;
  {
    std::lock_guard lock(mutex_);
    const HtmlDocument& shown = view == Ctl::简单超文本框1 ? help_ : banner_;
    if (link < 0 || link >= int(shown.links.size())) return;
    target = shown.links[std::size_t(link)];
  }
  // A path on the server the document came from.
  const SettingKey& server =
      view == Ctl::简单超文本框1 ? setting::kWebServer : setting::kUpdateServer;
  if (target.size() > 1 && target[0] == '/' && target[1] != '/') target = Url(server, target);
  OpenWebAddress(p_.browser, target);
}

void Updates::StopWorkers() {
  std::vector<WorkerHandle> workers;
  {
    std::lock_guard lock(mutex_);
    workers = {notice_worker_, update_worker_, statistics_worker_};
  }
  for (const WorkerHandle& worker : workers)
    if (worker) p_.host.StopWorkerThread(worker);
}

}  // namespace lumora
