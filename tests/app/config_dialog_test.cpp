// The options dialog, driven through its controls and the main window's menu.

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "app/config_dialog.h"
#include "app/main_form.h"
#include "app_test_support.h"

namespace quillmark {

using testing::InMemorySession;
using testing::WhenModalShown;

namespace {

template <class Control>
Control& Find(const QWidget& dialog, const char* name) {
  auto* control = dialog.findChild<Control*>(name);
  if (control == nullptr) qFatal("no control %s", name);
  return *control;
}

QStringList Items(const QWidget& dialog) {
  QStringList items;
  const auto& list = Find<QListWidget>(dialog, "URLListBox");
  for (int row = 0; row < list.count(); ++row) items << list.item(row)->text();
  return items;
}

void Click(const QWidget& dialog, const char* button) { Find<QPushButton>(dialog, button).click(); }

void AddSite(const QWidget& dialog, const QString& text) {
  Find<QLineEdit>(dialog, "URLEdit").setText(text);
  Click(dialog, "AddButton");
}

void SelectAndDelete(const QWidget& dialog, int row) {
  Find<QListWidget>(dialog, "URLListBox").setCurrentRow(row);
  Click(dialog, "DeleteButton");
}

MainStores TwoSites() {
  MainStores stores;
  stores.sites.Add("http://a.example/");
  stores.sites.Add("http://b.example/");
  return stores;
}

}  // namespace

class ConfigDialogTest : public QObject {
  Q_OBJECT

  // Fill shows the switch in `check`, Store takes the tick back.
  static void CarriesSwitch(TConfigDialog& dialog, QCheckBox& check, bool Configuration::*value) {
    for (const bool on : {true, false}) {
      Configuration configuration;
      configuration.*value = on;
      SiteList sites;
      dialog.Fill(sites, configuration);
      QCOMPARE(check.isChecked(), on);
      check.setChecked(!on);
      dialog.Store(sites, configuration);
      QCOMPARE(configuration.*value, !on);
    }
  }

 private slots:
  void LaidOutAsDesigned() {
    TConfigDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("設定"));
    QCOMPARE(dialog.width(), 423);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(Find<QLabel>(dialog, "CopyLightLabel")
                .text()
                .contains(QRegularExpression(QStringLiteral(
                    "^Quillmark\n.+\n.+EJDict.+\n最終ビルド日[A-Z][a-z][a-z] [ 123]\\d \\d{4}$"))));

