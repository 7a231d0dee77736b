#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

#include "app/qt_text.h"

namespace quillmark {

class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
  // A designed family that is not installed is named by its first installed substitute, the
  // font Qt shows for it anyway; an installed one keeps its name; and a change of the
  // substitutes is followed.
  void FontsNameTheFamilyTheyShow() {
    const QString installed = QFontInfo(QFont()).family();
    const QString absent = QStringLiteral("Quillmark Absent Family");
    QFont::insertSubstitutions(absent, {QStringLiteral("Quillmark Absent Too"), installed});
    QFont::insertSubstitution(installed, QStringLiteral("Quillmark Absent Too"));

    QCOMPARE(PixelFont(absent, 12).family(), installed);
    QFont designed(absent);
    designed.setPixelSize(12);
    QCOMPARE(QFontInfo(PixelFont(absent, 12)).family(), QFontInfo(designed).family());
    QCOMPARE(PixelFont(installed, 12).family(), installed);

    QFont::removeSubstitutions(absent);
    QFont::removeSubstitutions(installed);
    QCOMPARE(PixelFont(absent, 12).family(), absent);
    QCOMPARE(PixelFont(absent, 14, QFont::Bold).pixelSize(), 14);
  }

  // A window beside its owner covers none of it: right, else left, else below, shrunk to the
  // room down to its least size; where no side has room, over the part that may be covered.
  // The owner is the main window centred on a 1280x800 screen, as a learner's was.
  void AWindowBesideItsOwnerCoversNoneOfIt() {
    const QRect screen(0, 0, 1280, 800);
    const QRect coverable(340, 400, 600, 130);
    const QSize wanted(447, 287);
    const QSize least(240, 120);
    const struct {
      const char* name;
      QRect owner;
      QRect placed;
    } cases[] = {
        {"room on the right", {100, 100, 600, 300}, {700, 100, 447, 287}},
        {"less room on the right: narrower", {340, 250, 600, 300}, {940, 250, 340, 287}},
        {"room on the left only", {900, 600, 300, 150}, {453, 513, 447, 287}},
        {"room below only", {0, 100, 1280, 300}, {0, 400, 447, 287}},
        {"no room beside: over the lower rows", {0, 0, 1280, 700}, {340, 400, 447, 130}},
    };
    for (const auto& c : cases) {
      const QRect placed = PlaceBeside(c.owner, wanted, least, screen, coverable);
      QVERIFY2(placed == c.placed, c.name);
      QVERIFY2(screen.contains(placed), c.name);
      QVERIFY2(!placed.intersects(c.owner) || coverable.contains(placed), c.name);
    }
  }

  // An error box never breaks a run of Japanese across lines; spaces and ASCII still break.
  void AnErrorBoxKeepsJapaneseRunsWhole() {
    const QString joined = ErrorBoxText(QStringLiteral("/d/ は別の Quillmark が使用中です"));
    QCOMPARE(joined, QStringLiteral("/d/ は\u2060別\u2060の Quillmark が\u2060使\u2060用\u2060中"
                                    "\u2060で\u2060す"));
    QCOMPARE(ErrorBoxText(QStringLiteral("a b")), QStringLiteral("a b"));
  }

  // A font's localised name is that font, not an absent family to stand in for.
  void ALocalisedNameIsTheFontItNames() {
    const QString localised = QStringLiteral("IPA Pゴシック");
    if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
      QSKIP("needs the IPA fonts");
    const QString installed = QFontInfo(QFont()).family();
    QFont::insertSubstitution(localised, installed);
    const QString shown = QFontInfo(PixelFont(localised, 12)).family();
    QFont::removeSubstitutions(localised);
    QCOMPARE(shown, QStringLiteral("IPAPGothic"));
  }
};

}  // namespace quillmark

extern const QMetaObject* const kQtTextTestMeta = &quillmark::QtTextTest::staticMetaObject;

int RunQtTextTests(int argc, char** argv) {
  quillmark::QtTextTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "qt_text_test.moc"
