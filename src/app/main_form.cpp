#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <random>

#include "app/articles_window.h"
#include "app/config_dialog.h"
#include "app/reading_window.h"
#include "app/report_saving.h"
#include "app/trends_window.h"
#include "app/vocabulary_check_dialog.h"
#include "session/hidden_words.h"
#include "session/kept_articles.h"
#include "study/known_share.h"
#include "study/sentence_finder.h"

namespace quillmark {

const char* const kNoTrendSentenceText = "この単語を含むセンテンスは見つかりませんでした。";

const char* const kDescriptionText =
    "このソフトはWeb上の主要サイトから旬な単語を探し出します。\n"
    "旬な英語の勉強に役立つと良いと思います。\n"
    "さあ、左の「Webより単語を集計」ボタンを押してはじめましょう!\n";

namespace {

constexpr int kFormWidth = 600;
constexpr int kFormHeight = 300;
constexpr int kToolBarHeight = 89;
constexpr int kExecuteButtonLeft = 460;
constexpr int kArticlesButtonTop = 18;  // above ExecuteButton, clear of the description
constexpr int kStatusPanelWidth = 150;

// What each status panel's figure counts, in the order of the panels: the figures are easy to
// misread (the size is of the kept sentences, not of what was downloaded).
constexpr const char* kStatusPanelTips[] = {
    "今回の収集で残したセンテンスの大きさ（KB、1KB＝1024バイト）です（ダウンロードしたデータ量では"
    "ありません）。",
    "残したセンテンスに現れた単語の延べ数です（変化形をまとめる前）。",
    "変化形を原形にまとめた後の異なり語数で、既知語も含みます。",
    "単語の延べ数のうち、既知語（内蔵の既知語リストとチェックした単語）が占める割合です。"
    "語彙レベルを設定すると、そのレベル内の単語も既知語に数え、研究での数え方にならって"
    "人名・地名などの固有名詞と、どの単語リストにも辞書にもない語（外国語・誤記）は"
    "分母からも除きます。",
};
constexpr const char* kLevelPanelTip =
    "よく使われる順に何語目までの単語を知っているか（設定 → 語彙チェック... で推定）。"
    "そのレベル内の単語は既知語として扱います。";
constexpr const char* kLevelOfferText =
    "語彙チェック（約5分）で、あなたの語彙数を推定しますか？\n"
    "推定した語彙レベル内の単語は既知語として扱われ、表示する単語と記事の読みやすさが"
    "あなたに合わせて選ばれます。後から 設定 → 語彙チェック... でも受けられます。";

void PaintWhite(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, Qt::white);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

TMainForm::TMainForm(Session& session, QStringList arguments, ErrorDisplay showError)
    : session_(session), arguments_(std::move(arguments)), showError_(std::move(showError)) {
  BuildControls();
  BuildMenus();
  descLabel_->setText(QString::fromUtf8(kDescriptionText));
  descLabel_->adjustSize();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildControls() {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("Quillmark"));
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐ明朝"), 12));
  KeepOuterSize(this, QSize(kFormWidth, kFormHeight), MinimumSize::kDesigned, Placement::kCentred);

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolBar_ = new QWidget(client);
  toolBar_->setObjectName("ToolBar");
  toolBar_->setFixedHeight(kToolBarHeight);
  PaintWhite(toolBar_);
  layout->addWidget(toolBar_);

  titleLabel_ = new QLabel(QStringLiteral("Quillmark"), toolBar_);
  titleLabel_->setObjectName("TitleLabel");
  titleLabel_->setFont(PixelFont(font().family(), 30));
  titleLabel_->move(4, 4);
  titleLabel_->adjustSize();

  descLabel_ = new QLabel(toolBar_);
  descLabel_->setObjectName("DescLabel");
  descLabel_->move(4, 36);

  executeButton_ = new QPushButton(QStringLiteral("Webより単語を集計"), toolBar_);
  executeButton_->setObjectName("ExecuteButton");
  executeButton_->setGeometry(kExecuteButtonLeft, 48, 125, 25);
  // Return presses the focused button as Space does, as on the desktop the program comes
  // from; and the button has the focus at start, so the keyboard alone can begin a run.
  executeButton_->setAutoDefault(true);
  executeButton_->setFocus();
  connect(executeButton_, &QPushButton::clicked, this, &TMainForm::ExecuteButtonClick);

  articlesButton_ = new QPushButton(QStringLiteral("今日の記事"), toolBar_);
  articlesButton_->setObjectName("ArticlesButton");
  articlesButton_->setGeometry(kExecuteButtonLeft, kArticlesButtonTop, 125, 25);
  connect(articlesButton_, &QPushButton::clicked, this, &TMainForm::MnuHistoryArticlesClick);

  scrollBox_ = new QScrollArea(client);
  scrollBox_->setObjectName("ScrollBox");
  scrollBox_->setFrameShape(QFrame::NoFrame);
  PaintWhite(scrollBox_);
  PaintWhite(scrollBox_->viewport());
  layout->addWidget(scrollBox_, 1);
  setCentralWidget(client);
  wordList_ = std::make_unique<TWordListView>(
      scrollBox_, [this](const std::string& caption) { ShowSentencesOf(caption); },
      [this](const std::string& caption) { webDicDialog_->OpenInWebDictionary(caption); });
  wordList_->SetKnownWordListener(
      [this](const std::string& upperWord, bool known) { RowKnownChanged(upperWord, known); });

  auto* bar = new QStatusBar(this);
  bar->setObjectName("StatusBar");
  for (int i = 0; i < static_cast<int>(statusPanels_.size()); ++i) {
    statusPanels_[i] = new QLabel(bar);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    statusPanels_[i]->setFixedWidth(kStatusPanelWidth);
    statusPanels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanels_[i]->setToolTip(QString::fromUtf8(kStatusPanelTips[i]));
    bar->addWidget(statusPanels_[i]);
  }
  levelPanel_ = new QLabel(bar);
  levelPanel_->setObjectName("VocabularyLevelPanel");
  levelPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  levelPanel_->setToolTip(QString::fromUtf8(kLevelPanelTip));
  bar->addWidget(levelPanel_);
  ShowLevel();
  setStatusBar(bar);
}

QFileDialog& TMainForm::SaveDialog() {
  // Built on first need: a file dialog loads its icons as it is built, which would cost every
  // start-up the time of a save most runs never make.
  if (saveDialog_ == nullptr) {
    saveDialog_ = new QFileDialog(this);
    saveDialog_->setObjectName("SaveDialog");
    saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    saveDialog_->setFileMode(QFileDialog::AnyFile);
    saveDialog_->setOption(QFileDialog::DontConfirmOverwrite);
  }
  return *saveDialog_;
}

void TMainForm::BuildMenus() {
  QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* saveToHtml = fileMenu->addAction(QStringLiteral("HTMLに出力(&H)"));
  saveToHtml->setObjectName("MnuSaveToHTML");
  connect(saveToHtml, &QAction::triggered, this, &TMainForm::MnuSaveToHTMLClick);
  QAction* exportCards = fileMenu->addAction(QStringLiteral("単語帳に書き出す(&E)..."));
  exportCards->setObjectName("MnuExportWordCards");
  connect(exportCards, &QAction::triggered, this, &TMainForm::MnuExportWordCardsClick);
  QAction* exit = fileMenu->addAction(QStringLiteral("終了(&X)"));
  exit->setObjectName("MnuFileExit");
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* configMenu = menuBar()->addMenu(QStringLiteral("設定(&C)"));
  QAction* option = configMenu->addAction(QStringLiteral("オプション(&O)"));
  option->setObjectName("MnuConfigOption");
  connect(option, &QAction::triggered, this, &TMainForm::MnuConfigOptionClick);
  QAction* selectDic = configMenu->addAction(QStringLiteral("使用するweb辞書の選択(&D)"));
  selectDic->setObjectName("MnuConfigSelectDic");
  connect(selectDic, &QAction::triggered, this,
          [this] { webDicDialog_->MnuConfigSelectDicClick(); });
  QAction* levelCheck = configMenu->addAction(QStringLiteral("語彙チェック..."));
  levelCheck->setObjectName("MnuConfigVocabularyCheck");
  connect(levelCheck, &QAction::triggered, this, &TMainForm::MnuConfigVocabularyCheckClick);

  QMenu* historyMenu = menuBar()->addMenu(QStringLiteral("履歴(&R)"));
  QAction* trends = historyMenu->addAction(QStringLiteral("ニュースの推移(&T)..."));
  trends->setObjectName("MnuHistoryTrends");
  connect(trends, &QAction::triggered, this, &TMainForm::MnuHistoryTrendsClick);
  QAction* articles = historyMenu->addAction(QStringLiteral("今日の記事(&A)..."));
  articles->setObjectName("MnuHistoryArticles");
  connect(articles, &QAction::triggered, this, &TMainForm::MnuHistoryArticlesClick);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // ExecuteButton keeps its distance from the right edge.
  executeButton_->move(width() - (kFormWidth - kExecuteButtonLeft), executeButton_->y());
  articlesButton_->move(executeButton_->x(), articlesButton_->y());
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  if (event->type() == QEvent::Show && !shown_) {
    shown_ = true;
    // Without a window manager (xvfb-run alone) a window is never activated; asking for it
    // helps where a manager is, and the queued call stands in for the activation where none
    // comes, after the showing has been handled.
    activateWindow();
    QMetaObject::invokeMethod(this, &TMainForm::FormActivate, Qt::QueuedConnection);
  }
  return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) emit Closed();
}

bool TMainForm::HasAutoSwitch() const {
  for (const QString& argument : arguments_) {
    if (argument.toUpper() == QStringLiteral("/AUTO")) return true;
  }
  return false;
}

void TMainForm::FormActivate() {
  // Later activations (a modal dialog closing) do nothing.
  if (firstActivationHandled_) return;
  firstActivationHandled_ = true;
  // Queued, so the run and the closing happen after the activation has been handled.
  if (HasAutoSwitch()) {
    QMetaObject::invokeMethod(this, &TMainForm::RunAutomatically, Qt::QueuedConnection);
  } else if (offerLevelCheck_ && session_.FirstStart() &&
             session_.Stores().configuration.vocabularyLevel == 0) {
    QMetaObject::invokeMethod(this, &TMainForm::OfferLevelCheck, Qt::QueuedConnection);
  }
}

void TMainForm::OfferLevelCheck() {
  if (QMessageBox::question(this, QString::fromUtf8(TVocabularyCheckDialog::kTitle),
                            QString::fromUtf8(kLevelOfferText)) == QMessageBox::Yes)
    MnuConfigVocabularyCheckClick();
}

void TMainForm::MnuConfigVocabularyCheckClick() {
  try {
    TVocabularyCheckDialog check(session_.Ranks(), session_.MadeUpWords(), std::random_device{}(),
                                 this);
    if (check.exec() != QDialog::Accepted) return;
    session_.Stores().configuration.vocabularyLevel = check.Level();
    KnownWordsChanged();
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
  }
}

void TMainForm::ShowLevel() {
  const std::int32_t level = session_.Stores().configuration.vocabularyLevel;
  levelPanel_->setText(
      level > 0
          ? QStringLiteral("語彙レベル:%1語").arg(QString::fromStdString(GroupedNumber(level)))
          : QStringLiteral("語彙レベル:未設定"));
}

void TMainForm::KnownWordsChanged() {
  // The rows' ticks go into the NG-word list first, so that they are not lost.
  MainStores& stores = session_.Stores();
  const std::set<std::string> before = stores.ngWords;
  RebuildRows();
  session_.LearnFromNewKnownWords(before);
  if (!stores.ranking.empty()) ShowRunFigures();
  ShowLevel();
  windowKnownWords_ = session_.KnownWords();
  if (articlesWindow_ != nullptr && articlesWindow_->isVisible()) articlesWindow_->Refresh();
  if (trendsWindow_ != nullptr && trendsWindow_->isVisible()) trendsWindow_->Refresh();
}

void TMainForm::RebuildRows() {
  MainStores& stores = session_.Stores();
  // The level's words take no row, as the NG words do.
  std::set<std::string> hidden = HiddenRowWords(stores, stores.configuration.hideNames);
  if (stores.configuration.vocabularyLevel > 0) hidden.merge(session_.KnownWords());
  wordList_->Rebuild(stores.ranking, stores.ngWords, stores.configuration.itemViewCount, hidden);
}

void TMainForm::RunAutomatically() {
  ExecuteButtonClick();
  close();
}

void TMainForm::ExecuteButtonClick() {
  gatheringRunning_ = true;
  try {
    RunGathering();
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
  }
  gatheringRunning_ = false;
  if (exitRequested_) close();
}

void TMainForm::ExitOnRequest() {
  if (!gatheringRunning_) {
    close();
    return;
  }
  // Closing now would quit the message loops under the run, which would then replace the
  // stores with what it has by then; the run ends first, with what it has gathered.
  exitRequested_ = true;
  // Through QDialog, where reject is public: the dialog takes it as a click on Cancel.
  if (gathering_) static_cast<QDialog*>(gathering_.data())->reject();
}

void TMainForm::RunGathering() {
  MainStores& stores = session_.Stores();
  std::int32_t pagesFetched = 0;
  std::vector<KeptArticle> articles;
  {
    HourGlass hourGlass;
    QCoreApplication::processEvents();  // so that the cursor change shows
    session_.BeginRun();
    TWordGetDialog gathering(this, intervals_);
    gathering_ = &gathering;
    gathering.SetSiteList(stores.sites.Addresses());
    const Configuration& configuration = stores.configuration;
    gathering.SetSitesAtOnce(configuration.sitesAtOnce);
    if (history_ != nullptr) {
      gathering.SetKeptArticleLookup([this](const std::string& address) {
        try {
          return history_->ArticleAt(address);
        } catch (const std::exception&) {
          return std::optional<KeptArticle>();  // the article is fetched
        }
      });
    }
    gathering.SetLinkOptions(LinkOptions{.IsLevel = configuration.isLevel,
                                         .AllowedLevel = configuration.allowedLevel,
                                         .FetchHttps = configuration.fetchHttps,
                                         .ArticleText = configuration.articleText,
                                         .FollowArticles = configuration.followArticles,
                                         .ArticlesPerSite = configuration.articlesPerSite});
    if (exitRequested_) static_cast<QDialog&>(gathering).reject();  // asked while it was made
    gathering.exec();  // a cancelled gathering is processed like a finished one
    pagesFetched = gathering.FetchCount();
    articles = gathering.Articles();
    stores.articlesRead = ArticlesReadBySite(gathering.SiteArticles());
    QCoreApplication::processEvents();
    session_.AggregateGathered(gathering.CopySentenceStore(), configuration.articleText
                                                                  ? WordReading::kArticle
                                                                  : WordReading::kDesigned);
    const std::set<std::string> before = stores.ngWords;
    RebuildRows();
    session_.LearnFromNewKnownWords(before);
    rowTicks_.clear();
  }
  ShowRunFigures();
  ShowLevel();
  RecordRunInHistory(pagesFetched, articles);
}

void TMainForm::SetRunHistory(RunHistory* history, std::function<std::int64_t()> now) {
  history_ = history;
  now_ = std::move(now);
}

// After the rows were rebuilt, as the status bar's share: the words ticked until then count as
// known. The data files are saved at exit, whatever happens here.
void TMainForm::RecordRunInHistory(std::int32_t pagesFetched,
                                   const std::vector<KeptArticle>& articles) {
  if (history_ == nullptr) return;
  const MainStores& stores = session_.Stores();
  try {
    const std::int64_t time = now_();
    const RecordedRun record = RecordOfRun(time, stores.sites.Addresses(), stores.figures,
                                           stores.ranking, stores.ngWords, pagesFetched);
    RecordRunWithArticles(*history_, record.run, record.words, articles, stores.mappedWords,
                          session_.Dictionary(), stores.configuration.keepArticlesDays);
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
    return;
  }
  if (trendsWindow_ != nullptr && trendsWindow_->isVisible()) trendsWindow_->Refresh();
  if (articlesWindow_ != nullptr && articlesWindow_->isVisible()) articlesWindow_->Refresh();
}

void TMainForm::MnuHistoryArticlesClick() {
  if (history_ == nullptr) return;
  windowKnownWords_ = session_.KnownWords();
  if (articlesWindow_ == nullptr) {
    articlesWindow_ = new TArticlesWindow(
        *history_, windowKnownWords_, [this](const std::string& address) { OpenArticle(address); },
        showError_, this);
    articlesWindow_->SetLeftOutOf(
        [this](const std::set<std::string>& words) { return session_.LeftOutOfShare(words); });
    if (now_) articlesWindow_->SetClock(now_);
    // Beside this window, as the trends window: its buttons and figures stay in reach.
    if (screen() != nullptr) {
      SetOuterGeometry(
          articlesWindow_,
          PlaceBeside(frameGeometry(), TArticlesWindow::kDesignedSize, TArticlesWindow::kLeastSize,
                      screen()->availableGeometry(), LowerWordRows()));
    }
  }
  articlesWindow_->Refresh();
  articlesWindow_->show();
  articlesWindow_->raise();
  articlesWindow_->activateWindow();
}

// The day's news: this session's last run, else the last run the history kept (the program
// was started again since). Throws HistoryError.
RankedWordList TMainForm::DayRanking() {
  const RankedWordList& ranking = session_.Stores().ranking;
  if (!ranking.empty() || history_ == nullptr) return ranking;
  const std::vector<HistoryRun> runs = history_->Runs();
  if (runs.empty()) return {};
  RankedWordList kept;
  for (WordCount& word : history_->WordsOf(runs.back().id))
    kept.emplace_back(std::move(word.word), word.count);
  // A ranking's order: count ascending, then word descending.
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second < b.second : a.first > b.first;
  });
  return kept;
}

