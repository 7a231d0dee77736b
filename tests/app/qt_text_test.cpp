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
