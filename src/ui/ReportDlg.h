#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "links/SiteCheck.h"

class QTreeWidget;
class QTreeWidgetItem;
class UiPrompts;

// The last run's link counts as read-only text, its broken links and its orphan pages; a
// double-click on a finding opens its page. OK and Cancel both just close it.
class CReportDlg : public QDialog {
  Q_OBJECT

 public:
  // `findings` hold paths relative to `startFolder`; pages open through `prompts`, which
  // must outlive the dialog.
  CReportDlg(const QString& reportText, const std::vector<SiteFinding>& findings,
             const std::string& startFolder, UiPrompts& prompts, QWidget* parent = nullptr);

 private:
  QWidget* NewCountsTab(const QString& reportText);
  QTreeWidget* NewFindingsList(const char* name, const QStringList& columns);
  void OpenPage(const QTreeWidgetItem* item);

  UiPrompts& prompts_;
  QString startFolder_;
};