void TMainForm::OpenArticle(const std::string& address) {
  if (history_ == nullptr) return;
  try {
    const std::optional<KeptArticle> article = history_->ArticleAt(address);
    if (!article) return;  // gone with an older run since the table was filled
    if (readingWindow_ == nullptr) {
      readingWindow_ = new TReadingWindow(
          session_, TWebDicDialog::OpenWithDesktop, [this] { ReaderKnownChanged(); }, this);
    }
    readingWindow_->ShowArticle(*article, DayRanking());
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
  }
}

void TMainForm::RowKnownChanged(const std::string& upperWord, bool known) {
  std::set<std::string>& ngWords = session_.Stores().ngWords;
  if (known) {
    if (ngWords.contains(upperWord)) return;  // known already (ticked in the reader)
    session_.MarkKnown(upperWord);            // the level learns from it at once
    rowTicks_.insert(upperWord);
  } else {
    ngWords.erase(upperWord);
    rowTicks_.erase(upperWord);
  }
  if (readingWindow_ != nullptr) readingWindow_->KnownWordChanged(upperWord, known);
  RefreshArticleShares();
}

void TMainForm::ReaderKnownChanged() {
  const std::string& base = readingWindow_->ShownBase();
  const bool known = session_.Stores().ngWords.contains(base);
  if (!known) rowTicks_.erase(base);
  wordList_->ShowKnown(base, known);
  RefreshArticleShares();
}

