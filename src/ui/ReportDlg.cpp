#include "ui/ReportDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "links/SiteCheckReport.h"
#include "ui/UiPrompts.h"

namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text); }

QStringList BrokenLinkRow(const SiteFinding& finding) {
  const bool anchor = finding.kind == SiteFinding::Kind::kMissingAnchor;
  return {Utf8(finding.page), QString::number(finding.line), Utf8(finding.href),
          anchor ? QStringLiteral("(anchor)") : Utf8(finding.target)};
}

QStringList ExternalLinkRow(const SiteFinding& finding) {
  const QString problem = finding.kind == SiteFinding::Kind::kRedirected
                              ? QStringLiteral("moved to ") + Utf8(finding.finalUrl)
                          : finding.kind == SiteFinding::Kind::kBadMailLink
                              ? QStringLiteral("bad mail link")
                              : Utf8(ExternalProblem(finding));
  return {Utf8(finding.page), QString::number(finding.line), Utf8(finding.href), problem};
}

}  // namespace

CReportDlg::CReportDlg(const QString& reportText, const std::vector<SiteFinding>& findings,
                       const std::string& startFolder, UiPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), startFolder_(Utf8(startFolder)) {
  setWindowTitle(QStringLiteral("Report"));
  QTreeWidget* broken = NewFindingsList(
      "brokenLinks", {QStringLiteral("Page"), QStringLiteral("Line"), QStringLiteral("Link"),
                      QStringLiteral("Missing")});
  QTreeWidget* orphans = NewFindingsList("orphans", {QStringLiteral("Page")});
  QTreeWidget* external =
      NewFindingsList("externalLinks", {QStringLiteral("Page"), QStringLiteral("Line"),
                                        QStringLiteral("Link"), QStringLiteral("Problem")});
  for (const SiteFinding& finding : findings) {
    QTreeWidgetItem* item = nullptr;
    if (finding.kind == SiteFinding::Kind::kOrphan)
      item = new QTreeWidgetItem(orphans, {Utf8(finding.page)});
    else if (IsExternal(finding.kind))
      item = new QTreeWidgetItem(external, ExternalLinkRow(finding));
    else
      item = new QTreeWidgetItem(broken, BrokenLinkRow(finding));
    item->setData(0, Qt::UserRole, Utf8(finding.page));
  }
  auto* tabs = new QTabWidget;
  tabs->setObjectName(QStringLiteral("reportTabs"));
  tabs->addTab(NewCountsTab(reportText), QStringLiteral("Link counts"));
  tabs->addTab(broken, QStringLiteral("Broken links"));
  tabs->addTab(orphans, QStringLiteral("Orphans"));
  tabs->addTab(external, QStringLiteral("External links"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CReportDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CReportDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral(
      "Report - use only after building a sitemap with link counting [more options]")));
  layout->addWidget(tabs, 1);
  layout->addWidget(buttons);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  resize(640, 420);
}

QWidget* CReportDlg::NewCountsTab(const QString& reportText) {
  auto* text = new QPlainTextEdit;
  text->setObjectName(QStringLiteral("reportText"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setPlainText(reportText);
  auto* tab = new QWidget;
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(new QLabel(QStringLiteral("Most linked [num. of links]:")));
  layout->addWidget(text, 1);
  return tab;
}

QTreeWidget* CReportDlg::NewFindingsList(const char* name, const QStringList& columns) {
  auto* list = new QTreeWidget;
  list->setObjectName(QString::fromUtf8(name));
  list->setRootIsDecorated(false);
  list->setHeaderLabels(columns);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(list, &QTreeWidget::itemDoubleClicked, this,
          [this](const QTreeWidgetItem* item) { OpenPage(item); });
  return list;
}

void CReportDlg::OpenPage(const QTreeWidgetItem* item) {
  const QString page = item->data(0, Qt::UserRole).toString();
  prompts_.OpenUrl(QUrl::fromLocalFile(page.startsWith(QLatin1Char('/')) ? page
                                                                         : startFolder_ + QLatin1Char('/') + page));
}
