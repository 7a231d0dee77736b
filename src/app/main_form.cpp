#include "app/main_form.h"

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

namespace quillmark {

const char* const kDescriptionText =
    "このソフトはWeb上の主要サイトから旬な単語を探し出します。\n"
    "旬な英語の勉強に役立つと良いと思います。\n"
    "さあ、左の「Webより単語を集計」ボタンを押してはじめましょう!\n";

namespace {

constexpr int kFormWidth = 600;
constexpr int kFormHeight = 300;
constexpr int kToolBarHeight = 89;
constexpr int kExecuteButtonLeft = 460;
constexpr int kStatusPanelWidth = 150;

QFont FontOfPixelSize(const QString& family, int pixels) {
  QFont font(family);
  font.setPixelSize(pixels);
  return font;
}

void PaintWhite(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, Qt::white);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

void ShowErrorBox(QWidget* parent, const QString& message) {
  QMessageBox::critical(parent, QStringLiteral("Quillmark"), message);
}

TMainForm::TMainForm(StoreFiles& files, SettingsFile& settings, QStringList arguments,
                     ErrorDisplay showError)
    : files_(files), arguments_(std::move(arguments)), showError_(std::move(showError)) {
  BuildControls();
  BuildMenus();

  stores_.configuration.allowedLevel = 1;
  stores_.configuration.isLevel = false;
  LoadStoresAndConfiguration(stores_, files_, settings);
  descLabel_->setText(QString::fromUtf8(kDescriptionText));
  descLabel_->adjustSize();
  LoadMappingDictionary(stores_, files_);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildControls() {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("Quillmark"));
  setFont(FontOfPixelSize(QStringLiteral("ＭＳ Ｐ明朝"), 12));
  resize(kFormWidth, kFormHeight);
  setMinimumSize(kFormWidth, kFormHeight);

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
  titleLabel_->setFont(FontOfPixelSize(font().family(), 30));
  titleLabel_->move(4, 4);
  titleLabel_->adjustSize();

  descLabel_ = new QLabel(toolBar_);
  descLabel_->setObjectName("DescLabel");
  descLabel_->move(4, 36);

  executeButton_ = new QPushButton(QStringLiteral("Webより単語を集計"), toolBar_);
  executeButton_->setObjectName("ExecuteButton");
  executeButton_->setGeometry(kExecuteButtonLeft, 48, 125, 25);
  connect(executeButton_, &QPushButton::clicked, this, &TMainForm::ExecuteButtonClick);

  scrollBox_ = new QScrollArea(client);
  scrollBox_->setObjectName("ScrollBox");
  scrollBox_->setFrameShape(QFrame::NoFrame);
  PaintWhite(scrollBox_);
  PaintWhite(scrollBox_->viewport());
  layout->addWidget(scrollBox_, 1);
  setCentralWidget(client);

  auto* bar = new QStatusBar(this);
  bar->setObjectName("StatusBar");
  for (int i = 0; i < static_cast<int>(statusPanels_.size()); ++i) {
    statusPanels_[i] = new QLabel(bar);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    statusPanels_[i]->setFixedWidth(kStatusPanelWidth);
    bar->addWidget(statusPanels_[i]);
  }
  setStatusBar(bar);

  saveDialog_ = new QFileDialog(this);
  saveDialog_->setObjectName("SaveDialog");
  saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
  saveDialog_->setFileMode(QFileDialog::AnyFile);
  saveDialog_->setDefaultSuffix(QStringLiteral("html"));
  saveDialog_->setNameFilter(QStringLiteral("*.html (*.html)"));
}

void TMainForm::BuildMenus() {
  QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* saveToHtml = fileMenu->addAction(QStringLiteral("HTMLに出力(&H)"));
  saveToHtml->setObjectName("MnuSaveToHTML");
  QAction* exit = fileMenu->addAction(QStringLiteral("終了(&X)"));
  exit->setObjectName("MnuFileExit");
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* configMenu = menuBar()->addMenu(QStringLiteral("設定(&C)"));
  QAction* option = configMenu->addAction(QStringLiteral("オプション(&O)"));
  option->setObjectName("MnuConfigOption");
  QAction* selectDic = configMenu->addAction(QStringLiteral("使用するweb辞書の選択(&D)"));
  selectDic->setObjectName("MnuConfigSelectDic");
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // ExecuteButton keeps its distance from the right edge.
  executeButton_->move(width() - (kFormWidth - kExecuteButtonLeft), executeButton_->y());
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  if (event->type() == QEvent::Show && !centred_) {
    centred_ = true;  // only the first showing centres the window
    if (QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
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
  if (activated_) return;  // later activations (a modal dialog closing) do nothing
  activated_ = true;
  // Queued, so the run and the closing happen after the activation has been handled.
  if (HasAutoSwitch())
    QMetaObject::invokeMethod(this, &TMainForm::RunAutomatically, Qt::QueuedConnection);
}

void TMainForm::RunAutomatically() {
  ExecuteButtonClick();
  close();
}

void TMainForm::ExecuteButtonClick() {
  try {
    RunGathering();
  } catch (const std::exception& error) {
    showError_(this, QString::fromUtf8(error.what()));
  }
}

void TMainForm::RunGathering() {
  // The gathering run (crawl, aggregation, word rows, figures) is not built yet.
}

void TMainForm::CreateStudyWindows() { sentenceDialog_ = std::make_unique<TSentenceDialog>(); }

void TMainForm::SaveOnExit(SettingsFile& settings) {
  SaveAllStores(stores_, files_, settings, reportPath_);
}

}  // namespace quillmark