void TMainForm::RefreshArticleShares() {
  windowKnownWords_ = session_.KnownWords();
  ShowLevel();
  if (articlesWindow_ != nullptr && articlesWindow_->isVisible()) articlesWindow_->Refresh();
}

void TMainForm::MnuHistoryTrendsClick() {
  if (history_ == nullptr) return;
  const bool first = trendsWindow_ == nullptr;
  windowKnownWords_ = session_.KnownWords();
  if (first) {
    trendsWindow_ = new TTrendsWindow(
        *history_, windowKnownWords_,
        [this](const std::string& caption) { ShowSentencesFromTrends(caption); }, showError_, this);
  }
  trendsWindow_->Refresh();
  if (first && screen() != nullptr) {
    // Beside this window, as the meaning window: its button and figures stay in reach.
    // As wide as its lists need where the screen has the room.
    const QRect available = screen()->availableGeometry();
    const QSize least = trendsWindow_->LeastSize().boundedTo(available.size());
    SetOuterGeometry(trendsWindow_,
                     PlaceBeside(frameGeometry(), TTrendsWindow::kDesignedSize.expandedTo(least),
                                 least, available, LowerWordRows()));
  }
  trendsWindow_->show();
  trendsWindow_->raise();
  trendsWindow_->activateWindow();
}

