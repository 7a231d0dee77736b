#include "app/word_get_dialog.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>

#include "app/qt_text.h"
#include "app/termination_signals.h"

// The animation frames live in the app library, so their registration must be pulled in.
static void RegisterAnimationFrames() { Q_INIT_RESOURCE(animation); }

namespace quillmark {
namespace {

// The paint box: draws one frame of the animation at (0, 0) over the button face.
class FramePaintBox : public QWidget {
 public:
  FramePaintBox(QWidget* parent, const std::array<QPixmap, 6>& frames, const int& shown)
      : QWidget(parent), frames_(frames), shown_(shown) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.drawPixmap(0, 0, frames_[static_cast<std::size_t>(shown_)]);
  }

 private:
  const std::array<QPixmap, 6>& frames_;
  const int& shown_;
};

// A status line longer than the list is wide is read whole in its tooltip. From the line's
// own text when asked, not stored per line: the list takes thousands of lines a second.
class WholeLineTips : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || !index.isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view,
                       view->visualRect(index));
    return true;
  }
};

}  // namespace

TWordGetDialog::TWordGetDialog(QWidget* owner, Intervals intervals)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  RegisterAnimationFrames();
  fetch_.SetTimeOut(intervals.clientTimeOutMs);

  setObjectName(QStringLiteral("WordGetDialog"));
  setWindowTitle(QStringLiteral("インターネットより単語を取得中です"));
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  KeepClientSizeCentred(this, QSize(461, 197));

  label_ = new QLabel(QStringLiteral("--"), this);
  label_->setObjectName(QStringLiteral("Label"));
  label_->setFont(PixelFont(font().family(), 15));
  label_->move(18, 22);
  label_->resize(330, 20);

  for (std::size_t i = 0; i < frames_.size(); ++i) {
    frames_[i].load(QStringLiteral(":/animation/frame%1.png").arg(i));
  }
  paintBox_ = new FramePaintBox(this, frames_, frameShown_);
  paintBox_->setObjectName(QStringLiteral("PaintBox"));
  paintBox_->setGeometry(359, 11, 80, 36);

  statusListBox_ = new QListWidget(this);
  statusListBox_->setObjectName(QStringLiteral("StatusListBox"));
  statusListBox_->setGeometry(14, 54, 433, 97);
  statusListBox_->setFont(PixelFont(font().family(), 12));
  statusListBox_->setUniformItemSizes(true);
  statusListBox_->setItemDelegate(new WholeLineTips(statusListBox_));
  QPalette white = statusListBox_->palette();
  white.setColor(QPalette::Base, Qt::white);
  statusListBox_->setPalette(white);

  cancelButton_ = new QPushButton(QStringLiteral("中止"), this);
  cancelButton_->setObjectName(QStringLiteral("CancelButton"));
  cancelButton_->setGeometry(350, 162, 97, 21);
  connect(cancelButton_, &QPushButton::clicked, this, &TWordGetDialog::CancelButtonClick);

  // Before the crawl, whose proxy lines wait for it.
  displayTimer_ = new QTimer(this);
  displayTimer_->setSingleShot(true);
  displayTimer_->setInterval(kDisplayIntervalMs);
  connect(displayTimer_, &QTimer::timeout, this, &TWordGetDialog::ShowPendingTexts);

  CrawlView& view = *this;
  crawl_ = std::make_unique<GatheringCrawl>(fetch_, view, SystemTickCount(),
                                            ProxySettingFromEnvironment());
  crawl_->SetWatchdogMs(intervals.watchdogMs);
  // A long parse pumps no events: a signal ends it at once, 中止 at its time budget.
  crawl_->SetReadingStop(&TerminationSignals::SignalTaken);
  watchdogMs_ = intervals.watchdogMs;

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer"));
  timer_->setInterval(static_cast<int>(intervals.tickMs));
  connect(timer_, &QTimer::timeout, this, &TWordGetDialog::TimerTimer);
  timer_->start();
}

TWordGetDialog::~TWordGetDialog() = default;

void TWordGetDialog::SetSiteList(const std::vector<std::string>& sites) {
  crawl_->SetSiteList(sites);
  sites_ = sites;
}

void TWordGetDialog::SetLinkOptions(bool isLevel, std::int32_t allowedLevel) {
  SetLinkOptions(LinkOptions{isLevel, allowedLevel});
}

void TWordGetDialog::SetLinkOptions(const LinkOptions& options) {
  crawl_->SetLinkOptions(options);
  if (options.FetchHttps) crawl_->SetHttpsProxy(HttpsProxySettingFromEnvironment());
  if (!ReadsSitesSideBySide(options)) return;
  CrawlView& view = *this;
  press_ = std::make_unique<SitesSideBySide>(view, SystemTickCount(), ProxySettingFromEnvironment(),
                                             SitesSideBySide::ProxyLines::kAlreadyWritten);
  press_->SetSiteList(sites_);
  press_->SetLinkOptions(options);
  press_->SetSitesAtOnce(sitesAtOnce_);
  press_->SetKeptArticleLookup(keptArticleLookup_);
  press_->SetWatchdogMs(watchdogMs_);
  press_->SetReadingStop(&TerminationSignals::SignalTaken);
  if (options.FetchHttps) press_->SetHttpsProxy(HttpsProxySettingFromEnvironment());
  // Room below the status list for the sites being read, one line each.
  constexpr int kLiveHeight = 100;
  KeepClientSizeCentred(this, QSize(461, 197 + kLiveHeight));
  liveSitesBox_ = new QListWidget(this);
  liveSitesBox_->setObjectName(QStringLiteral("LiveSitesBox"));
  liveSitesBox_->setGeometry(14, 157, 433, kLiveHeight - 6);
  liveSitesBox_->setFont(statusListBox_->font());
  liveSitesBox_->setUniformItemSizes(true);
  liveSitesBox_->setItemDelegate(new WholeLineTips(liveSitesBox_));
  cancelButton_->move(350, 162 + kLiveHeight);
}

