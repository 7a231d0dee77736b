#include "app/qt_text.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QHash>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>

#include "text/shift_jis.h"

namespace quillmark {

void ShowErrorBox(QWidget* parent, const QString& message) {
  QMessageBox::critical(parent, QStringLiteral("Quillmark"), ErrorBoxText(message));
}

QString ErrorBoxText(const QString& message) {
  // U+2060 WORD JOINER between two characters forbids a line break there.
  constexpr char16_t kWordJoiner = 0x2060;
  QString text;
  text.reserve(message.size() * 2);
  for (qsizetype i = 0; i < message.size(); ++i) {
    if (i > 0 && message[i].unicode() >= 0x80 && message[i - 1].unicode() >= 0x80 &&
        !message[i].isLowSurrogate())
      text += QChar(kWordJoiner);
    text += message[i];
  }
  return text;
}

QString FromMessage(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ErrorText(const std::exception& error) { return FromMessage(error.what()); }

QString FromShiftJis(std::string_view bytes) {
  const std::string text = ShiftJisToUtf8(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToShiftJis(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToShiftJis(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

namespace {

// The name under which Qt finds `family` among the installed fonts (its own spelling: Qt
// keeps substitutes in lower case), or nothing. A localised name ("IPA Pゴシック"), absent
// from `families()`, is one of its font's aliases, which Qt matches as it matches a name; the
// scalability questions look there. `hasFamily` would also ask fontconfig's configured
// substitutions for every absent family, a twentieth of the start-up for an answer that does
// not change the font shown: given substitutes, Qt shows the first installed one.
std::optional<QString> InstalledName(const QString& family, const QStringList& families) {
  for (const QString& installed : families) {
    if (installed.compare(family, Qt::CaseInsensitive) == 0) return installed;
  }
  if (QFontDatabase::isSmoothlyScalable(family) || QFontDatabase::isBitmapScalable(family)) {
    return family;
  }
  return std::nullopt;
}

// The family Qt shows for `family`: itself where installed, else its first installed
// substitute. Naming that substitute at once shows the same font, but spares Qt a search of
// the desktop's fallback fonts for the absent family for every script of every text (a
// quarter of the start-up). The answers are kept for as long as the family's substitutes
// stay the same: the windows ask the same few families again and again.
QString ShownFamily(const QString& family) {
  struct Answer {
    QStringList substitutes;
    QString shown;
  };
  static QHash<QString, Answer> answers;  // the GUI thread only, as every font
  // A family without substitutes is shown as Qt finds it: nothing to ask.
  const QStringList substitutes = QFont::substitutes(family);
  if (substitutes.isEmpty()) return family;
  const auto known = answers.constFind(family);
  if (known != answers.cend() && known->substitutes == substitutes) return known->shown;
  const QStringList families = QFontDatabase::families();
  QString shown = family;
  if (!InstalledName(family, families)) {
    for (const QString& substitute : substitutes) {
      if (const std::optional<QString> installed = InstalledName(substitute, families)) {
        shown = *installed;
        break;
      }
    }
  }
  answers.insert(family, Answer{substitutes, shown});
  return shown;
}

}  // namespace

QFont PixelFont(const QString& family, int pixels, QFont::Weight weight) {
  QFont font(ShownFamily(family));
  font.setPixelSize(pixels);
  font.setWeight(weight);
  return font;
}

void HourGlass::On() {
  if (shown_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  shown_ = true;
}

void HourGlass::Off() {
  if (!shown_) return;
  QApplication::restoreOverrideCursor();
  shown_ = false;
}

// The windows name the fonts they were designed with; on a desktop without them the IPA
// fonts installed with the program take their place rather than a font without kana.
void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), {"IPAPMincho", "IPAMincho"});
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {"IPAPGothic", "IPAGothic"});
  QFont::insertSubstitutions(QStringLiteral("MS Serif"), {"IPAPMincho", "IPAMincho"});
}

namespace {

// A window manager reports the frame only after the window is mapped and decorated, and Qt
// sends the widget no event of its own for that; the frame is known by the time the window
// is activated. So the size is set again whenever the reported frame has changed.
enum class SizeMeasure { kOuter, kClient };

class OuterSizeKeeper : public QObject {
 public:
  OuterSizeKeeper(QWidget* window, QSize designed, SizeMeasure measure, MinimumSize minimum,
                  Placement placement)
      : QObject(window),
        window_(window),
        designed_(designed),
        measure_(measure),
        minimum_(minimum),
        placement_(placement) {
    ApplyFrame(QMargins());
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_) {
      switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
          CheckFrame(event->type() == QEvent::Show);
          break;
        default:
          break;
      }
    }
    return false;
  }

  // A new outer size, kept from now on as the designed one was.
  void ChangeDesigned(QSize designed) {
    designed_ = designed;
    ApplyFrame(frame_);
  }

 private:
  void CheckFrame(bool showing) {
    const QWindow* handle = window_->windowHandle();
    if (handle == nullptr ||
        (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
      return;
    const QMargins frame = handle->frameMargins();
    if (frame != frame_) {
      ApplyFrame(frame);
    } else if (showing && !placed_) {
      Place();
    }
  }

  void ApplyFrame(QMargins frame) {
    frame_ = frame;
    const QSize inside = measure_ == SizeMeasure::kClient
                             ? designed_
                             : QSize(designed_.width() - frame.left() - frame.right(),
                                     designed_.height() - frame.top() - frame.bottom());
    if (minimum_ == MinimumSize::kDesigned) window_->setMinimumSize(inside);
    window_->resize(inside);
    if (window_->isVisible()) Place();
  }

  void Place() {
    placed_ = true;
    if (placement_ != Placement::kCentred) return;
    const QScreen* screen = window_->screen();
    if (screen == nullptr) return;
    QRect outer(QPoint(), window_->size().grownBy(frame_));
    outer.moveCenter(screen->availableGeometry().center());
    window_->move(outer.topLeft());  // a top-level window's position is its frame's
  }

  QWidget* window_;
  QSize designed_;
  SizeMeasure measure_;
  MinimumSize minimum_;
  Placement placement_;
  QMargins frame_;
  bool placed_ = false;
};

}  // namespace

void KeepOuterSize(QWidget* window, QSize designed, MinimumSize minimum, Placement placement) {
  new OuterSizeKeeper(window, designed, SizeMeasure::kOuter, minimum, placement);
}

QRect PlaceBeside(const QRect& owner, QSize wanted, QSize least, const QRect& screen,
                  const QRect& coverable) {
  const int height = std::min(wanted.height(), screen.height());
  // Beside the owner, its top level with the owner's as far as the screen allows.
  const int besideTop =
      std::clamp(owner.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - height));
  const int roomRight = screen.right() - owner.right();
  if (roomRight >= least.width()) {
    return QRect(owner.right() + 1, besideTop, std::min(wanted.width(), roomRight), height);
  }
  const int roomLeft = owner.left() - screen.left();
  if (roomLeft >= least.width()) {
    const int width = std::min(wanted.width(), roomLeft);
    return QRect(owner.left() - width, besideTop, width, height);
  }
  const int roomBelow = screen.bottom() - owner.bottom();
  if (roomBelow >= least.height()) {
    const int width = std::min(wanted.width(), screen.width());
    const int left = std::clamp(owner.left(), screen.left(),
                                std::max(screen.left(), screen.right() + 1 - width));
    return QRect(left, owner.bottom() + 1, width, std::min(height, roomBelow));
  }
  const QSize over(std::clamp(coverable.width(), least.width(), wanted.width()),
                   std::clamp(coverable.height(), least.height(), wanted.height()));
  // Never off the screen, whatever the owner's rows are.
  const int left = std::clamp(coverable.left(), screen.left(),
                              std::max(screen.left(), screen.right() + 1 - over.width()));
  const int top = std::clamp(coverable.bottom() + 1 - over.height(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - over.height()));
  return QRect(QPoint(left, top), over);
}

void SetOuterGeometry(QWidget* window, const QRect& outer) {
  window->move(outer.topLeft());  // a top-level window's position is its frame's
  for (QObject* child : window->children()) {
    if (auto* keeper = dynamic_cast<OuterSizeKeeper*>(child)) {
      keeper->ChangeDesigned(outer.size());
      return;
    }
  }
  window->resize(outer.size());
}

void KeepClientSizeCentred(QWidget* window, QSize client) {
  window->setFixedSize(client);
  new OuterSizeKeeper(window, client, SizeMeasure::kClient, MinimumSize::kDesigned,
                      Placement::kCentred);
}

}  // namespace quillmark