void TMainForm::ShowRunFigures() {
  const RunFigures& figures = session_.Stores().figures;
  statusPanels_[0]->setText(QStringLiteral("取得データサイズ:%1KB").arg(figures.dataSize / 1024));
  statusPanels_[1]->setText(QStringLiteral("集計前単語数:%1").arg(figures.wordsBeforeAggregation));
  statusPanels_[2]->setText(QStringLiteral("集計後単語数:%1").arg(figures.wordsAfterAggregation));
  // After the rows were rebuilt: the words ticked as known until then count as known.
  statusPanels_[3]->setText(
      QStringLiteral("既知語率:%1%")
          .arg(QString::fromStdString(KnownSharePercent(
              session_.Stores().ranking, session_.KnownWords(), session_.LeftOutOfRunShare()))));
}

void TMainForm::MnuSaveToHTMLClick() {
  SaveHtmlReport(SaveDialog(), session_, showError_, rowTicks_);
}

void TMainForm::MnuExportWordCardsClick() {
  SaveWordCards(SaveDialog(), session_, webDicDialog_->Selected(), showError_, rowTicks_);
}

void TMainForm::MnuConfigOptionClick() { OpenOptions(this, session_.Stores()); }

void TMainForm::ShowSentencesOf(const std::string& caption) {
  const MainStores& stores = session_.Stores();
  sentenceDialog_->ShowSentencesFor(caption, stores.sentences, stores.inflectionIndex);
}

