#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/BatchRunner.h"
#include "app/OptionTable.h"
#include "profile/Profile.h"
#include "sitemap/MacroFilters.h"
#include "sitemap/Macros.h"
#include "ui/EditableListCtrl.h"
#include "ui/FolioscribeDlg.h"
#include "ui/ProfileChooser.h"
#include "ui/RunStatusLine.h"
#include "ui/TemplateEdit.h"
#include "ui/TestPrompts.h"

namespace {

const QString kProfileFilter = QStringLiteral("Setting files (*.folioscribe_options)");
// Between a menu entry's name and its description.
const QString kDash = QStringLiteral("  \u2014  ");

// Every setting differs from its default, so a key that is not written or read shows.
RunSettings FullSettings(const std::string& folder) {
  RunSettings s;
  s.sStartDirectoryPath = folder;
  s.sOutPutFileName = "map.html";
  s.sTemplateStart = "<ul>\r\n<li class=\"top\">%fName%<ul>";
  s.sTemplateFolder = "<li>%fName%\n";
  s.sTemplateFile = "<li><a href=\"%fRelativePathWeb%\">%AutoHrefText% [%fSizeb%]</a></li>";
  s.sTemplateEnd = "</ul></li>\r\n</ul>\r\n";
  s.sTemplateFolderLevelDown = "<ul>";
  s.sTemplateFolderLevelUp = "</ul></li>";
  s.bIndexAsDirText = s.bUsePageRank = s.bExcludeNotLinked = true;
  s.sDomain = "www.example.com";
  s.aExclude = {".css", "private"};
  s.aPatterns = {"*.bak", "!keep.bak"};
  s.bSkipEmptyFolders = true;
  return s;
}

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const QString& path, const std::string& content) {
  std::ofstream(path.toStdString(), std::ios::binary) << content;
}

// `folders` folders of `files` small pages each under `site`.
void WriteSite(const QString& site, int folders, int files) {
  for (int f = 0; f < folders; ++f) {
    const QString folder = site + QStringLiteral("/d%1").arg(f, 3, 10, QLatin1Char('0'));
    QDir().mkpath(folder);
    for (int i = 0; i < files; ++i)
      WriteFile(folder + QStringLiteral("/p%1.htm").arg(i, 4, 10, QLatin1Char('0')),
                "<title>Page</title>");
  }
}

}  // namespace

class FolioscribeDlgTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;
  CFolioscribeApp app_;
  TestPrompts prompts_;

  QString Temp(const char* name) const { return temp_.filePath(QString::fromUtf8(name)); }
  QString WriteProfile(const char* name, const RunSettings& settings) {
    ConsoleMessageSink sink(std::cerr);
    if (!SaveProfileAs(Temp(name).toStdString(), settings, sink)) qFatal("cannot write %s", name);
    return Temp(name);
  }
  template <typename Widget = QPushButton>
  static Widget* Find(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  static QString Text(QWidget& dialog, const char* name) {
    if (auto* edit = dialog.findChild<TemplateEdit*>(QString::fromUtf8(name)))
      return QString::fromStdString(edit->Template());
    return Find<QLineEdit>(dialog, name)->text();
  }
  static void CompareSettings(const RunSettings& a, const RunSettings& b) {
    QCOMPARE(a.sStartDirectoryPath, b.sStartDirectoryPath);
    QCOMPARE(a.sOutPutFileName, b.sOutPutFileName);
    QCOMPARE(a.sTemplateStart, b.sTemplateStart);
    QCOMPARE(a.sTemplateFolder, b.sTemplateFolder);
    QCOMPARE(a.sTemplateFile, b.sTemplateFile);
    QCOMPARE(a.sTemplateEnd, b.sTemplateEnd);
    QCOMPARE(a.sTemplateFolderLevelDown, b.sTemplateFolderLevelDown);
    QCOMPARE(a.sTemplateFolderLevelUp, b.sTemplateFolderLevelUp);
    QCOMPARE(a.aExclude, b.aExclude);
    QCOMPARE(a.sDomain, b.sDomain);
    QCOMPARE(a.bIndexAsDirText, b.bIndexAsDirText);
    QCOMPARE(a.bExcludeNotLinked, b.bExcludeNotLinked);
    QCOMPARE(a.bUsePageRank, b.bUsePageRank);
    QCOMPARE(a.bAddSignature, b.bAddSignature);
    QCOMPARE(a.aPatterns, b.aPatterns);
    QCOMPARE(a.aInclude, b.aInclude);
    QCOMPARE(a.bUseIgnoreFiles, b.bUseIgnoreFiles);
    QCOMPARE(a.bSkipHidden, b.bSkipHidden);
    QCOMPARE(a.bSkipEmptyFolders, b.bSkipEmptyFolders);
    QCOMPARE(a.bCrawlOnlyKept, b.bCrawlOnlyKept);
  }
  // A dialog on `site` that writes map.html with `fileTemplate` for each file.
  std::unique_ptr<CFolioscribeDlg> DialogOn(const QString& site, const char* fileTemplate) {
    StartupRequest startup;
    startup.folder = site.toStdString();
    auto dialog = std::make_unique<CFolioscribeDlg>(app_, prompts_, startup);
    dialog->OnInitDialog();
    Find<QLineEdit>(*dialog, "outputName")->setText(QStringLiteral("map.html"));
    Find<TemplateEdit>(*dialog, "templateFile")->setPlainText(QString::fromUtf8(fileTemplate));
    return dialog;
  }
  // "Do it!" is greyed while a run goes.
  static void WaitForTheRun(QWidget& dialog) {
    QTRY_VERIFY_WITH_TIMEOUT(Find(dialog, "doIt")->isEnabled(), 30000);
  }
  static void Activate(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
  }

 private slots:
  void initTestCase() {
    // The dialog's own settings go to a folder of the test, not the user's.
    qputenv("XDG_CONFIG_HOME", Temp("config").toUtf8());
  }

  void init() {
    app_ = CFolioscribeApp();
    prompts_ = TestPrompts();
  }

  void startWithoutProfileAndTheAdvisor() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    dialog.OnInitDialog();
    QCOMPARE(prompts_.questions.size(), 1);
    QCOMPARE(prompts_.questions[0].title, QStringLiteral("Select profile"));
    QCOMPARE(prompts_.questions[0].folder, QString::fromStdString(ProfilesFolder()));
    QCOMPARE(prompts_.questions[0].filter, kProfileFilter);
    for (const char* field : {"startFolder", "outputName", "templateStart", "levelUp"})
      QCOMPARE(Text(dialog, field), QString());
    auto* advisor = Find<QLabel>(dialog, "advisor");
    QCOMPARE(advisor->text(), QString::fromUtf8(CFolioscribeDlg::kStartHint));
    QVERIFY(app_.settings.bSkipHidden);  // for a profile made from scratch

    auto* output = Find<QLineEdit>(dialog, "outputName");
    // Links work from any folder now; only a Windows drive or share name breaks them.
    QTest::keyClicks(output, QStringLiteral("/tmp/map.html"));
    QCOMPARE(advisor->text(), QString());
    output->setText(QStringLiteral("\\\\server\\map.html"));
    QCOMPARE(advisor->text(), QString::fromUtf8(CFolioscribeDlg::kAbsolutePathHint));
    output->clear();
    QTest::keyClicks(output, QStringLiteral("sitemap.html"));
    QCOMPARE(advisor->text(), QString());
    output->setText(QStringLiteral("C:\\out\\map.html"));
    QCOMPARE(advisor->text(), QString::fromUtf8(CFolioscribeDlg::kAbsolutePathHint));

    // A loaded absolute output name gives the hint; at start-up the start hint follows it.
    RunSettings absolute;
    absolute.sOutPutFileName = "D:\\www\\map.html";
    const QString profile = WriteProfile("absolute.folioscribe_options", absolute);
    output->setText(QStringLiteral("sitemap.html"));
    prompts_.setNextAnswer(profile);
    Find(dialog, "openProfile")->click();
    QCOMPARE(advisor->text(), QString::fromUtf8(CFolioscribeDlg::kAbsolutePathHint));
    QVERIFY(!app_.settings.bSkipHidden);
    StartupRequest named;
    named.profilePath = profile.toStdString();
    CFolioscribeDlg started(app_, prompts_, named);
    started.OnInitDialog();
    QCOMPARE(Find<QLabel>(started, "advisor")->text(), QString::fromUtf8(CFolioscribeDlg::kStartHint));
  }

  void profileLoadFillsEveryControlAndSaveWritesEveryKey() {
    const RunSettings full = FullSettings("/srv/site");
    StartupRequest startup;
    startup.profilePath = WriteProfile("full.folioscribe_options", full).toStdString();
    CFolioscribeDlg dialog(app_, prompts_, startup);
    dialog.OnInitDialog();
    QVERIFY(prompts_.questions.isEmpty());
    const QStringList expected = {
        QStringLiteral("/srv/site"), QStringLiteral("map.html"),
        QString::fromStdString(full.sTemplateStart), QString::fromStdString(full.sTemplateFolder),
        QString::fromStdString(full.sTemplateFile), QString::fromStdString(full.sTemplateEnd),
        QStringLiteral("<ul>"), QStringLiteral("</ul></li>")};
    QStringList shown;
    for (const char* field : {"startFolder", "outputName", "templateStart", "templateFolder",
                              "templateFile", "templateEnd", "levelDown", "levelUp"})
      shown.append(Text(dialog, field));
    QCOMPARE(shown, expected);

    QStringList options;
    prompts_.onModal = [&options](QDialog& more) {
      for (const char* box : {"indexAsDirText", "usePageRank", "excludeNotLinked", "addSignature"})
        options.append(Find<QCheckBox>(more, box)->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
      options.append(Find<QLineEdit>(more, "domain")->text());
      options.append(QString::number(Find<CEditableListCtrl>(more, "excludeList")->count()));
      return int(QDialog::Rejected);
    };
    Find(dialog, "moreOptions")->click();
    QCOMPARE(options, (QStringList{QStringLiteral("on"), QStringLiteral("on"), QStringLiteral("on"),
                                   QStringLiteral("on"), QStringLiteral("www.example.com"),
                                   QStringLiteral("3")}));

    // An edit of a field reaches the saved file without any other step.
    Find<TemplateEdit>(dialog, "templateFile")->setPlainText(QStringLiteral("<p>%fName%</p>"));
    prompts_.setNextAnswer(Temp("saved.folioscribe_options"));
    Find(dialog, "saveProfile")->click();
    QCOMPARE(prompts_.questions.last().title, QStringLiteral("Save profile"));
    QCOMPARE(prompts_.questions.last().filter, kProfileFilter);
    RunSettings loaded;
    loaded.aExclude = {"kept when the key is missing"};
    ConsoleMessageSink sink(std::cerr);
    QVERIFY(LoadProfile(Temp("saved.folioscribe_options").toStdString(), loaded, sink));
    RunSettings edited = full;
    edited.sTemplateFile = "<p>%fName%</p>";
    CompareSettings(loaded, edited);

    // A name typed without the extension is saved with it, so it can be opened again.
    prompts_.setNextAnswer(Temp("mine"));
    Find(dialog, "saveProfile")->click();
    QVERIFY(LoadProfile(Temp("mine.folioscribe_options").toStdString(), loaded, sink));
    CompareSettings(loaded, edited);
    QVERIFY(!QFileInfo::exists(Temp("mine")));

    // A profile that is not there changes nothing and says so.
    prompts_.setNextAnswer(Temp("gone.folioscribe_options"));
    Find(dialog, "openProfile")->click();
    QCOMPARE(prompts_.messages.last(),
             QStringLiteral("Profile file: %1 does not exists").arg(Temp("gone.folioscribe_options")));
    QCOMPARE(Text(dialog, "templateFile"), QStringLiteral("<p>%fName%</p>"));
  }

  void keyboard() {
    StartupRequest startup;
    startup.folder = temp_.path().toStdString();
    CFolioscribeDlg dialog(app_, prompts_, startup);
    dialog.OnInitDialog();
    Activate(dialog);
    prompts_.questions.clear();
    auto* templateFile = Find<TemplateEdit>(dialog, "templateFile");
    templateFile->setFocus();
    QTest::keyClick(templateFile, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(templateFile, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(templateFile, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QStringList titles;
    for (const auto& question : prompts_.questions) titles.append(question.title);
    QCOMPARE(titles, (QStringList{QStringLiteral("Save profile"), QStringLiteral("Select profile")}));

    QTest::keyClick(templateFile, Qt::Key_F1);
    QVERIFY(prompts_.openedUrls.last().toLocalFile().endsWith(QStringLiteral("/help/index.html")));

    // Enter: a line break in a template, a run from a one-line field (here: no output name).
    templateFile->setPlainText(QStringLiteral("a"));
    templateFile->moveCursor(QTextCursor::End);
    QTest::keyClick(templateFile, Qt::Key_Return);
    QVERIFY(prompts_.messages.isEmpty());
    QCOMPARE(templateFile->toPlainText(), QStringLiteral("a\n"));
    auto* startFolder = Find<QLineEdit>(dialog, "startFolder");
    startFolder->setText(Temp("no such folder"));
    startFolder->setFocus();
    QTest::keyClick(startFolder, Qt::Key_Return);
    QTRY_COMPARE(prompts_.messages,
             QStringList{Temp("no such folder") + QStringLiteral("\r\ndoesn't exist, or is not a folder")});
    QVERIFY(dialog.isVisible());
    // Escape with the edits unsaved asks first; Discard lets the dialog go.
    prompts_.setNextSaveAnswer(UiPrompts::SaveAnswer::kDiscard);
    QTest::keyClick(startFolder, Qt::Key_Escape);
    QCOMPARE(prompts_.saveQuestions, QStringList{QStringLiteral("Save changes to the profile Untitled?")});
    QVERIFY(!dialog.isVisible());
  }

  void macroMenuReplacesTheSelection() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    auto* file = Find<TemplateEdit>(dialog, "templateFile");
    file->setPlainText(QStringLiteral("<li>OLD</li>"));
    QTextCursor cursor = file->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    file->setTextCursor(cursor);
    prompts_.setNextMenuChoice(1);
    Find(dialog, "macroFile")->click();
    QCOMPARE(file->toPlainText(), QStringLiteral("<li>%fName%</li>"));

    // The first entry is a choice too; a dismissed menu changes nothing.
    prompts_.setNextMenuChoice(0);
    Find(dialog, "macroFile")->click();
    prompts_.setNextMenuChoice(-1);
    Find(dialog, "macroFile")->click();
    QCOMPARE(file->toPlainText(), QStringLiteral("<li>%fName%%fTitle%</li>"));

    prompts_.setNextMenuChoice(12);
    Find(dialog, "macroStart")->click();
    prompts_.setNextMenuChoice(18);
    Find(dialog, "macroFolder")->click();
    prompts_.setNextMenuChoice(7);
    Find(dialog, "macroEnd")->click();
    QCOMPARE(Text(dialog, "templateStart"), QStringLiteral("%fDateTimeFormat(%Y-%m-%d %H:%M:%S)%"));
    QCOMPARE(Text(dialog, "templateFolder"), QStringLiteral("%fParentNameWeb%"));
    QCOMPARE(Text(dialog, "templateEnd"), QStringLiteral("%autoHrefText%"));

    const QStringList macros = QStringLiteral(
        "%fTitle%,%fName%,%fRelativePath%,%fAbsoluteLocalPath%,%fParentName%,%indentation%,"
        "%domain%,%autoHrefText%,%curDate%,%curTime%,%fSizeb%,%fDateTime%,"
        "%fDateTimeFormat(%Y-%m-%d %H:%M:%S)%,%ImageThumb%,%fTitleWeb%,%fNameWeb%,"
        "%fRelativePathWeb%,%fAbsoluteLocalPathWeb%,%fParentNameWeb%,%ImageThumbWeb%,%fUrl%,%fLinkCount%,"
        "|html,|xml,|url,|json").split(QLatin1Char(','));
    QCOMPARE(prompts_.shownMenus.size(), 6);
    for (const QStringList& shown : prompts_.shownMenus) {
      QStringList names;
      for (const QString& label : shown) names.append(label.section(kDash, 0, 0));
      QCOMPARE(names, macros);
    }
  }

  void macroMenusExplainEachMacroWithItsValueHere() {
    const QString site = Temp("menu-site");
    QDir().mkpath(site + QStringLiteral("/docs"));
    WriteFile(site + QStringLiteral("/about us.html"), "<title>About us</title>12345");
    WriteFile(site + QStringLiteral("/zeta.txt"), "z");
    WriteFile(site + QStringLiteral("/docs/a.html"), "<title>Docs</title>");
    const auto dialog = DialogOn(site, "");
    const auto labelOf = [this](const char* macro) {
      for (const QString& label : prompts_.shownMenus.last())
        if (label.startsWith(QString::fromUtf8(macro) + kDash)) return label;
      return QString();
    };
    prompts_.setNextMenuChoice(-1);
    Find(*dialog, "macroFile")->click();
    QCOMPARE(prompts_.shownMenuHeadings.last(),
             (QStringList{QStringLiteral("Values for the first file, about us.html:"),
                          QStringLiteral("Filters")}));
    QCOMPARE(labelOf("%fName%"),
             QStringLiteral("%fName%  \u2014  the item's name with its extension\tabout us.html"));
    QVERIFY(labelOf("%fSizeb%").endsWith(QStringLiteral("\t28")));
    QVERIFY(labelOf("%autoHrefText%").endsWith(QStringLiteral("\tAbout us")));
    QVERIFY(labelOf("%fRelativePathWeb%").endsWith(QStringLiteral("\tabout%20us.html")));
    QVERIFY(labelOf("%indentation%").endsWith(QStringLiteral("\t&&nbsp;")));
    // The filters, each with what it does.
    const QStringList& shown = prompts_.shownMenus.last();
    const QStringList filters = shown.mid(shown.size() - 4);
    QCOMPARE(filters.size(), 4);
    QVERIFY(filters[0].startsWith(QStringLiteral("|html") + kDash + QStringLiteral("writes &&, <")));
    QVERIFY(filters[3].startsWith(QStringLiteral("|json") + kDash + QStringLiteral("escapes")));

    prompts_.setNextMenuChoice(-1);
    Find(*dialog, "macroFolder")->click();
    QCOMPARE(prompts_.shownMenuHeadings.last().first(),
             QStringLiteral("Values for the start folder, menu-site:"));
    QVERIFY(labelOf("%fSizeb%").endsWith(QStringLiteral("\t0")));
    QVERIFY(labelOf("%fRelativePath%").endsWith(QStringLiteral("\t(empty)")));
    prompts_.setNextMenuChoice(-1);
    Find(*dialog, "macroEnd")->click();
    QCOMPARE(prompts_.shownMenuHeadings.last().first(),
             QStringLiteral("Values in Start and End:"));

    // No folder to read: the made-up examples.
    Find<QLineEdit>(*dialog, "startFolder")->setText(Temp("no such folder"));
    prompts_.setNextMenuChoice(-1);
    Find(*dialog, "macroFile")->click();
    QVERIFY(prompts_.shownMenuHeadings.last().first().startsWith(QStringLiteral("Examples")));
    QVERIFY(labelOf("%fName%").endsWith(QStringLiteral("\te.g. my page.html")));

    // A choice inserts the macro's text, a filter its name behind "|".
    auto* file = Find<TemplateEdit>(*dialog, "templateFile");
    prompts_.setNextMenuChoice(int(MacroTable().size()) - 1);
    Find(*dialog, "macroFile")->click();
    prompts_.setNextMenuChoice(int(MacroTable().size()) + 1);
    Find(*dialog, "macroFile")->click();
    QCOMPARE(file->toPlainText(), QStringLiteral("%fLinkCount%|xml"));
  }

  void theManualHoldsEveryMacroFilterAndOption() {
    QTextDocument manual;
    manual.setHtml(QString::fromStdString(ReadFile(QStringLiteral(FOLIOSCRIBE_HELP_PAGE))));
    const QString text = manual.toPlainText();
    const auto plain = [](std::string_view description) {
      return QString::fromUtf8(description.data(), qsizetype(description.size()))
          .remove(QLatin1Char('`'));
    };
    for (const MacroDefinition& macro : MacroTable()) {
      const QString name = QString::fromStdString(MacroText(macro));
      QVERIFY2(text.contains(name), qPrintable(name));
      QVERIFY2(text.contains(plain(macro.description)), qPrintable(name));
      QVERIFY2(text.contains(plain(macro.example)), qPrintable(name));
    }
    for (const MacroFilterDefinition& filter : MacroFilterTable())
      QVERIFY2(text.contains(plain(filter.description)), qPrintable(plain(filter.name)));
    for (const OptionSpec& option : KnownOptions())
      QVERIFY2(text.contains(QStringLiteral("--") + QString::fromUtf8(option.name)), option.name);
  }

  void reportListsTheCountsMostLinkedFirst() {
    app_.linkCounts.Add("/srv/site/b.htm");
    app_.linkCounts.Add("/srv/site/a.htm");
    app_.linkCounts.Add("/srv/site/a.htm#top");
    app_.linkCounts.Add("/srv/site/a.htm");
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    QString report;
    QStringList captions;
    prompts_.onModal = [&](QDialog& shown) {
      report = Find<QPlainTextEdit>(shown, "reportText")->toPlainText();
      for (const QLabel* label : shown.findChildren<QLabel*>()) captions.append(label->text());
      return int(QDialog::Accepted);
    };
    Find(dialog, "report")->click();
    QCOMPARE(report, QStringLiteral("/srv/site/a.htm [2]\n/srv/site/b.htm [1]\n/srv/site/a.htm#top [1]\n"));
    QCOMPARE(captions, (QStringList{
        QStringLiteral("Report - use only after building a sitemap with link counting [more options]"),
        QStringLiteral("Most linked [num. of links]:")}));
  }

  void reportTabsShowWhatTheRunFound() {
    const QString site = Temp("checked");
    QVERIFY(QDir().mkpath(site + QStringLiteral("/sub")));
    WriteFile(site + QStringLiteral("/index.htm"), "<a href=\"sub/a.htm\">a</a>\n<a href=\"gone.htm\">x</a>");
    WriteFile(site + QStringLiteral("/sub/a.htm"),
              "<a href=\"../index.htm\">home</a>\n<a href=\"mailto:no one\">?</a>\n"
              "<a href=\"http://127.0.0.1:1/x\">closed</a>");
    WriteFile(site + QStringLiteral("/sub/lost.htm"), "");
    RunSettings settings = FullSettings(site.toStdString());
    settings.bExcludeNotLinked = false;
    settings.bCheckExternal = true;
    app_.settings = settings;
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    QStringList tabs, broken, orphans, external;
    prompts_.onModal = [&](QDialog& shown) {
      auto* tabWidget = Find<QTabWidget>(shown, "reportTabs");
      for (int i = 0; i < tabWidget->count(); ++i) tabs.append(tabWidget->tabText(i));
      auto* brokenList = Find<QTreeWidget>(shown, "brokenLinks");
      for (int row = 0; row < brokenList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = brokenList->topLevelItem(row);
        for (int column = 0; column < item->columnCount(); ++column) broken.append(item->text(column));
      }
      auto* orphanList = Find<QTreeWidget>(shown, "orphans");
      for (int row = 0; row < orphanList->topLevelItemCount(); ++row)
        orphans.append(orphanList->topLevelItem(row)->text(0));
      auto* externalList = Find<QTreeWidget>(shown, "externalLinks");
      for (int row = 0; row < externalList->topLevelItemCount(); ++row)
        external.append(externalList->topLevelItem(row)->text(2) + QStringLiteral(": ") +
                        externalList->topLevelItem(row)->text(3));
      emit brokenList->itemDoubleClicked(brokenList->topLevelItem(0), 2);
      emit orphanList->itemDoubleClicked(orphanList->topLevelItem(0), 0);
      return int(QDialog::Accepted);
    };
    prompts_.openedUrls.clear();
    Find(dialog, "report")->click();
    QCOMPARE(tabs, (QStringList{QStringLiteral("Link counts"), QStringLiteral("Broken links"),
                                QStringLiteral("Orphans"), QStringLiteral("External links")}));
    QCOMPARE(external,
             (QStringList{
                 QStringLiteral("mailto:no one: bad mail link"),
                 QStringLiteral("http://127.0.0.1:1/x: could not connect: Connection refused")}));
    QCOMPARE(broken, (QStringList{QStringLiteral("index.htm"), QStringLiteral("2"),
                                  QStringLiteral("gone.htm"), QStringLiteral("gone.htm")}));
    QCOMPARE(orphans, QStringList{QStringLiteral("sub/lost.htm")});
    QCOMPARE(prompts_.openedUrls,
             (QList<QUrl>{QUrl::fromLocalFile(site + QStringLiteral("/index.htm")),
                          QUrl::fromLocalFile(site + QStringLiteral("/sub/lost.htm"))}));
  }

  void runFromTheDialogWritesWhatBatchModeWrites() {
    const QString site = Temp("site");
    QVERIFY(QDir().mkpath(site + QStringLiteral("/docs")));
    WriteFile(site + QStringLiteral("/index.htm"),
              "<title>Home</title><a href=\"b.htm\">B</a><a href=\"docs/a%20b.html\">AB</a>");
    WriteFile(site + QStringLiteral("/b.htm"), "<title>B</title><a href=\"docs/a b.html\">x</a>");
    WriteFile(site + QStringLiteral("/docs/a b.html"), "<title>A B</title>");
    RunSettings settings = FullSettings("/elsewhere");
    settings.aExclude.clear();
    const QString profile = WriteProfile("run.folioscribe_options", settings);
    const QString output = site + QStringLiteral("/map.html");

    std::ostringstream out, err;
    const std::vector<std::string> args = {site.toStdString(), "-profile", profile.toStdString(),
                                           "-justdoit"};
    QCOMPARE(RunHeadless(args, out, err), kExitWritten);
    const std::string batch = ReadFile(output);
    QVERIFY(batch.find("A B") != std::string::npos);

    StartupRequest startup = ReadStartupRequest(ParseCommandLine(args));
    startup.justDoIt = false;
    CFolioscribeDlg dialog(app_, prompts_, startup);
    dialog.OnInitDialog();
    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    QCOMPARE(ReadFile(output), batch);
    QCOMPARE(prompts_.openedUrls, QList<QUrl>{QUrl::fromLocalFile(output)});
    QCOMPARE(Text(dialog, "startFolder"), site);
    QVERIFY(!app_.linkCounts.Empty());

    // A template edited between runs takes effect in the next one.
    Find<TemplateEdit>(dialog, "templateEnd")->setPlainText(QStringLiteral("</ul>THE END"));
    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    QVERIFY(QString::fromStdString(ReadFile(output)).endsWith(QStringLiteral("THE END")));

    // A batch run never reaches the dialog; the settings the command line names do.
    QVERIFY(ReadStartupRequest(ParseCommandLine(args)).NeedsNoDialog());
    startup.outputPath = Temp("other.html").toStdString();
    startup.domain = "https://example.org";
    CFolioscribeDlg named(app_, prompts_, startup);
    named.OnInitDialog();
    QCOMPARE(Text(named, "outputName"), Temp("other.html"));
    QCOMPARE(app_.settings.sDomain, std::string("https://example.org"));
  }

  void runInTheBackgroundEndsWithAStatusLine() {
    const QString site = Temp("status site");
    WriteSite(site, 1, 3);
    const auto owned = DialogOn(site, "%fName%");
    CFolioscribeDlg& dialog = *owned;
    auto* status = Find<RunStatusLine>(dialog, "statusLine");
    auto* open = Find(dialog, "openOutput");
    auto* showInFolder = Find(dialog, "showInFolder");
    QVERIFY(open->isHidden() && showInFolder->isHidden());

    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    const QString output = site + QStringLiteral("/map.html");
    const QRegularExpression wrote(
        QStringLiteral("^Wrote %1: 5 items, 0 pages crawled, in \\d+\\.\\d s$")
            .arg(QRegularExpression::escape(output)));
    QVERIFY2(wrote.match(status->Text()).hasMatch(), qPrintable(status->Text()));
    QCOMPARE(prompts_.openedUrls, QList<QUrl>{QUrl::fromLocalFile(output)});
    open->click();
    showInFolder->click();
    QCOMPARE(prompts_.openedUrls.mid(1),
             (QList<QUrl>{QUrl::fromLocalFile(output), QUrl::fromLocalFile(site)}));

    // A failed run says why on the line too, besides its message box.
    Find<QLineEdit>(dialog, "startFolder")->setText(Temp("gone"));
    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    const QString missing = Temp("gone") + QStringLiteral(" doesn't exist, or is not a folder");
    QCOMPARE(status->Text(), QStringLiteral("Failed: ") + missing);
    QCOMPARE(prompts_.messages, QStringList{Temp("gone") + QStringLiteral("\r\ndoesn't exist, or is not a folder")});
    QVERIFY(open->isHidden() && showInFolder->isHidden());
  }

  void cancelStopsALongRunAndTheDialogStaysResponsive() {
    const QString site = Temp("large site");
    constexpr int kFolders = 4, kFiles = 20, kHeldAt = 10;
    WriteSite(site, kFolders, kFiles);
    const QString map = site + QStringLiteral("/map.html");
    {
      std::ofstream(map.toStdString()) << "the last good map";
    }
    const auto owned = DialogOn(site, "<li>%AutoHrefText%");
    CFolioscribeDlg& dialog = *owned;
    auto* status = Find<RunStatusLine>(dialog, "statusLine");
    auto* cancel = Find(dialog, "cancelRun");
    // The run stands still after kHeldAt items until it is cancelled, however fast the machine.
    dialog.SetRunHook([](const RunControl& control) {
      while (control.progress.items >= kHeldAt && !Cancelled(&control))
        QThread::msleep(1);
    });

    Find(dialog, "doIt")->click();
    QVERIFY(!Find(dialog, "doIt")->isEnabled());
    QVERIFY(!cancel->isHidden());
    // The line counts while the run goes, and the fields take typing meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(status->Text().contains(QRegularExpression(
                                 QStringLiteral("^Working: \\d+ folders, [1-9]\\d* items"))),
                             20000);
    auto* templateEnd = Find<TemplateEdit>(dialog, "templateEnd");
    QTest::keyClicks(templateEnd, QStringLiteral("typed"));
    QCOMPARE(templateEnd->toPlainText(), QStringLiteral("typed"));
    // Meanwhile the new map goes into a temporary file beside the old one.
    const auto temporaryFiles = [&site] {
      return QDir(site).entryList({QStringLiteral(".map.html.*.folioscribe-tmp")},
                                  QDir::Files | QDir::Hidden | QDir::System);
    };
    QCOMPARE(temporaryFiles().size(), 1);
    QCOMPARE(ReadFile(map), std::string("the last good map"));
    cancel->click();
    WaitForTheRun(dialog);
    const QRegularExpression cancelled(
        QStringLiteral("^Cancelled after (\\d+) items: %1 was not written$")
            .arg(QRegularExpression::escape(site + QStringLiteral("/map.html"))));
    const QRegularExpressionMatch match = cancelled.match(status->Text());
    QVERIFY2(match.hasMatch(), qPrintable(status->Text()));
    QCOMPARE(match.captured(1).toInt(), kHeldAt);
    QVERIFY(cancel->isHidden());
    QVERIFY(prompts_.openedUrls.isEmpty());
    QVERIFY(prompts_.messages.isEmpty());
    // The old map is as it was, and the cancelled run's temporary file is gone.
    QCOMPARE(ReadFile(map), std::string("the last good map"));
    QVERIFY2(temporaryFiles().isEmpty(), qPrintable(temporaryFiles().join(QLatin1Char(' '))));
  }

  void previewFollowsEveryEditAndWritesNothing() {
    const QString site = Temp("preview site");
    WriteSite(site, 1, 205);
    const auto owned = DialogOn(site, "<li>%fName%</li>");
    CFolioscribeDlg& dialog = *owned;
    auto* toggle = Find(dialog, "previewToggle");
    auto* pane = Find<QTabWidget>(dialog, "preview");
    auto* text = Find<QTextEdit>(dialog, "previewText");
    auto* rendered = Find<QTextBrowser>(dialog, "previewRendered");
    QVERIFY(!toggle->isChecked() && pane->isHidden());
    Find<TemplateEdit>(dialog, "templateStart")->setPlainText(QStringLiteral("<ul>"));
    toggle->click();
    QVERIFY(!pane->isHidden());

    // 1 + 1 + 205 items: the first 200 are shown.
    QTRY_VERIFY_WITH_TIMEOUT(text->toPlainText().contains(QStringLiteral("<li>p0197.htm</li>")), 20000);
    QVERIFY(!text->toPlainText().contains(QStringLiteral("p0198.htm")));
    QVERIFY(text->toPlainText().endsWith(QStringLiteral("... and 7 more items, not shown here")));
    QVERIFY(rendered->toPlainText().contains(QStringLiteral("p0000.htm")));
    QVERIFY(pane->isTabVisible(pane->indexOf(rendered)));
    // The Start template and the File template are told apart by colour.
    QTextCursor cursor(text->document());
    cursor.setPosition(1);
    const QColor startColour = cursor.charFormat().foreground().color();
    cursor.setPosition(text->toPlainText().indexOf(QStringLiteral("p0000")));
    QVERIFY(cursor.charFormat().foreground().color() != startColour);

    Find<TemplateEdit>(dialog, "templateFile")->setPlainText(QStringLiteral("<p>%fTitle%</p>"));
    QTRY_VERIFY_WITH_TIMEOUT(text->toPlainText().contains(QStringLiteral("<p>p0000</p>")), 20000);
    Find<QLineEdit>(dialog, "outputName")->setText(QStringLiteral("urls.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(!pane->isTabVisible(pane->indexOf(rendered)), 20000);
    Find<QLineEdit>(dialog, "startFolder")->setText(Temp("gone"));
    QTRY_VERIFY_WITH_TIMEOUT(text->toPlainText().contains(QStringLiteral("doesn't exist")), 20000);
    QVERIFY(!QFileInfo::exists(site + QStringLiteral("/map.html")));
    QVERIFY(!QFileInfo::exists(site + QStringLiteral("/urls.txt")));

    // The choice outlives the dialog.
    CFolioscribeDlg next(app_, prompts_, StartupRequest());
    QVERIFY(Find(next, "previewToggle")->isChecked());
    next.ShowPreview(false);
    CFolioscribeDlg last(app_, prompts_, StartupRequest());
    QVERIFY(!Find(last, "previewToggle")->isChecked());
  }

  void everyControlFitsAt800x600AndTheTemplatesGrow() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    dialog.ShowPreview(true);
    auto heightOf = [&dialog](const char* name) { return Find<TemplateEdit>(dialog, name)->height(); };
    dialog.resize(800, 600);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_COMPARE(dialog.size(), QSize(800, 600));
    const int startHeight = heightOf("templateStart");
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      if (widget->isHidden() || widget->objectName().isEmpty() || !widget->isVisibleTo(&dialog)) continue;
      const QRect area(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
      QVERIFY2(dialog.rect().contains(area), qPrintable(widget->objectName()));
      // A height the widget asks for itself stands before its style's hint, as in a layout.
      const int least = widget->minimumHeight() > 0 ? widget->minimumHeight()
                                                     : widget->minimumSizeHint().height();
      QVERIFY2(widget->height() >= least, qPrintable(widget->objectName()));
    }
    dialog.resize(1200, 900);
    QTRY_VERIFY(heightOf("templateStart") > startHeight);
    QCOMPARE(heightOf("templateEnd"), heightOf("templateStart"));
    dialog.ShowPreview(false);
  }

  void aDroppedFolderBecomesTheFolderToRead() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    auto* startFolder = Find<QLineEdit>(dialog, "startFolder");
    auto* templateFile = Find<TemplateEdit>(dialog, "templateFile");
    const QString site = Temp("dropped site");
    QVERIFY(QDir().mkpath(site));
    WriteFile(Temp("page.html"), "<p>");
    // Whether the widget took the drag, and then the drop.
    auto drag = [](QWidget* target, const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
      QCoreApplication::sendEvent(target, &enter);
      if (!enter.isAccepted()) return false;
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
      QCoreApplication::sendEvent(target, &drop);
      return drop.isAccepted();
    };
    QVERIFY(drag(templateFile, {QUrl::fromLocalFile(site + QStringLiteral("/"))}));
    QCOMPARE(startFolder->text(), site);
    QCOMPARE(templateFile->toPlainText(), QString());

    // A file, two folders or a web address are no folder to read.
    startFolder->setText(QStringLiteral("/kept"));
    QVERIFY(!drag(&dialog, {QUrl::fromLocalFile(Temp("page.html"))}));
    QVERIFY(!drag(&dialog, {QUrl::fromLocalFile(site), QUrl::fromLocalFile(temp_.path())}));
    QVERIFY(!drag(&dialog, {QUrl(QStringLiteral("https://example.com/"))}));
    QCOMPARE(startFolder->text(), QStringLiteral("/kept"));
    QVERIFY(drag(&dialog, {QUrl::fromLocalFile(temp_.path())}));
    QCOMPARE(startFolder->text(), temp_.path());
  }

  void startFolderWordAndFolderBrowser() {
    StartupRequest startup;
    startup.folder = Temp("missing").toStdString();
    CFolioscribeDlg dialog(app_, prompts_, startup);
    dialog.OnInitDialog();
    QCOMPARE(prompts_.messages, QStringList{QStringLiteral("Folder: %1 does not exist").arg(Temp("missing"))});

    auto* startFolder = Find<QLineEdit>(dialog, "startFolder");
    startFolder->setText(QStringLiteral("/typed"));
    Find<QLineEdit>(dialog, "outputName")->setText(QStringLiteral("unsaved.html"));
    Find(dialog, "browse")->click();
    QCOMPARE(prompts_.questions.last().folder, QStringLiteral("/typed"));
    QCOMPARE(startFolder->text(), QStringLiteral("/typed"));
    prompts_.setNextAnswer(temp_.path());
    Find(dialog, "browse")->click();
    QCOMPARE(startFolder->text(), temp_.path());
    QCOMPARE(Text(dialog, "outputName"), QStringLiteral("unsaved.html"));
  }
  void returnNeverClosesAndClosingAsksAboutUnsavedChanges() {
    const QString site = Temp("return site");
    WriteSite(site, 1, 2);
    const QString profile = WriteProfile("kept.folioscribe_options", FullSettings(site.toStdString()));
    StartupRequest startup;
    startup.profilePath = profile.toStdString();
    CFolioscribeDlg dialog(app_, prompts_, startup);
    dialog.OnInitDialog();
    Activate(dialog);
    auto* doIt = Find(dialog, "doIt");
    auto* exit = Find(dialog, "exit");
    QVERIFY(!exit->isDefault() && !exit->autoDefault());

    // A mouse click on Do it!, then Return: the run goes, the dialog stays, nothing is asked.
    QTest::mouseClick(doIt, Qt::LeftButton);
    QVERIFY(QApplication::focusWidget() != exit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    WaitForTheRun(dialog);
    QVERIFY(QApplication::focusWidget() != exit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    WaitForTheRun(dialog);
    // Return with the focus on Exit runs Do it! as well.
    exit->setFocus();
    QTest::keyClick(exit, Qt::Key_Return);
    WaitForTheRun(dialog);
    QVERIFY(dialog.isVisible());
    QVERIFY(prompts_.saveQuestions.isEmpty());
    QVERIFY(prompts_.openedUrls.size() >= 3);  // the first Return may come while the run goes

    // Unchanged, Exit just closes.
    exit->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(prompts_.saveQuestions.isEmpty());

    // Changed: Cancel keeps the dialog and the edit, from Exit, Escape and the close box.
    Activate(dialog);
    auto* templateEnd = Find<TemplateEdit>(dialog, "templateEnd");
    templateEnd->setPlainText(QStringLiteral("</ul>edited"));
    exit->click();
    QTest::keyClick(templateEnd, Qt::Key_Escape);
    dialog.close();
    QVERIFY(dialog.isVisible());
    const QString question = QStringLiteral("Save changes to the profile kept?");
    QCOMPARE(prompts_.saveQuestions, QStringList(3, question));
    QCOMPARE(Text(dialog, "templateEnd"), QStringLiteral("</ul>edited"));
    QVERIFY(ReadFile(profile).find("edited") == std::string::npos);

    // Save writes the profile it came from, then the dialog goes.
    prompts_.setNextSaveAnswer(UiPrompts::SaveAnswer::kSave);
    exit->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(prompts_.questions.isEmpty());  // no chooser: the profile's own file
    RunSettings saved;
    ConsoleMessageSink sink(std::cerr);
    QVERIFY(LoadProfile(profile.toStdString(), saved, sink));
    QCOMPARE(saved.sTemplateEnd, std::string("</ul>edited"));

    // A More options change counts too; Save on a profile made from scratch asks where, and
    // cancelling that chooser keeps the dialog open.
    app_ = CFolioscribeApp();
    CFolioscribeDlg fresh(app_, prompts_, StartupRequest());
    fresh.show();
    prompts_.onModal = [](QDialog& more) {
      Find<QCheckBox>(more, "usePageRank")->click();
      more.accept();
      return int(QDialog::Accepted);
    };
    Find(fresh, "moreOptions")->click();
    prompts_.setNextSaveAnswer(UiPrompts::SaveAnswer::kSave);
    Find(fresh, "exit")->click();
    QCOMPARE(prompts_.saveQuestions.last(), QStringLiteral("Save changes to the profile Untitled?"));
    QCOMPARE(prompts_.questions.last().title, QStringLiteral("Save profile"));
    QVERIFY(fresh.isVisible());
    prompts_.setNextSaveAnswer(UiPrompts::SaveAnswer::kDiscard);
    Find(fresh, "exit")->click();
    QVERIFY(!fresh.isVisible());
  }

  void runButtonsNeverTakeEachOthersPlace() {
    const QString site = Temp("buttons site");
    WriteSite(site, 1, 20);
    const auto owned = DialogOn(site, "%fName%");
    CFolioscribeDlg& dialog = *owned;
    Activate(dialog);
    auto place = [&dialog](const char* name) {
      QWidget* button = Find(dialog, name);
      return QRect(button->mapTo(&dialog, QPoint(0, 0)), button->size());
    };
    const QRect before[] = {place("cancelRun"), place("openOutput"), place("showInFolder")};
    dialog.SetRunHook([](const RunControl& control) {
      while (control.progress.items >= 5 && !Cancelled(&control)) QThread::msleep(1);
    });
    Find(dialog, "doIt")->click();
    QVERIFY(!Find(dialog, "cancelRun")->isHidden());
    const QRect cancelWhileRunning = place("cancelRun");
    Find(dialog, "cancelRun")->click();
    WaitForTheRun(dialog);
    dialog.SetRunHook({});
    Find(dialog, "doIt")->click();
    WaitForTheRun(dialog);
    QVERIFY(!Find(dialog, "showInFolder")->isHidden());
    QCOMPARE(cancelWhileRunning, before[0]);
    QCOMPARE(place("openOutput"), before[1]);
    QCOMPARE(place("showInFolder"), before[2]);
    for (const char* name : {"openOutput", "showInFolder"})
      QVERIFY2(!place(name).intersects(cancelWhileRunning), name);
  }

  void previewMakesRoomAndWrapsLongLines() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    dialog.ShowPreview(false);
    dialog.resize(700, 560);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_COMPARE(dialog.width(), 700);
    auto* templates = Find<TemplateEdit>(dialog, "templateStart");
    const int templatesWidth = templates->width();
    // The test's screen is 1280 pixels wide (offscreen-screen.json).
    const int screenWidth = dialog.screen()->availableGeometry().width();
    QVERIFY(screenWidth >= 1280);
    dialog.ShowPreview(true);
    QTRY_VERIFY(dialog.width() > 700);
    QTRY_COMPARE(templates->width(), templatesWidth);
    QVERIFY(Find<QTabWidget>(dialog, "preview")->width() >= 320);
    QCOMPARE(Find<QTextEdit>(dialog, "previewText")->lineWrapMode(), QTextEdit::WidgetWidth);
    dialog.ShowPreview(false);
    QTRY_COMPARE(dialog.width(), 700);
    // Without room on the screen the splitter shares: the templates keep more than half.
    dialog.resize(screenWidth - 40, 560);
    QTRY_COMPARE(dialog.width(), screenWidth - 40);
    dialog.ShowPreview(true);
    auto* workArea = Find<QSplitter>(dialog, "workArea");
    QTRY_VERIFY(workArea->sizes().value(1) > 0);
    QVERIFY(workArea->sizes().value(0) > workArea->sizes().value(1));
    QVERIFY(dialog.width() <= screenWidth);
    dialog.ShowPreview(false);
  }

  void profileChooserTakesABareName() {
    RunSettings settings;
    settings.sOutPutFileName = "bare.html";
    ConsoleMessageSink sink(std::cerr);
    const std::string mine = ProfileSaveFolder() + "/mine.folioscribe_options";
    QVERIFY(SaveProfileAs(mine, settings, sink));
    QVERIFY(QDir().mkpath(Temp("elsewhere")));
    WriteFile(Temp("elsewhere/here.folioscribe_options"), "");
    // Typed into the shown folder, then a name only the profile folders hold.
    const std::pair<const char*, QString> cases[] = {
        {"here", Temp("elsewhere/here.folioscribe_options")},
        {"mine", QString::fromStdString(mine)},
    };
    for (const auto& [typed, expected] : cases) {
      ProfileChooser chooser(nullptr, QStringLiteral("Select profile"), Temp("elsewhere"),
                             kProfileFilter, QFileDialog::AcceptOpen);
      chooser.show();
      QVERIFY(QTest::qWaitForWindowExposed(&chooser));
      auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(name != nullptr);
      QTest::keyClicks(name, QString::fromUtf8(typed));
      QTest::keyClick(name, Qt::Key_Return);
      QTRY_COMPARE(chooser.result(), int(QDialog::Accepted));
      QCOMPARE(chooser.Chosen(), expected);
    }
  }

  void reportSaysWhenTheCounterIsOff() {
    CFolioscribeDlg dialog(app_, prompts_, StartupRequest());
    QString report;
    prompts_.onModal = [&report](QDialog& shown) {
      report = Find<QPlainTextEdit>(shown, "reportText")->toPlainText();
      return int(QDialog::Accepted);
    };
    Find(dialog, "report")->click();
    QCOMPARE(report, QString::fromUtf8(CFolioscribeDlg::kCounterOffNote));
    app_.settings.bUsePageRank = true;  // on, but nothing counted yet: nothing to say
    Find(dialog, "report")->click();
    QCOMPARE(report, QString());
  }
};

QTEST_MAIN(FolioscribeDlgTest)
#include "folioscribedlg_qtest.moc"
