#include <QApplication>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QtTest>

#include "app/sentence_dialog.h"

namespace quillmark {

class SentenceDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void LaidOutAsDesigned() {
    TSentenceDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("SentenceDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("SentenceDialog"));
    QCOMPARE(dialog.pos(), QPoint(0, 0));
    QCOMPARE(dialog.size(), QSize(447, 287));
    QFont designed(QStringLiteral("ＭＳ Ｐゴシック"));
    designed.setPixelSize(12);
    QCOMPARE(QFontInfo(dialog.font()).family(), QFontInfo(designed).family());
    QCOMPARE(dialog.font().pixelSize(), 12);
    QCOMPARE(dialog.palette().color(QPalette::Window), dialog.palette().color(QPalette::Button));
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialog.findChild<QPlainTextEdit*>("Memo") == nullptr);  // made at the first showing

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* memo = dialog.findChild<QPlainTextEdit*>("Memo");
    QVERIFY(memo != nullptr);
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->frameShape(), QFrame::NoFrame);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->font().family(), QStringLiteral("Arial"));
    QVERIFY(memo->font().bold());
    QCOMPARE(memo->font().pixelSize(), 12);
    QCOMPARE(memo->geometry(), dialog.contentsRect());        // fills the client area
    QCOMPARE(memo->document()->defaultFont(), memo->font());  // the text shown in it
  }

  void ShowsTheSentencesOfAWordModeless() {
    TSentenceDialog dialog;
    const SentenceStore store{{"History", {"The ship sank", "Two ships left"}}};
    const InflectionIndex index{{"SHIP", {"SHIPS"}}};
    dialog.ShowSentencesFor("ship", store, index);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("[ship]を含むセンテンス"));
    auto* memo = dialog.findChild<QPlainTextEdit*>("Memo");
    QCOMPARE(memo->toPlainText(),
             QStringLiteral("[from History]\nThe ship sank...\nTwo ships left...\n\n"));
    QCOMPARE(memo->document()->defaultFont(), memo->font());
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.isModal());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // An article's sentences keep their typography; the page scanner's stay as they were; a
  // line that is not UTF-8 is Shift-JIS, as the data files are.
  void ShowsArticleSentencesAsWritten() {
    TSentenceDialog dialog;
    const SentenceStore store{
        {"news.example",
         {"Disney\u2019s \u201cStar Wars\u201d sequel \u2014 a hit \U0001F680 at the box office.",
          "The sequel \u2018opened\u2019 today."}},
        {"page.example", {"A sequel came"}}};
    dialog.ShowSentencesFor("sequel", store, {});
    QCOMPARE(dialog.findChild<QPlainTextEdit*>("Memo")->toPlainText(),
             QStringLiteral(
                 "[from news.example]\n"
                 "Disney\u2019s \u201cStar Wars\u201d sequel \u2014 a hit \U0001F680 at the box "
                 "office.\n"
                 "The sequel \u2018opened\u2019 today.\n\n"
                 "[from page.example]\nA sequel came...\n\n"));
    QCOMPARE(SentenceText("caf\xc3\xa9\r\n\x93\xfa\x96\x7b"),
             QStringLiteral("caf\u00e9\n\u65e5\u672c"));
  }

  void EachCallReplacesCaptionAndTextAndShowsAClosedWindowAgain() {
    TSentenceDialog dialog;
    const SentenceStore store{{"a.example", {"Cats sleep"}}};
    dialog.ShowSentencesFor("cats", store, {});
    dialog.close();
    QVERIFY(!dialog.isVisible());

    dialog.ShowSentencesFor("dogs", store, {});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("[dogs]を含むセンテンス"));
    QCOMPARE(dialog.findChild<QPlainTextEdit*>("Memo")->toPlainText(),
             QStringLiteral("Sentence NOT Found."));
  }
};

}  // namespace quillmark

extern const QMetaObject* const kSentenceDialogTestMeta =
    &quillmark::SentenceDialogTest::staticMetaObject;

int RunSentenceDialogTests(int argc, char** argv) {
  quillmark::SentenceDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "sentence_dialog_test.moc"
