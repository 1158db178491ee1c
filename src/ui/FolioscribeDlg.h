#pragma once
#include <QDialog>

#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "app/GenerationRun.h"
#include "ui/UiPrompts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;
class TemplateEdit;

// The main window: edits the settings of a run, starts runs, opens and saves profiles and
// leads to the other dialogs. The settings live in `app`; the fields are taken into them
// before every use and shown again after every load.
class CFolioscribeDlg : public QDialog {
  Q_OBJECT

 public:
  CFolioscribeDlg(CFolioscribeApp& app, UiPrompts& prompts, const StartupRequest& startup,
                  QWidget* parent = nullptr);

  // The start-up steps: the profile, the start folder word, the other settings the command
  // line names, the first hint. Batch runs never come here.
  void OnInitDialog();

  void OnOK();  // "Do it!": one generation run on the fields' settings
  void OpenProfile();
  void LoadProfile(const QString& path);
  void SaveProfileAs();
  void FolderBrowser();
  void InsertMacro(TemplateEdit* field);
  void ShowMoreOptions();
  void ShowReport();
  void ShowAbout();

  static const char* const kStartHint;
  static const char* const kAbsolutePathHint;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Controls {
    QPushButton *doIt, *exit, *openProfile, *saveProfile, *moreOptions, *browse, *about,
        *products, *help, *report, *donation, *contact;
    QPushButton *macroStart, *macroFolder, *macroFile, *macroEnd;
    QLineEdit *startFolder, *outputName, *levelDown, *levelUp;
    TemplateEdit *templateStart, *templateFolder, *templateFile, *templateEnd;
    QLabel* advisor;
  };

  void BuildControls();
  QLayout* BuildTopBar();
  QLayout* BuildPathRows();
  QWidget* BuildTemplateGroup();
  QLayout* BuildBottomButtons();
  void SetTabOrder();
  void Connect();

  void TakeFields();
  void ShowFields();
  void OnOutputNameChanged(const QString& text);
  QUrl HelpPage() const;

  CFolioscribeApp& app_;
  UiPrompts& prompts_;
  PromptMessageSink messages_;
  StartupRequest startup_;
  RunResult lastRun_;
  Controls c_{};
};
