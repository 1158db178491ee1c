#pragma once
#include <QDialog>

class UiPrompts;

// The program's name, version and maker, with a button to the maker's products.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  CAboutDlg(UiPrompts& prompts, QWidget* parent = nullptr);
};

// The program icon: a page with a small folder tree, drawn so no image file is needed.
QIcon ProgramIcon();