void TMainForm::ShowSentencesFromTrends(const std::string& caption) {
  // The run's sentences, else (the program started again since, sum.dat without them) those of
  // the articles the history keeps.
  const MainStores& stores = session_.Stores();
  SentenceStore kept;
  const SentenceStore* store = &stores.sentences;
  if (FindSentences(stores.sentences, caption, stores.inflectionIndex) == kNoSentenceFound &&
      history_ != nullptr) {
    try {
      AddKeptSentences(*history_, kept);
      store = &kept;
    } catch (const std::exception& error) {
      showError_(this, ErrorText(error));
    }
  }
  sentenceDialog_->ShowSentencesFor(caption, *store, stores.inflectionIndex,
                                    QString::fromUtf8(kNoTrendSentenceText));
  // A sentence window over the charts would hide what the click was about: it goes beside the
  // trends window, else over its word lists.
  QWidget* sentences = sentenceDialog_.get();
  const QScreen* shown = trendsWindow_->screen();
  if (shown == nullptr || !trendsWindow_->CoversCharts(sentences->frameGeometry())) return;
  SetOuterGeometry(sentences,
                   PlaceBeside(trendsWindow_->frameGeometry(), sentences->frameGeometry().size(),
                               TMeaningDialog::kLeastSize, shown->availableGeometry(),
                               trendsWindow_->CoverableArea()));
}