    // The controls the keyboard reaches, in order, from the list box round to it again. An
    // edit box and its spin control are one stop.
    const QStringList expected = {
        "URLListBox",     "URLEdit",          "AddButton",     "DeleteButton",   "ItemNoUpDown",
        "OKButton",       "CancelButton",     "LinkCheck",     "LinkUpDown",     "HttpsCheck",
        "HideNamesCheck", "ArticleTextCheck", "ArticlesCheck", "ArticlesUpDown", "URLListBox"};
    QStringList order;
    QWidget* widget = &Find<QListWidget>(dialog, "URLListBox");
    for (int step = 0; step < 200 && order.size() < expected.size(); ++step) {
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->focusProxy() == nullptr &&
          !widget->objectName().isEmpty())
        order << widget->objectName();
      widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, expected);
  }

  // The switches added after the design stand in one framed column inside the dialog, above
  // OK and Cancel, each whole; each carries its configuration value.
  void TheAddedSwitchesShareAFrameAboveTheButtons() {
    TConfigDialog dialog;
    const auto& frame = Find<QFrame>(dialog, "OptionsFrame");
    const QRect ok = Find<QPushButton>(dialog, "OKButton").geometry();
    QVERIFY(frame.geometry().bottom() < ok.top());
    QVERIFY(dialog.rect().contains(ok));
    QVERIFY(dialog.rect().contains(frame.geometry()));
    const struct {
      const char* name;
      QString text;
      bool Configuration::*value;
    } switches[] = {
        {"HttpsCheck", QStringLiteral("HTTPSのサイトも取得する"), &Configuration::fetchHttps},
        {"HideNamesCheck", QStringLiteral("固有名詞とページの見出し語を表示しない"),
         &Configuration::hideNames},
        {"ArticleTextCheck", QStringLiteral("記事の本文だけを読む（メニューや見出しの一覧は除く）"),
         &Configuration::articleText},
    };
    int previousBottom = -1;
    for (const auto& s : switches) {
      auto& check = Find<QCheckBox>(dialog, s.name);
      QCOMPARE(check.text(), s.text);
      QCOMPARE(check.parentWidget(), &frame);
      QVERIFY(frame.rect().contains(check.geometry()));
      QVERIFY2(check.geometry().top() > previousBottom,  // one column, none over another
               qPrintable(QStringLiteral("%1 %2").arg(check.geometry().top()).arg(previousBottom)));
      QVERIFY(check.width() >= check.sizeHint().width());
      previousBottom = check.geometry().bottom();
      CarriesSwitch(dialog, check, s.value);
    }
  }

  void ArticlesCheckAndCountSitBelowAndCarryFollowArticlesAndArticlesPerSite() {
    TConfigDialog dialog;
    auto& check = Find<QCheckBox>(dialog, "ArticlesCheck");
    QCOMPARE(check.text(), QStringLiteral("各サイトの最新記事も読む"));
    QCOMPARE(Find<QLabel>(dialog, "Label4").text(), QStringLiteral("サイトごとの記事数"));
    // In the dialog's coordinates: the row stands in the options frame, below the article tick.
    const auto inDialog = [&dialog](const QWidget& widget) {
      return QRect(widget.mapTo(&dialog, QPoint(0, 0)), widget.size());
    };
    const QRect above = inDialog(Find<QCheckBox>(dialog, "ArticleTextCheck"));
    auto& count = Find<QSpinBox>(dialog, "ArticlesUpDown");
    for (const QRect place : {inDialog(check), inDialog(count)}) {
      QVERIFY(place.top() > above.bottom());
      QVERIFY(inDialog(Find<QFrame>(dialog, "OptionsFrame")).contains(place));
    }
    CarriesSwitch(dialog, check, &Configuration::followArticles);
    for (const auto& [configured, shown] :
         {std::pair{10, 10}, {1, 1}, {100, 100}, {0, 1}, {250, 100}}) {
      Configuration configuration;
      configuration.articlesPerSite = configured;
      SiteList sites;
      dialog.Fill(sites, configuration);
      QCOMPARE(count.value(), shown);
      dialog.Store(sites, configuration);
      QCOMPARE(configuration.articlesPerSite, shown);
    }
  }

  void ValuesAreTakenAs16BitsAndHeldInTheRanges() {
    const struct {
      std::int32_t configured;
      int shownItems;
      int shownDepth;
    } cases[] = {{500, 200, 5}, {-3, 5, 1}, {65536 + 70, 70, 5}, {65536 + 2, 5, 2}};
    for (const auto& c : cases) {
      TConfigDialog dialog;
      Configuration configuration{c.configured, "", c.configured, true};
      SiteList sites;
      dialog.Fill(sites, configuration);
      QCOMPARE(Find<QLineEdit>(dialog, "ItemNoEdit").text().toInt(), c.shownItems);
      QCOMPARE(Find<QLineEdit>(dialog, "LinkEdit").text().toInt(), c.shownDepth);
      QVERIFY(Find<QCheckBox>(dialog, "LinkCheck").isChecked());
      dialog.Store(sites, configuration);
      QCOMPARE(configuration.itemViewCount, c.shownItems);
      QCOMPARE(configuration.allowedLevel, c.shownDepth);
    }
  }

  void AddAndDeleteThenOkStoresTheSortedListWithoutCaseOnlyDuplicates() {
    MainStores stores = TwoSites();
    stores.configuration.itemViewCount = 30;
    QStringList afterEdits;
    QString editAfterDelete;
    WhenModalShown<TConfigDialog>([&](TConfigDialog& dialog) {
      AddSite(dialog, "HTTP://A.example/");
      AddSite(dialog, "");
      SelectAndDelete(dialog, 1);
      editAfterDelete = Find<QLineEdit>(dialog, "URLEdit").text();
      Click(dialog, "DeleteButton");  // nothing is selected any more
      afterEdits = Items(dialog);
      Find<QCheckBox>(dialog, "LinkCheck").setChecked(true);
      Click(dialog, "OKButton");
    });
    QVERIFY(OpenOptions(nullptr, stores));

    QCOMPARE(editAfterDelete, QStringLiteral("http://b.example/"));
    QCOMPARE(afterEdits, QStringList({"http://a.example/", "HTTP://A.example/", ""}));
    QCOMPARE(stores.sites.Addresses(), std::vector<std::string>({"", "http://a.example/"}));
    QCOMPARE(stores.configuration.itemViewCount, 30);
    QVERIFY(stores.configuration.isLevel);
  }

  void TheAboutLineEndsWithWhereTheDataIsKeptWithinItsFrame() {
    MainStores stores = TwoSites();
    stores.programDirectory = "/home/a-rather-long-user-name/.local/share/quillmark/";
    QString about;
    QRect place;
    WhenModalShown<TConfigDialog>([&](TConfigDialog& dialog) {
      const auto& label = Find<QLabel>(dialog, "CopyLightLabel");
      about = label.text();
      place = label.geometry();
      Click(dialog, "CancelButton");
    });
    QVERIFY(!OpenOptions(nullptr, stores));

    QVERIFY(about.startsWith(QStringLiteral("Quillmark\n")));
    QVERIFY(about.endsWith(
        QStringLiteral("\nデータの保存先:/home/a-rather-long-user-name/.local/share/quillmark/")));
    QVERIFY(QRect(214, 120, 198, 129).contains(place));
  }

  void CancelAfterEditsChangesNothing() {
    MainStores stores = TwoSites();
    WhenModalShown<TConfigDialog>([](TConfigDialog& dialog) {
      SelectAndDelete(dialog, 0);
      AddSite(dialog, "http://c.example/");
      Find<QSpinBox>(dialog, "ItemNoUpDown").setValue(99);
      Find<QCheckBox>(dialog, "LinkCheck").setChecked(true);
      Click(dialog, "CancelButton");
    });
    QVERIFY(!OpenOptions(nullptr, stores));
    QCOMPARE(stores.sites.Addresses(), TwoSites().sites.Addresses());
    QCOMPARE(stores.configuration.itemViewCount, 30);
    QVERIFY(!stores.configuration.isLevel);
  }

  void ADeletedBuiltInSiteStaysGoneButTheFurtherOnesComeBackAtTheNextStart() {
    InMemorySession first;
    const std::string further = kFurtherBuiltInSites[0];
    {
      TMainForm form(first.session, {});
      WhenModalShown<TConfigDialog>([&](TConfigDialog& dialog) {
        for (const char* site : {"http://a.example/", kFurtherBuiltInSites[0]})
          SelectAndDelete(dialog, Items(dialog).indexOf(site));
        Click(dialog, "OKButton");
      });
      form.findChild<QAction*>("MnuConfigOption")->trigger();
    }
    const auto& sites = first.session.Stores().sites.Addresses();
    QCOMPARE(std::count(sites.begin(), sites.end(), "http://a.example/"), 0);
    QCOMPARE(std::count(sites.begin(), sites.end(), further), 0);

    first.session.Save(first.settings);
    Session next(first.files);
    next.Load(first.settings);
    const auto& restarted = next.Stores().sites.Addresses();
    QCOMPARE(std::count(restarted.begin(), restarted.end(), "http://a.example/"), 0);
    QCOMPARE(std::count(restarted.begin(), restarted.end(), further), 1);
  }
};

}  // namespace quillmark

extern const QMetaObject* const kConfigDialogTestMeta =
    &quillmark::ConfigDialogTest::staticMetaObject;

int RunConfigDialogTests(int argc, char** argv) {
  quillmark::ConfigDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "config_dialog_test.moc"
