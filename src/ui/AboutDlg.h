#pragma once
#include <QDialog>

// The program's name and version.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

// The program icon: a page with a small folder tree, drawn so no image file is needed.
QIcon ProgramIcon();
