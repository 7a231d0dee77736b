#include "app/articles_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>

#include "gather/article_date.h"
#include "session/kept_articles.h"
#include "study/known_share.h"

namespace quillmark {

const char* const kEasyReadingMark = "読みやすい";
const char* const kReadingWithDictionaryMark = "辞書があれば読める";

namespace {

// The choices of which articles to list: the last run's, or those of the last days.
struct Scope {
  const char* text;
  std::int32_t days;
};
constexpr Scope kScopes[] = {
    {"前回の収集の記事", 0}, {"過去7日間の記事", 7}, {"過去30日間の記事", 30}};

// A cell that sorts by a number rather than by its text ("100.0%" after "99.5%").
class NumberCell : public QTableWidgetItem {
 public:
  NumberCell(const QString& text, double value) : QTableWidgetItem(text) {
    setData(Qt::UserRole, value);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
  }
};

// The date column: sorts by time, the undated last whichever way it is sorted.
class DateCell : public QTableWidgetItem {
 public:
  DateCell(const std::string& date, std::int64_t now)
      : QTableWidgetItem(ArticleDateText(date, now)) {
    if (const std::optional<ArticleDate> read = ReadArticleDate(date, now))
      setData(Qt::UserRole, static_cast<qlonglong>(read->seconds));
    setToolTip(QString::fromStdString(date));  // as the page wrote it
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const QVariant mine = data(Qt::UserRole);
    const QVariant theirs = other.data(Qt::UserRole);
    if (mine.isValid() != theirs.isValid()) {
      const bool ascending =
          tableWidget() == nullptr ||
          tableWidget()->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder;
      return mine.isValid() == ascending;
    }
    return mine.toLongLong() < theirs.toLongLong();
  }
};

const char* MarkOf(Readability readability) {
  switch (readability) {
    case Readability::kEasy:
      return kEasyReadingMark;
    case Readability::kWithDictionary:
      return kReadingWithDictionaryMark;
    case Readability::kHard:
      break;
  }
  return "";
}

}  // namespace

QString ArticleDateText(const std::string& date, std::optional<std::int64_t> now) {
  const std::optional<ArticleDate> read = now ? ReadArticleDate(date, *now) : ReadArticleDate(date);
  if (!read) return {};
  if (read->dateOnly) {
    return QDateTime::fromSecsSinceEpoch(read->seconds, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd"));
  }
  return QDateTime::fromSecsSinceEpoch(read->seconds)
      .toLocalTime()
      .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

TArticlesWindow::TArticlesWindow(RunHistory& history, const std::set<std::string>& knownWords,
                                 ArticleAction onOpen, ErrorDisplay showError, QWidget* owner)
    : QWidget(owner, Qt::Window),
      history_(history),
      knownWords_(knownWords),
      onOpen_(std::move(onOpen)),
      showError_(std::move(showError)),
      now_([] { return QDateTime::currentSecsSinceEpoch(); }) {
  setObjectName(QStringLiteral("ArticlesWindow"));
  setWindowTitle(QStringLiteral("今日の記事"));
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  KeepOuterSize(this, kDesignedSize, MinimumSize::kFree, Placement::kAsPlaced);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  layout->addLayout(top);
  scope_ = new QComboBox(this);
  scope_->setObjectName(QStringLiteral("ArticleScope"));
  for (const Scope& scope : kScopes) scope_->addItem(QString::fromUtf8(scope.text), scope.days);
  connect(scope_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
  top->addWidget(scope_);
  countLabel_ = new QLabel(this);
  countLabel_->setObjectName(QStringLiteral("ArticlesLabel"));
  top->addWidget(countLabel_, 1);

  table_ = new QTableWidget(0, kColumnCount, this);
  table_->setObjectName(QStringLiteral("ArticlesTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("読みやすさ"), QStringLiteral("既知語率"),
                                     QStringLiteral("語数"), QStringLiteral("未知語数"),
                                     QStringLiteral("題名"), QStringLiteral("サイト"),
                                     QStringLiteral("日付")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(kTitle, QHeaderView::Stretch);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Return and a double-click both activate a row.
  connect(table_, &QTableWidget::activated, this,
          [this](const QModelIndex& index) { OpenRow(index.row()); });
  layout->addWidget(table_, 1);
  setFocusProxy(table_);  // the window's focus is the table's, for Return
  setTabOrder(table_, scope_);
}

void TArticlesWindow::Refresh() {
  std::vector<ArticleRow> rows;
  try {
    std::vector<ArticleEntry> entries = ListedArticles(history_, scope_->currentData().toInt());
    std::set<std::string> leftOut;
    if (leftOutOf_) {
      std::set<std::string> words;
      for (const auto& entry : entries) {
        for (const auto& counted : entry.words) words.insert(counted.word);
      }
      leftOut = leftOutOf_(words);
    }
    rows = RowsMostReadableFirst(std::move(entries), knownWords_, leftOut);
  } catch (const std::exception& error) {
    showError_(this, ErrorText(error));
  }
  const std::int64_t now = now_();
  table_->setUpdatesEnabled(false);
  table_->setSortingEnabled(false);
  table_->clearContents();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const ArticleEntry& entry = rows[static_cast<std::size_t>(r)].entry;
    const ArticleStanding& standing = rows[static_cast<std::size_t>(r)].standing;
    auto* mark =
        new QTableWidgetItem(QString::fromUtf8(MarkOf(ReadabilityOf(standing.knownShareTenths))));
    table_->setItem(r, kMark, mark);
    table_->setItem(
        r, kShare,
        new NumberCell(QString::fromStdString(PercentText(standing.knownShareTenths)) + u'%',
                       standing.knownShareTenths));
    table_->setItem(r, kWords,
                    new NumberCell(QString::number(standing.runningWords), standing.runningWords));
    table_->setItem(r, kUnknown,
                    new NumberCell(QString::number(standing.unknownWords), standing.unknownWords));
    auto* title = new QTableWidgetItem(
        QString::fromStdString(entry.title.empty() ? entry.address : entry.title));
    title->setData(Qt::UserRole, QString::fromStdString(entry.address));
    title->setToolTip(QString::fromStdString(entry.address));
    table_->setItem(r, kTitle, title);
    table_->setItem(r, kSite, new QTableWidgetItem(QString::fromStdString(entry.site)));
    table_->setItem(r, kDate, new DateCell(entry.date, now));
  }
  // The rows came most readable first; a stable sort by the share keeps that order among equals.
  table_->horizontalHeader()->setSortIndicator(kShare, Qt::DescendingOrder);
  table_->setSortingEnabled(true);
  table_->setUpdatesEnabled(true);
  countLabel_->setText(QStringLiteral("%1件").arg(rows.size()));
  if (!rows.empty()) table_->setCurrentCell(0, kTitle);
  table_->setFocus();
}

void TArticlesWindow::OpenRow(int row) {
  if (row < 0 || row >= table_->rowCount() || table_->item(row, kTitle) == nullptr) return;
  onOpen_(table_->item(row, kTitle)->data(Qt::UserRole).toString().toStdString());
}

}  // namespace quillmark
