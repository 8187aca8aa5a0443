#pragma once
// Update offer, notice banner, help page and the official site: what the
// program learns from its maker's servers at start. Every failure is silent;
// the help page then shows the program's own help text.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "common/command_host.h"
#include "common/settings.h"
#include "hotspot/hotspot_control.h"
#include "ui/subsystem.h"
#include "ui/window_port.h"
#include "updates/html.h"
#include "updates/web_ports.h"

namespace lumora {

// The values of the update document (GBK on the server, UTF-8 here), each
// found between its pair of markers.
struct UpdateDocument {
  std::string version;   // [version1] ... [version2]
  std::string notes;     // [content1] ... [content2]
  std::string download;  // [downurl1] ... [downurl2]
  std::string site;      // [gwurl1] ... [gwurl2]
};
UpdateDocument ReadUpdateDocument(std::string_view text);

// True when the offered version is a larger number than ours ("5.10" is not
// newer than "5.1"; text that is no number counts as 0).
bool IsNewerVersion(std::string_view offered, std::string_view own);
// The question of the update box.
std::string UpdateQuestion(const UpdateDocument& document);
// The banner is shown exactly when the flag between [up1] and [up2] is "1".
bool BannerWanted(std::string_view document);

// A body from the servers as UTF-8: GBK unless it starts with a UTF-8 byte
// order mark or, for a page, declares UTF-8 in a <meta> tag.
std::string BodyText(std::string_view bytes, bool html);

// Shown on the page "帮助信息" whenever the server's help text is missing.
extern const char kBuiltInHelp[];

namespace update_text {
inline constexpr char kBoxTitle[] = "更新提示";
}

struct UpdatesPorts {
  WindowPort& ui;
  SettingsStore& settings;
  CommandHost& host;
  HttpPort& http;  // already bounded in time (BoundedHttp)
  BrowserPort& browser;
  HtmlViewPort& html;
  HotspotControl& hotspot;
  // Ends the program after an accepted update (the windows go, the message
  // loop ends).
  std::function<void()> end_program;
};

class Updates {
 public:
  explicit Updates(UpdatesPorts ports) : p_(std::move(ports)) {}
  Updates(const Updates&) = delete;
  Updates& operator=(const Updates&) = delete;

  // Launch: the notice worker. OsKnown: the update document's request.
  // Offers: the update check. Background: the statistics request. Menu
  // "官方网站". Link clicks in both HTML views.
  Subsystem Registration();

  // Notice worker: the banner when the update document asks for it, and the
  // help page.
  void NoticeLoader();
  // Starts the update check's request on its own worker, so that the
  // start-up sequence never waits for the network: once the start-up comes
  // to the offer, the document is there or the offer is skipped.
  void FetchUpdateDocument();
  // Asks about a newer version, after the usual half second, with the
  // document fetched by FetchUpdateDocument (started here when it was not).
  // False when the user accepted: the download page is opened (when the
  // document names a web address), the hotspot reset and the program ending.
  bool CheckForUpdate();
  // One request for the statistics page on its own worker; the answer is
  // not read.
  void RequestStatistics();
  void OpenOfficialSite();
  // A link of a document shown in `view` was clicked.
  void OnLinkClicked(Ctl view, int link);

  std::string OfficialSiteUrl() const;
  // Asks the notice, update document and statistics workers to stop and
  // waits for them.
  void StopWorkers();

 private:
  std::string Url(const SettingKey& server, std::string_view path) const;
  // The body as text; empty when there is no such server or the request failed.
  std::string FetchText(const SettingKey& server, std::string_view path, bool html);
  void Show(Ctl view, HtmlDocument document);

  struct PendingText {
    std::mutex mutex;
    bool done = false;
    std::string text;
  };

  UpdatesPorts p_;
  mutable std::mutex mutex_;  // guards what follows
  std::string official_site_;
  HtmlDocument help_, banner_;  // as shown, for their links
  std::shared_ptr<PendingText> update_document_;
  WorkerHandle notice_worker_, update_worker_, statistics_worker_;
};

}  // namespace lumora
