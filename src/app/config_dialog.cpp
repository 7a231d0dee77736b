#include "app/config_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "app/qt_text.h"
#include "gather/gathering_crawl.h"

namespace quillmark {
namespace {

constexpr int kItemNoMinimum = 5;
constexpr int kItemNoMaximum = 200;
constexpr int kLinkMinimum = 1;
constexpr int kLinkMaximum = 5;
constexpr int kListItemHeight = 12;
// The about frame is 198 wide; its text starts 8 in from the frame's left edge.
constexpr int kAboutTextWidth = 198 - 2 * 8;

// An item's text as it came from the site list: kept so that bytes the window cannot show
// as Shift-JIS go back unchanged.
constexpr int kSiteBytesRole = Qt::UserRole;

constexpr const char* kCreditLine = "Quillmark 開発チーム";
// The built-in dictionary's data is public domain; its authors are thanked all the same.
constexpr const char* kThanksLine = "英和辞書 EJDict(CC0)に感謝";

// The options frame spans the dialog below the designed frames; its tick boxes stand in one
// column, each kTickRow high.
constexpr QRect kOptionsFrame{11, 248, 401, 0};
constexpr int kTickRow = 20;
constexpr int kTickMargin = 6;
constexpr QSize kButtonSize{78, 24};
constexpr int kButtonGap = 8;
constexpr int kBottomMargin = 12;

class FixedHeightItems : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // Whole rows: the designed height, or the font's where it is taller.
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
                 std::max(kListItemHeight, option.fontMetrics.height() + 2));
  }
};

void EtchedFrame(QWidget* parent, const QRect& place) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(place);
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(at);
  label->adjustSize();
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QRect& place) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  return button;
}

// An edit box with its spin control beside it: the box shows the control's position.
QSpinBox* SpinWithEdit(QWidget* parent, const char* spinName, const char* editName,
                       const QRect& editPlace, int spinWidth, int minimum, int maximum,
                       int initial) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(spinName);
  spin->findChild<QLineEdit*>()->setObjectName(editName);
  spin->setGeometry(editPlace.adjusted(0, 0, spinWidth, 0));
  spin->setRange(minimum, maximum);
  spin->setWrapping(false);
  spin->setValue(initial);
  return spin;
}

// The spin controls hold 16-bit positions: a larger value loses its upper bits first.
int AsPosition(std::int32_t value) { return static_cast<std::int16_t>(value); }

}  // namespace

TConfigDialog::TConfigDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("ConfigDialog"));
  setWindowTitle(QStringLiteral("設定"));
  // A dialog border without system buttons: no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
  BuildControls();
}

