#pragma once
#include <QDialog>

#include "common/RunSettings.h"

class QCheckBox;
class QLineEdit;
class CEditableListCtrl;

// Edits the settings the main dialog does not show: the domain, the flags, the exclusion
// list and the pattern lists. They change only when the dialog is closed with OK.
class CMoreOptionsDlg : public QDialog {
  Q_OBJECT

 public:
  CMoreOptionsDlg(RunSettings& settings, QWidget* parent = nullptr);
  void accept() override;

 private:
  void OnInitDialog();
  void OnUsePageRankClicked(bool checked);
  QWidget* BuildWebSitemapGroup();
  QWidget* BuildExcludeGroup();
  QWidget* BuildPatternGroup();
  QWidget* BuildOtherGroup();

  RunSettings& settings_;
  QCheckBox* indexAsDirText_;
  QCheckBox* usePageRank_;
  QCheckBox* excludeNotLinked_;
  QLineEdit* domain_;
  QCheckBox* cleanFolderUrls_;
  QCheckBox* skipNoindex_;
  QCheckBox* checkExternal_;
  QCheckBox* addSignature_;
  CEditableListCtrl* excludeList_;
  CEditableListCtrl* patternList_;
  CEditableListCtrl* includeList_;
  QCheckBox* useIgnoreFiles_;
  QCheckBox* skipHidden_;
  QCheckBox* skipEmptyFolders_;
  QCheckBox* crawlOnlyKept_;
};