void TWordGetDialog::ShowLiveLines() {
  const std::vector<std::string> lines = press_->LiveLines();
  if (lines == liveLinesShown_) return;
  liveLinesShown_ = lines;
  liveSitesBox_->clear();
  for (const std::string& line : lines) liveSitesBox_->addItem(FromMessage(line));
}

void TWordGetDialog::RunSitesSideBySide() {
  fetchLoopRunning_ = true;
  ModalResult result = ModalResult::kCancel;
  try {
    result = press_->Run(SystemTickCount, [this] {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      ShowLiveLines();
    });
  } catch (const std::exception& error) {
    ShowErrorBox(this, ErrorText(error));
  }
  fetchLoopRunning_ = false;
  ShowLiveLines();  // the last sites ended after the last pump
  ShowPendingTexts();
  timer_->stop();
  QDialog::done(result == ModalResult::kOK ? QDialog::Accepted : QDialog::Rejected);
}

void AppendStatusLines(QListWidget& list, const QStringList& lines, int shown) {
  list.addItems(lines);
  // In batches: one removal of many rows costs the view one layout, not one per row.
  if (list.count() > shown + shown / 5) list.model()->removeRows(0, list.count() - shown);
  list.setCurrentRow(list.count() - 1);
}

void TWordGetDialog::SetLabel(const std::string& text) {
  pendingLabel_ = FromMessage(text);
  if (!displayTimer_->isActive()) displayTimer_->start();  // a restart would put it off for ever
}

void TWordGetDialog::AddStatusLine(const std::string& text) {
  pendingLines_ << FromMessage(text);
  // Lines that would be cut from the list at once are not kept waiting either.
  if (pendingLines_.size() > kStatusLinesShown + kStatusLinesShown / 5)
    pendingLines_.remove(0, pendingLines_.size() - kStatusLinesShown);
  if (!displayTimer_->isActive()) displayTimer_->start();
}

void TWordGetDialog::ShowPendingTexts() {
  displayTimer_->stop();
  if (!pendingLabel_.isNull()) label_->setText(pendingLabel_);
  pendingLabel_ = QString();
  if (!pendingLines_.isEmpty())
    AppendStatusLines(*statusListBox_, pendingLines_, kStatusLinesShown);
  pendingLines_.clear();
}

void TWordGetDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    QMetaObject::invokeMethod(this, &TWordGetDialog::FormActivate, Qt::QueuedConnection);
  }
}

void TWordGetDialog::FormActivate() {
  if (press_) {
    RunSitesSideBySide();
    return;
  }
  crawl_->Start();
  RunFetchLoop();
}

void TWordGetDialog::RunFetchLoop() {
  // A queued start may arrive while the loop runs (inside a pump); the running loop goes on
  // by itself.
  if (fetchLoopRunning_) return;
  fetchLoopRunning_ = true;
  try {
    FetchWhileReady(*crawl_, fetch_, SystemTickCount,
                    [] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
  } catch (const std::exception& error) {
    // Not an error of the client (those end a fetch): memory ran out. An exception must not
    // cross Qt's event loop, so it is shown here and the gathering ends with what it has.
    ShowErrorBox(this, ErrorText(error));
    crawl_->EndFetch(FetchEnding{});  // a client error: the fetch has returned
    crawl_->Cancel();
  }
  fetchLoopRunning_ = false;
  CloseWhenTheCrawlCloses();
}

void TWordGetDialog::TimerTimer() {
  if (press_) {  // the press ticks its sites itself; the timer only turns the animation
    frameShown_ = (frameShown_ + 1) % static_cast<int>(frames_.size());
    paintBox_->update();
    return;
  }
  crawl_->Tick(SystemTickCount());
  if (crawl_->Result() != ModalResult::kNone) {
    CloseWhenTheCrawlCloses();
    return;
  }
  frameShown_ = crawl_->AnimationCounter() % static_cast<int>(frames_.size());
  paintBox_->update();
  // The watchdog ended a wait while no loop was running: the next fetch starts from a queued
  // call, not inside this slot (a fetch there would silence the timer for its whole length).
  if (crawl_->ReadyForFetch() && !fetchLoopRunning_) {
    QMetaObject::invokeMethod(this, &TWordGetDialog::RunFetchLoop, Qt::QueuedConnection);
  }
}

void TWordGetDialog::CancelButtonClick() {
  if (press_) {  // every transfer ends now; the press's Run returns and closes the dialog
    press_->Cancel();
    return;
  }
  crawl_->Cancel();
  CloseWhenTheCrawlCloses();
}

void TWordGetDialog::reject() { CancelButtonClick(); }

void TWordGetDialog::CloseWhenTheCrawlCloses() {
  if (crawl_->Result() != ModalResult::kNone) ShowPendingTexts();
  switch (crawl_->Result()) {
    case ModalResult::kNone:
      return;
    case ModalResult::kOK:
      timer_->stop();
      QDialog::done(QDialog::Accepted);
      return;
    case ModalResult::kCancel:
      timer_->stop();
      QDialog::done(QDialog::Rejected);
      return;
  }
}

}  // namespace quillmark