void TConfigDialog::BuildControls() {
  EtchedFrame(this, {11, 8, 401, 105});
  EtchedFrame(this, {11, 120, 190, 57});
  EtchedFrame(this, {11, 184, 190, 57});
  EtchedFrame(this, {214, 120, 198, 121});

  Label(this, "Label1", QStringLiteral("探索するWebサイト"), {27, 15});
  urlEdit_ = new QLineEdit(this);
  urlEdit_->setObjectName("URLEdit");
  urlEdit_->setGeometry(27, 31, 165, 20);
  auto* addButton = Button(this, "AddButton", QStringLiteral("追加>>"), {139, 55, 53, 21});
  auto* deleteButton = Button(this, "DeleteButton", QStringLiteral("削除<<"), {139, 79, 53, 21});
  urlListBox_ = new QListWidget(this);
  urlListBox_->setObjectName("URLListBox");
  urlListBox_->setGeometry(204, 31, 192, 69);
  urlListBox_->setItemDelegate(new FixedHeightItems(urlListBox_));
  urlListBox_->setSortingEnabled(false);
  urlListBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  urlListBox_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  Label(this, "Label2", QStringLiteral("表示する単語数"), {19, 125});
  itemNoUpDown_ = SpinWithEdit(this, "ItemNoUpDown", "ItemNoEdit", {107, 143, 65, 20}, 16,
                               kItemNoMinimum, kItemNoMaximum, 10);

  linkCheck_ = new QCheckBox(QStringLiteral("リンクを追跡する"), this);
  linkCheck_->setObjectName("LinkCheck");
  linkCheck_->setGeometry(16, 192, 121, 17);
  Label(this, "Label3", QStringLiteral("深さ"), {80, 220});
  linkUpDown_ = SpinWithEdit(this, "LinkUpDown", "LinkEdit", {104, 216, 65, 20}, 16, kLinkMinimum,
                             kLinkMaximum, 1);
  copyLightLabel_ = Label(this, "CopyLightLabel", AboutText(), {222, 125});

  okButton_ = Button(this, "OKButton", QStringLiteral("OK"), {{243, 0}, kButtonSize});
  cancelButton_ =
      Button(this, "CancelButton", QStringLiteral("キャンセル"), {{334, 0}, kButtonSize});

  // The switches added after the design share one framed column above OK and Cancel.
  optionsFrame_ = new QFrame(this);
  optionsFrame_->setObjectName("OptionsFrame");
  optionsFrame_->setFrameStyle(QFrame::Box | QFrame::Sunken);
  tickColumn_ = new QVBoxLayout(optionsFrame_);
  tickColumn_->setContentsMargins(kTickMargin, kTickMargin / 2, kTickMargin, kTickMargin / 2);
  tickColumn_->setSpacing(0);
  httpsCheck_ = AddTickBox("HttpsCheck", QStringLiteral("HTTPSのサイトも取得する"));
  hideNamesCheck_ =
      AddTickBox("HideNamesCheck", QStringLiteral("固有名詞とページの見出し語を表示しない"));
  articleTextCheck_ = AddTickBox(
      "ArticleTextCheck", QStringLiteral("記事の本文だけを読む（メニューや見出しの一覧は除く）"));
  AddArticlesRow();
  FitToTickBoxes();

  const QList<QWidget*> tabOrder = {
      urlListBox_,     urlEdit_,          addButton,      deleteButton,   itemNoUpDown_,
      okButton_,       cancelButton_,     linkCheck_,     linkUpDown_,    httpsCheck_,
      hideNamesCheck_, articleTextCheck_, articlesCheck_, articlesUpDown_};
  for (int i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(addButton, &QPushButton::clicked, this, &TConfigDialog::AddButtonClick);
  connect(deleteButton, &QPushButton::clicked, this, &TConfigDialog::DeleteButtonClick);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QCheckBox* TConfigDialog::AddTickBox(const char* name, const QString& text) {
  auto* check = new QCheckBox(text, optionsFrame_);
  check->setObjectName(name);
  check->setFixedHeight(kTickRow);
  tickColumn_->addWidget(check);
  return check;
}

// The day's articles: a tick box, and on the same row how many articles of each site.
void TConfigDialog::AddArticlesRow() {
  auto* row = new QWidget(optionsFrame_);
  row->setFixedHeight(kTickRow);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  articlesCheck_ = new QCheckBox(QStringLiteral("各サイトの最新記事も読む"), row);
  articlesCheck_->setObjectName("ArticlesCheck");
  line->addWidget(articlesCheck_);
  line->addStretch();
  line->addWidget(Label(row, "Label4", QStringLiteral("サイトごとの記事数"), {}));
  articlesUpDown_ = SpinWithEdit(row, "ArticlesUpDown", "ArticlesEdit", {0, 0, 45, 20}, 16,
                                 kMinArticlesPerSite, kMaxArticlesPerSite, kDefaultArticlesPerSite);
  articlesUpDown_->setFixedWidth(61);
  line->addWidget(articlesUpDown_);
  tickColumn_->addWidget(row);
}

void TConfigDialog::FitToTickBoxes() {
  const int height =
      tickColumn_->count() * kTickRow + kTickMargin + 2 * optionsFrame_->frameWidth();
  optionsFrame_->setGeometry(kOptionsFrame.left(), kOptionsFrame.top(), kOptionsFrame.width(),
                             height);
  tickColumn_->activate();
  // A row of its own (the articles row) is laid out now too, not at the first showing.
  for (QLayout* row : optionsFrame_->findChildren<QLayout*>()) row->activate();
  const int buttonsTop = optionsFrame_->geometry().bottom() + 1 + kButtonGap;
  okButton_->move(okButton_->x(), buttonsTop);
  cancelButton_->move(cancelButton_->x(), buttonsTop);
  setFixedSize(423, buttonsTop + kButtonSize.height() + kBottomMargin);
}

void TConfigDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the desktop, not over the owner.
  if (const QScreen* desktop = screen()) {
    QRect place(QPoint(), size());
    place.moveCenter(desktop->availableGeometry().center());
    move(place.topLeft());
  }
}

void TConfigDialog::Fill(const SiteList& sites, const Configuration& configuration) {
  urlListBox_->clear();
  for (const std::string& address : sites.Addresses()) {
    auto* item = new QListWidgetItem(FromShiftJis(address), urlListBox_);
    item->setData(kSiteBytesRole, QByteArray::fromStdString(address));
    item->setToolTip(item->text());  // an address wider than the list is read whole
  }
  itemNoUpDown_->setValue(AsPosition(configuration.itemViewCount));
  linkCheck_->setChecked(configuration.isLevel);
  linkUpDown_->setValue(AsPosition(configuration.allowedLevel));
  httpsCheck_->setChecked(configuration.fetchHttps);
  hideNamesCheck_->setChecked(configuration.hideNames);
  articleTextCheck_->setChecked(configuration.articleText);
  articlesCheck_->setChecked(configuration.followArticles);
  articlesUpDown_->setValue(configuration.articlesPerSite);
}

void TConfigDialog::Store(SiteList& sites, Configuration& configuration) const {
  sites.Clear();
  for (int row = 0; row < urlListBox_->count(); ++row) {
    const QListWidgetItem* item = urlListBox_->item(row);
    const QVariant bytes = item->data(kSiteBytesRole);
    sites.Add(bytes.isValid() ? bytes.toByteArray().toStdString() : ToShiftJis(item->text()));
  }
  configuration.itemViewCount = itemNoUpDown_->value();
  configuration.isLevel = linkCheck_->isChecked();
  configuration.allowedLevel = linkUpDown_->value();
  configuration.fetchHttps = httpsCheck_->isChecked();
  configuration.hideNames = hideNamesCheck_->isChecked();
  configuration.articleText = articleTextCheck_->isChecked();
  configuration.followArticles = articlesCheck_->isChecked();
  configuration.articlesPerSite = articlesUpDown_->value();
}

void TConfigDialog::AddButtonClick() {
  urlListBox_->addItem(urlEdit_->text());
  urlListBox_->item(urlListBox_->count() - 1)->setToolTip(urlEdit_->text());
  urlEdit_->clear();
}

void TConfigDialog::DeleteButtonClick() {
  const int row = urlListBox_->currentRow();
  if (row < 0 || !urlListBox_->item(row)->isSelected()) return;
  urlEdit_->setText(urlListBox_->item(row)->text());
  delete urlListBox_->takeItem(row);
  // As after a deletion on the desktop the program comes from: nothing is selected.
  urlListBox_->setCurrentRow(-1);
  urlListBox_->clearSelection();
}

void TConfigDialog::ShowDataDirectory(const std::string& directory) {
  copyLightLabel_->setText(AboutText() + QStringLiteral("\nデータの保存先:") +
                           QString::fromStdString(directory));
  // A path is longer than the frame is wide: it breaks after its slashes, and can be copied.
  copyLightLabel_->setWordWrap(true);
  copyLightLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  copyLightLabel_->setFixedSize(kAboutTextWidth, copyLightLabel_->heightForWidth(kAboutTextWidth));
}

bool OpenOptions(QWidget* owner, MainStores& stores) {
  TConfigDialog dialog(owner);
  dialog.Fill(stores.sites, stores.configuration);
  dialog.ShowDataDirectory(stores.programDirectory);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Store(stores.sites, stores.configuration);
  return true;
}

QString AboutText() {
  return QStringLiteral("Quillmark\n") + QString::fromUtf8(kCreditLine) + QStringLiteral("\n") +
         QString::fromUtf8(kThanksLine) + QStringLiteral("\n最終ビルド日") +
         QStringLiteral(__DATE__);
}

}  // namespace quillmark
