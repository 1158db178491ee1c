#pragma once
#include <QDialog>

// The link counts of the last run as read-only text; OK and Cancel both just close it.
class CReportDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CReportDlg(const QString& reportText, QWidget* parent = nullptr);
};
