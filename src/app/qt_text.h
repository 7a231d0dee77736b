#pragma once
// The Qt helpers every window shares: the error display, fonts, Shift-JIS texts, and the
// designed outer size of a window.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace quillmark {

// Shows an error text to the user (a message box in the program; tests record it).
using ErrorDisplay = std::function<void(QWidget* parent, const QString& message)>;
void ShowErrorBox(QWidget* parent, const QString& message);
// The message as the box shows it: a run of Japanese is never broken across lines (Japanese
// has no spaces, and the box broke "使用中です" as "使用中" / "です"; a word joiner now stands
// between its characters); lines break at the message's spaces and line ends, and inside long
// ASCII runs (paths).
QString ErrorBoxText(const QString& message);

// The core's messages and status lines are UTF-8 (our own texts, and file paths as the file
// system names them); a byte that is not UTF-8 shows as U+FFFD.
QString FromMessage(std::string_view utf8);
QString ErrorText(const std::exception& error);

// Texts of the data files, pages and word stores are Shift-JIS bytes (ASCII for the shipped
// data); these are the only conversions between them and the windows' texts.
QString FromShiftJis(std::string_view bytes);
std::string ToShiftJis(const QString& text);

// A font of `family` whose height is `pixels`, as the windows were designed at 96 dots per inch.
// Where `family` is not installed the font names its first installed substitute
// (InstallFontSubstitutes), the font Qt would show for it, so its `family()` is that one.
QFont PixelFont(const QString& family, int pixels, QFont::Weight weight = QFont::Normal);

// The application-wide hourglass for the length of a scope. It is taken off while a dialog
// asks the user something, as the desktop's own file dialog never showed it.
class HourGlass {
 public:
  HourGlass() { On(); }
  ~HourGlass() { Off(); }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;

  void On();
  void Off();

 private:
  bool shown_ = false;
};

// Lets the IPA fonts stand in for the Japanese fonts the windows name.
void InstallFontSubstitutes();

// Keeps the whole of top-level `window`, frame included, at `designed` (the sizes of the
// windows are outer sizes): once the window system reports the frame, the inside is resized
// to `designed` less the frame, the minimum size likewise when `keepMinimum`, and, when
// `centre` is set, the whole window is centred on its screen. Where no frame is reported
// (offscreen, or no window manager) the inside is `designed`. Owned by `window`.
enum class MinimumSize { kFree, kDesigned };
enum class Placement { kAsPlaced, kCentred };
void KeepOuterSize(QWidget* window, QSize designed, MinimumSize minimum, Placement placement);

// Where a window of outer size `wanted` goes so that it covers none of `owner` (global
// coordinates, frames included) within `screen` (its available area): right of the owner,
// else left of it, else below it, on the first side with room for at least `least`, as large
// as that room allows up to `wanted`. Where no side has that room: over `coverable` (the part
// of the owner that may be hidden, such as its lower word rows), anchored to its bottom left,
// no larger than `wanted` and no smaller than `least`.
QRect PlaceBeside(const QRect& owner, QSize wanted, QSize least, const QRect& screen,
                  const QRect& coverable);

// Moves `window` (kept by KeepOuterSize) to `outer` and keeps it at that size, frame included.
void SetOuterGeometry(QWidget* window, const QRect& outer);

// For the dialogs designed by their client area: the inside is `client` (fixed), and the
// whole window, frame included, is centred on its screen once the frame is known.
void KeepClientSizeCentred(QWidget* window, QSize client);

}  // namespace quillmark
