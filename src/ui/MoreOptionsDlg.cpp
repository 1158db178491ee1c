#include "ui/MoreOptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

#include "ui/EditableListCtrl.h"

namespace {

QCheckBox* NewCheckBox(const char* caption, const char* name) {
  auto* box = new QCheckBox(QString::fromUtf8(caption));
  box->setObjectName(QString::fromUtf8(name));
  return box;
}

CEditableListCtrl* NewList(const char* name) {
  auto* list = new CEditableListCtrl;
  list->setObjectName(QString::fromUtf8(name));
  return list;
}

// A caption above a list, the pair as one column.
QVBoxLayout* Labelled(const char* caption, QWidget* list) {
  auto* column = new QVBoxLayout;
  auto* label = new QLabel(QString::fromUtf8(caption));
  label->setWordWrap(true);
  label->setBuddy(list);
  column->addWidget(label);
  column->addWidget(list, 1);
  return column;
}

}  // namespace

CMoreOptionsDlg::CMoreOptionsDlg(RunSettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      indexAsDirText_(
          NewCheckBox("&Use index.htm as link text for folders (when %AutoHrefText% macro used)",
                      "indexAsDirText")),
      usePageRank_(NewCheckBox(
          "Use \"&link counter\", when deciding about the order of files/folders", "usePageRank")),
      excludeNotLinked_(NewCheckBox("&Exclude not linked files\\folders", "excludeNotLinked")),
      domain_(new QLineEdit),
      cleanFolderUrls_(NewCheckBox("&Folder addresses end in /", "cleanFolderUrls")),
      skipNoindex_(NewCheckBox("Leave out pages marked &noindex", "skipNoindex")),
      checkExternal_(NewCheckBox("Check e&xternal links (with the link counter; see the Report)",
                                 "checkExternal")),
      addSignature_(NewCheckBox("Add signature (generated with....)", "addSignature")),
      excludeList_(NewList("excludeList")),
      patternList_(NewList("patternList")),
      includeList_(NewList("includeList")),
      useIgnoreFiles_(
          NewCheckBox("Honour .gitignore and .folioscribeignore files", "useIgnoreFiles")),
      skipHidden_(NewCheckBox("Leave out hidden files and folders", "skipHidden")),
      skipEmptyFolders_(NewCheckBox("Leave out empty folders", "skipEmptyFolders")),
      crawlOnlyKept_(NewCheckBox("Do not crawl excluded pages", "crawlOnlyKept")) {
  setWindowTitle(QStringLiteral("More options"));
  domain_->setObjectName(QStringLiteral("domain"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMoreOptionsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CMoreOptionsDlg::reject);
  connect(usePageRank_, &QCheckBox::clicked, this, &CMoreOptionsDlg::OnUsePageRankClicked);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildWebSitemapGroup());
  layout->addWidget(BuildExcludeGroup(), 1);
  layout->addWidget(BuildPatternGroup(), 1);
  layout->addWidget(BuildOtherGroup());
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget* tabOrder[] = {buttons->button(QDialogButtonBox::Ok),
                         buttons->button(QDialogButtonBox::Cancel),
                         indexAsDirText_,
                         excludeList_,
                         usePageRank_,
                         excludeNotLinked_,
                         domain_,
                         cleanFolderUrls_,
                         skipNoindex_,
                         checkExternal_,
                         addSignature_,
                         patternList_,
                         includeList_,
                         useIgnoreFiles_,
                         skipHidden_,
                         skipEmptyFolders_,
                         crawlOnlyKept_};
  for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  buttons->button(QDialogButtonBox::Ok)->setFocus();
  OnInitDialog();
}

QWidget* CMoreOptionsDlg::BuildWebSitemapGroup() {
  auto* group = new QGroupBox(QStringLiteral("Settings typical for Web Sitemaps"));
  auto* domainRow = new QHBoxLayout;
  domainRow->addWidget(new QLabel(QStringLiteral("Domain: (e.g. https://www.example.com):")));
  domainRow->addWidget(domain_, 1);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(indexAsDirText_);
  layout->addWidget(usePageRank_);
  layout->addWidget(excludeNotLinked_);
  layout->addLayout(domainRow);
  layout->addWidget(cleanFolderUrls_);
  layout->addWidget(skipNoindex_);
  layout->addWidget(checkExternal_);
  return group;
}

QWidget* CMoreOptionsDlg::BuildExcludeGroup() {
  auto* group = new QGroupBox(QStringLiteral("Exclude files\\folders"));
  auto* hint = new QLabel(QStringLiteral(
      "Files and folders with text you add here will be excluded. eg. gif, or "
      "/private/noenter. Wildcards (like *.gif) are not supported"));
  hint->setAlignment(Qt::AlignCenter);
  hint->setWordWrap(true);
  hint->setMinimumWidth(540);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(hint);
  layout->addWidget(excludeList_, 1);
  return group;
}

QWidget* CMoreOptionsDlg::BuildPatternGroup() {
  auto* group = new QGroupBox(QStringLiteral("Patterns, as in .gitignore"));
  auto* lists = new QHBoxLayout;
  lists->addLayout(Labelled("Leave out / keep (gitignore patterns), e.g. *.css, /drafts/, "
                            "!keep.css: the last matching line decides", patternList_));
  lists->addLayout(Labelled("Include: when not empty, only files matching these, "
                            "e.g. *.html", includeList_));
  auto* boxes = new QGridLayout;
  boxes->addWidget(useIgnoreFiles_, 0, 0);
  boxes->addWidget(skipHidden_, 0, 1);
  boxes->addWidget(skipEmptyFolders_, 1, 0);
  boxes->addWidget(crawlOnlyKept_, 1, 1);
  auto* layout = new QVBoxLayout(group);
  layout->addLayout(lists, 1);
  layout->addLayout(boxes);
  return group;
}

QWidget* CMoreOptionsDlg::BuildOtherGroup() {
  auto* group = new QGroupBox(QStringLiteral("Other"));
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(addSignature_);
  return group;
}

void CMoreOptionsDlg::OnInitDialog() {
  indexAsDirText_->setChecked(settings_.bIndexAsDirText);
  usePageRank_->setChecked(settings_.bUsePageRank);
  excludeNotLinked_->setChecked(settings_.bExcludeNotLinked);
  excludeNotLinked_->setEnabled(settings_.bUsePageRank);
  domain_->setText(QString::fromUtf8(settings_.sDomain));
  cleanFolderUrls_->setChecked(settings_.bCleanFolderUrls);
  skipNoindex_->setChecked(settings_.bSkipNoindex);
  checkExternal_->setChecked(settings_.bCheckExternal);
  addSignature_->setChecked(settings_.bAddSignature);
  excludeList_->Fill(settings_.aExclude);
  patternList_->Fill(settings_.aPatterns);
  includeList_->Fill(settings_.aInclude);
  useIgnoreFiles_->setChecked(settings_.bUseIgnoreFiles);
  skipHidden_->setChecked(settings_.bSkipHidden);
  skipEmptyFolders_->setChecked(settings_.bSkipEmptyFolders);
  crawlOnlyKept_->setChecked(settings_.bCrawlOnlyKept);
}

void CMoreOptionsDlg::OnUsePageRankClicked(bool checked) {
  if (!checked) excludeNotLinked_->setChecked(false);
  excludeNotLinked_->setEnabled(checked);
}

void CMoreOptionsDlg::accept() {
  settings_.bIndexAsDirText = indexAsDirText_->isChecked();
  settings_.bUsePageRank = usePageRank_->isChecked();
  settings_.bExcludeNotLinked = excludeNotLinked_->isChecked();
  settings_.sDomain = domain_->text().toStdString();
  settings_.bCleanFolderUrls = cleanFolderUrls_->isChecked();
  settings_.bSkipNoindex = skipNoindex_->isChecked();
  settings_.bCheckExternal = checkExternal_->isChecked();
  settings_.bAddSignature = addSignature_->isChecked();
  settings_.aExclude = excludeList_->ReadBack();
  settings_.aPatterns = patternList_->ReadBack();
  settings_.aInclude = includeList_->ReadBack();
  settings_.bUseIgnoreFiles = useIgnoreFiles_->isChecked();
  settings_.bSkipHidden = skipHidden_->isChecked();
  settings_.bSkipEmptyFolders = skipEmptyFolders_->isChecked();
  settings_.bCrawlOnlyKept = crawlOnlyKept_->isChecked();
  QDialog::accept();
  // A profile may carry the unlinked filter without the counter; OK settles it.
  if (!settings_.bUsePageRank) settings_.bExcludeNotLinked = false;
}
