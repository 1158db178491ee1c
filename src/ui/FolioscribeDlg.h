#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

#include "app/CommandLine.h"
#include "app/Folioscribe.h"
#include "app/GenerationRun.h"
#include "ui/BackgroundJob.h"
#include "ui/UiPrompts.h"

class PreviewPane;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QUrl;
class RunStatusLine;
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

  // "Do it!": one generation run on the fields' settings, in the background.
  void OnOK();
  void OpenProfile();
  void LoadProfile(const QString& path);
  // False when nothing was saved (cancelled, or the file could not be written).
  bool SaveProfileAs();
  void FolderBrowser();
  void InsertMacro(TemplateEdit* field);
  void ShowMoreOptions();
  void ShowReport();
  void ShowAbout();
  // Shows or hides the preview pane; the choice outlives the program run.
  void ShowPreview(bool shown);

  // Runs `hook` on the run's thread after each step it reports, so a test can hold a run.
  void SetRunHook(BackgroundJob::Hook hook) { runJob_.SetHook(std::move(hook)); }

  static const char* const kStartHint;
  static const char* const kAbsolutePathHint;
  static const char* const kCounterOffNote;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Exit, Escape and the close box: asks first when the profile has unsaved changes.
  void reject() override;

 private:
  struct Controls {
    QPushButton *doIt, *exit, *openProfile, *saveProfile, *moreOptions, *browse, *about,
        *help, *report;
    QPushButton *macroStart, *macroFolder, *macroFile, *macroEnd;
    QLineEdit *startFolder, *outputName, *levelDown, *levelUp;
    TemplateEdit *templateStart, *templateFolder, *templateFile, *templateEnd;
    QLabel* advisor;
    QPushButton* previewToggle;
    QSplitter* workArea;
    PreviewPane* preview;
    RunStatusLine* status;
  };
  // What a run in the background works on; the dialog's state is untouched until it ends.
  struct BackgroundRun {
    CFolioscribeApp app;
    CollectedMessages messages;
    RunResult result;
    QElapsedTimer clock;
  };

  void BuildControls();
  QLayout* BuildTopBar();
  QLayout* BuildPathRows();
  QWidget* BuildTemplateGroup();
  QWidget* BuildWorkArea();
  QLayout* BuildBottomButtons();
  void SetTabOrder();
  void Connect();
  void ConnectPreview();

  void StartRun();
  void OnRunFinished();
  void SchedulePreview();
  void StartPreview();
  void OnPreviewFinished();

  QString ChooseMacro(const TemplateEdit* field);
  void SetStartFolder(const QString& folder);
  bool TakeFolderDrop(QObject* watched, QEvent* event);
  void TakeFields();
  void ShowFields();
  void OnOutputNameChanged(const QString& text);
  QUrl HelpPage() const;
  bool MayClose();
  bool SaveProfile();
  void GrowForPreview();
  void ShrinkAfterPreview();

  CFolioscribeApp& app_;
  UiPrompts& prompts_;
  PromptMessageSink messages_;
  StartupRequest startup_;
  Controls c_{};
  RunSettings savedSettings_;  // as last loaded or saved: what "unsaved changes" differ from
  int grownForPreview_ = 0;    // the width the window took on for the preview
  std::unique_ptr<BackgroundRun> run_;
  MapPreview preview_;  // written by the preview job only while it is busy
  bool previewAgain_ = false;
  QTimer progressTimer_, previewTimer_;
  // Last, so they are destroyed first: their threads end before what they use goes.
  BackgroundJob runJob_, previewJob_;
};
