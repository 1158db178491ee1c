#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/EditableListCtrl.h"
#include "ui/MoreOptionsDlg.h"

using Entries = std::vector<std::string>;

class MoreOptionsTest : public QObject {
  Q_OBJECT

 private:
  template <typename Widget>
  static Widget* Find(QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  static QStringList Items(const CEditableListCtrl* list) {
    QStringList items;
    for (int row = 0; row < list->count(); ++row) items.append(list->item(row)->text());
    return items;
  }
  static void Show(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
  }
  // The line edit that in-place editing opened on the list.
  static QWidget* Editor(CEditableListCtrl* list) { return list->indexWidget(list->currentIndex()); }

 private slots:
  void freshSettingsAndTheEnablingRule() {
    RunSettings settings;
    CMoreOptionsDlg dialog(settings);
    auto* usePageRank = Find<QCheckBox>(dialog, "usePageRank");
    auto* excludeNotLinked = Find<QCheckBox>(dialog, "excludeNotLinked");
    QVERIFY(Find<QCheckBox>(dialog, "addSignature")->isChecked());
    QVERIFY(!Find<QCheckBox>(dialog, "indexAsDirText")->isChecked());
    QVERIFY(!usePageRank->isChecked() && !excludeNotLinked->isChecked());
    QVERIFY(!excludeNotLinked->isEnabled());
    QCOMPARE(Find<QLineEdit>(dialog, "domain")->text(), QString());
    QCOMPARE(Items(Find<CEditableListCtrl>(dialog, "excludeList")), QStringList{QStringLiteral("...")});

    usePageRank->click();
    QVERIFY(excludeNotLinked->isEnabled() && !excludeNotLinked->isChecked());
    excludeNotLinked->click();
    usePageRank->click();
    QVERIFY(!excludeNotLinked->isEnabled() && !excludeNotLinked->isChecked());
    usePageRank->click();
    QVERIFY(excludeNotLinked->isEnabled() && !excludeNotLinked->isChecked());
  }

  void okWritesBackCancelDiscards() {
    RunSettings settings;
    settings.aExclude = {"gif", "/private", "js"};
    settings.sDomain = "www.example.com";
    settings.bSkipNoindex = true;
    {
      CMoreOptionsDlg dialog(settings);
      auto* list = Find<CEditableListCtrl>(dialog, "excludeList");
      list->setCurrentRow(0);
      QTest::keyClick(list, Qt::Key_Delete);
      Find<QLineEdit>(dialog, "domain")->setText(QStringLiteral("changed"));
      Find<QCheckBox>(dialog, "addSignature")->click();
      dialog.reject();
    }
    QCOMPARE(settings.aExclude, (Entries{"gif", "/private", "js"}));
    QCOMPARE(settings.sDomain, std::string("www.example.com"));
    QVERIFY(settings.bAddSignature);

    CMoreOptionsDlg dialog(settings);
    auto* list = Find<CEditableListCtrl>(dialog, "excludeList");
    QCOMPARE(Items(list).size(), 4);
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    Find<QCheckBox>(dialog, "indexAsDirText")->click();
    Find<QCheckBox>(dialog, "addSignature")->click();
    Find<QCheckBox>(dialog, "cleanFolderUrls")->click();
    Find<QCheckBox>(dialog, "checkExternal")->click();
    QVERIFY(Find<QCheckBox>(dialog, "skipNoindex")->isChecked());
    Find<QLineEdit>(dialog, "domain")->setText(QStringLiteral("site.example"));
    Find<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings.aExclude, (Entries{"gif", "js"}));
    QVERIFY(settings.bIndexAsDirText && !settings.bAddSignature);
    QVERIFY(settings.bCleanFolderUrls && settings.bSkipNoindex && settings.bCheckExternal);
    QCOMPARE(settings.sDomain, std::string("site.example"));
  }

  void patternListsAndSelectionOptions() {
    const char* const boxes[] = {"useIgnoreFiles", "skipHidden", "skipEmptyFolders", "crawlOnlyKept"};
    RunSettings settings;
    settings.aPatterns = {"*.css", "!keep.css"};
    settings.bSkipHidden = true;
    const RunSettings before = settings;
    {
      CMoreOptionsDlg dialog(settings);
      auto* patterns = Find<CEditableListCtrl>(dialog, "patternList");
      QCOMPARE(Items(patterns), (QStringList{QStringLiteral("*.css"), QStringLiteral("!keep.css"),
                                             QStringLiteral("...")}));
      QCOMPARE(Items(Find<CEditableListCtrl>(dialog, "includeList")), QStringList{QStringLiteral("...")});
      QStringList checked;
      for (const char* box : boxes)
        if (Find<QCheckBox>(dialog, box)->isChecked()) checked.append(QString::fromUtf8(box));
      QCOMPARE(checked, QStringList{QStringLiteral("skipHidden")});
      patterns->setCurrentRow(0);
      QTest::keyClick(patterns, Qt::Key_Delete);
      for (const char* box : boxes) Find<QCheckBox>(dialog, box)->click();
      dialog.reject();
    }
    QVERIFY(settings == before);

    CMoreOptionsDlg dialog(settings);
    auto* patterns = Find<CEditableListCtrl>(dialog, "patternList");
    patterns->setCurrentRow(0);
    QTest::keyClick(patterns, Qt::Key_Delete);
    Find<CEditableListCtrl>(dialog, "includeList")->Fill({"*.html", "*.pdf"});
    for (const char* box : boxes) Find<QCheckBox>(dialog, box)->click();
    dialog.accept();
    QCOMPARE(settings.aPatterns, Entries{"!keep.css"});
    QCOMPARE(settings.aInclude, (Entries{"*.html", "*.pdf"}));
    QCOMPARE(settings.aExclude, Entries{});
    QVERIFY(settings.bUseIgnoreFiles && !settings.bSkipHidden && settings.bSkipEmptyFolders &&
            settings.bCrawlOnlyKept);
  }