void TMainForm::ShowMeaningOf(const std::string& caption) {
  // The first lookup reads the dictionary: show the hourglass, and an error (a damaged
  // resource) as every action of the window does.
  try {
    Meaning meaning;
    {
      HourGlass hourGlass;
      meaning = session_.MeaningOf(caption);
    }
    meaningDialog_->ShowMeaning(caption, meaning, this, LowerWordRows());
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
  }
}

QRect TMainForm::LowerWordRows() const {
  const QWidget* rows = scrollBox_->viewport();
  const QRect area(rows->mapToGlobal(QPoint(0, 0)), rows->size());
  // The upper rows, the most frequent words, stay in sight.
  return area.adjusted(0, area.height() / 3, 0, 0);
}

void TMainForm::CreateStudyWindows() {
  webDicDialog_ = new TWebDicDialog(this);
  webDicDialog_->SetMeaningShower([this](const std::string& caption) { ShowMeaningOf(caption); });
  sentenceDialog_ = std::make_unique<TSentenceDialog>();
  meaningDialog_ = std::make_unique<TMeaningDialog>();
}

void TMainForm::PrepareForExit() {
  const std::set<std::string> before = session_.Stores().ngWords;
  wordList_->Dismantle(session_.Stores().ngWords);
  session_.LearnFromNewKnownWords(before);
}

}  // namespace quillmark
