#pragma once
// The gathering dialog: shows the crawl at work (progress label, animation, one status line
// per event) while it fetches the site list and the admitted links one at a time, and closes
// by itself when nothing is left or after Cancel ("中止").
//
// Thin: the crawl (gather/gathering_crawl.h) decides everything; the dialog drives it. The
// fetch loop runs from a queued call after the dialog is shown (work done inside showEvent
// would run before exec() has its loop), and pumps this window's events while the client
// waits, so the 500 ms timer (animation, watchdog, closing) and Cancel stay live during a
// fetch. They only tick or cancel the crawl there; the next fetch starts only after the
// previous Get has returned, from the loop, never inside the timer's slot or the pump.

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gather/gathering_crawl.h"
#include "gather/page_fetch.h"
#include "gather/sites_side_by_side.h"
#include "study/sentence_store.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace quillmark {

// Appends `lines` to a status list and selects the last, so that the list scrolls to it,
// keeping only the latest: once there are more than `shown` + `shown` / 5, the oldest go in one
// batch down to `shown`. A list that kept every line made each new one dearer (a crawl of
// 100,000 pages writes twice as many), and the crawl as slow as its window.
void AppendStatusLines(QListWidget& list, const QStringList& lines, int shown);

class TWordGetDialog : public QDialog, private CrawlView {
  Q_OBJECT

 public:
  // How many of the latest status lines the list shows.
  static constexpr int kStatusLinesShown = 5000;
  // The label and the status list are brought up to date at most this often: drawing them
  // for every page would cost more than fetching a page from a fast server.
  static constexpr int kDisplayIntervalMs = 100;

  // The program's intervals; tests make them short.
  struct Intervals {
    std::uint32_t tickMs = kTickIntervalMs;
    std::uint32_t watchdogMs = kWatchdogMs;
    std::uint32_t clientTimeOutMs = PageFetch::kTimeOutMs;
  };

  // Reads the proxy from the environment (http_proxy, then HTTP_PROXY) and writes its status
  // lines. Throws NetError when the socket library cannot be set up.
  TWordGetDialog(QWidget* owner, Intervals intervals);
  ~TWordGetDialog() override;

  // Before the dialog is shown.
  void SetSiteList(const std::vector<std::string>& sites);
  void SetLinkOptions(bool isLevel, std::int32_t allowedLevel);
  // With FetchHttps, also sends https through the proxy of https_proxy (then HTTPS_PROXY)
  // when one is set, with its status lines. When the day's articles are read as articles
  // (ReadsSitesSideBySide), the sites are read side by side (gather/sites_side_by_side.h) and
  // the dialog grows a list below the status list, "LiveSitesBox", with one line per site
  // being read.
  void SetLinkOptions(const LinkOptions& options);
  // How many sites are read at once on the side-by-side path; before SetLinkOptions.
  void SetSitesAtOnce(std::int32_t sites) { sitesAtOnce_ = sites; }
  // Articles kept in the history are counted from there on that path; before SetLinkOptions.
  void SetKeptArticleLookup(KeptArticleLookup lookup) { keptArticleLookup_ = std::move(lookup); }

  // The sentences of every page fetched with success, by host.
  SentenceStore CopySentenceStore() const {
    return press_ ? press_->CopySentenceStore() : crawl_->CopySentenceStore();
  }
  // What the gathering read, whichever way it ran.
  std::int32_t FetchCount() const { return press_ ? press_->FetchCount() : crawl_->FetchCount(); }
  std::vector<KeptArticle> Articles() const {
    return press_ ? press_->Articles() : crawl_->Articles();
  }
  std::vector<SiteArticleCount> SiteArticles() const {
    return press_ ? press_->SiteArticles() : crawl_->SiteArticles();
  }

  // For tests: the crawl as it stands.
  const GatheringCrawl& Crawl() const { return *crawl_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Escape asks for what Cancel does; the dialog still closes only when the crawl says so.
  void reject() override;

 private:
  void SetLabel(const std::string& text) override;
  void AddStatusLine(const std::string& text) override;

  void FormActivate();
  void RunFetchLoop();
  void RunSitesSideBySide();
  void ShowLiveLines();
  void TimerTimer();
  void CancelButtonClick();
  void CloseWhenTheCrawlCloses();
  void ShowPendingTexts();

  PageFetch fetch_;
  // Made after the controls: it writes the proxy's status lines as it is made.
  std::unique_ptr<GatheringCrawl> crawl_;
  // The side-by-side press, when the options ask for it; the crawl then only wrote the lines.
  std::unique_ptr<SitesSideBySide> press_;
  std::vector<std::string> sites_;
  std::int32_t sitesAtOnce_ = kDefaultSitesAtOnce;
  KeptArticleLookup keptArticleLookup_;
  std::uint32_t watchdogMs_ = kWatchdogMs;
  QListWidget* liveSitesBox_ = nullptr;
  std::vector<std::string> liveLinesShown_;
  bool activated_ = false;
  bool fetchLoopRunning_ = false;

  QLabel* label_ = nullptr;
  QWidget* paintBox_ = nullptr;
  QListWidget* statusListBox_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QTimer* timer_ = nullptr;
  QTimer* displayTimer_ = nullptr;  // single shot, started by the first text not yet shown
  QString pendingLabel_;
  QStringList pendingLines_;
  std::array<QPixmap, 6> frames_;
  int frameShown_ = 0;
};

}  // namespace quillmark