  void okClearsExcludeNotLinkedWithoutTheCounter() {
    RunSettings settings;
    settings.bExcludeNotLinked = true;
    CMoreOptionsDlg cancelled(settings);
    auto* box = Find<QCheckBox>(cancelled, "excludeNotLinked");
    QVERIFY(box->isChecked() && !box->isEnabled());
    cancelled.reject();
    QVERIFY(settings.bExcludeNotLinked);
    CMoreOptionsDlg confirmed(settings);
    confirmed.accept();
    QVERIFY(!settings.bExcludeNotLinked);
  }

  void deleteKeepsThePositionAndSparesThePlaceholder() {
    CEditableListCtrl list;
    list.Fill({"a", "b", "c"});
    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Delete);
    QCOMPARE(Items(&list), (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("...")}));
    QCOMPARE(list.currentItem()->text(), QStringLiteral("c"));
    list.setCurrentRow(2);
    QTest::keyClick(&list, Qt::Key_Delete);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.ReadBack(), (Entries{"a", "c"}));
  }

  void typingEditsInPlace() {
    RunSettings settings;
    settings.aExclude = {"old"};
    CMoreOptionsDlg dialog(settings);
    Show(dialog);
    auto* list = Find<CEditableListCtrl>(dialog, "excludeList");

    // A letter on the placeholder starts a new entry with that letter.
    list->setCurrentRow(1);
    QTest::keyClick(list, 'g');
    QVERIFY(Editor(list) != nullptr);
    QTest::keyClicks(Editor(list), QStringLiteral("if"));
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(Items(list), (QStringList{QStringLiteral("old"), QStringLiteral("gif"), QStringLiteral("...")}));
    QVERIFY2(dialog.isVisible(), "Enter in the editor must not close the dialog");

    // A digit on an entry replaces its text; Escape drops the edit.
    list->setCurrentRow(0);
    QTest::keyClick(list, '7');
    QTest::keyClick(Editor(list), Qt::Key_Escape);
    QTRY_COMPARE(list->item(0)->text(), QStringLiteral("old"));

    // "." and "/" start editing the selected line like a letter, and stay on it.
    QTest::keyClick(list, '.');
    QVERIFY(Editor(list) != nullptr);
    QTest::keyClicks(Editor(list), QStringLiteral("pdf"));
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(list->item(0)->text(), QStringLiteral(".pdf"));
    list->setCurrentRow(1);
    QTest::keyClick(list, '/');
    QTest::keyClicks(Editor(list), QStringLiteral("private"));
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(Items(list), (QStringList{QStringLiteral(".pdf"), QStringLiteral("/private"),
                                           QStringLiteral("...")}));

    // Enter adds a new entry wherever the selection is; the dialog stays open.
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(Editor(list) != nullptr);
    QCOMPARE(list->currentRow(), 2);
    QTest::keyClicks(Editor(list), QStringLiteral("tmp"));
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(list->count(), 4);
    QVERIFY(dialog.isVisible());

    // F2 keeps the old text to change; clearing it leaves an empty entry.
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_F2);
    QCOMPARE(qobject_cast<QLineEdit*>(Editor(list))->text(), QStringLiteral(".pdf"));
    QTest::keyClick(Editor(list), Qt::Key_End);
    QTest::keyClick(Editor(list), 'x');
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(list->item(0)->text(), QStringLiteral(".pdfx"));
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_F2);
    qobject_cast<QLineEdit*>(Editor(list))->clear();
    QTest::keyClick(Editor(list), Qt::Key_Return);
    QTRY_COMPARE(list->item(1)->text(), QString());

    // A double click opens the line as it stands.
    const QRect line = list->visualItemRect(list->item(2));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
    QTRY_VERIFY(Editor(list) != nullptr);
    QCOMPARE(qobject_cast<QLineEdit*>(Editor(list))->text(), QStringLiteral("tmp"));
    QTest::keyClick(Editor(list), Qt::Key_Escape);

    dialog.accept();
    QCOMPARE(settings.aExclude, (Entries{".pdfx", "", "tmp"}));
  }
};

QTEST_MAIN(MoreOptionsTest)
#include "moreoptions_qtest.moc"
