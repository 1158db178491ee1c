#include "ui/FolioscribeDlg.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

#include "app/MacroExamples.h"
#include "common/Escape.h"
#include "common/Paths.h"
#include "links/LinkReport.h"
#include "platform/Program.h"
#include "profile/Profile.h"
#include "ui/AboutDlg.h"
#include "ui/MoreOptionsDlg.h"
#include "ui/QuickMenu.h"
#include "ui/ReportDlg.h"
#include "ui/TemplateEdit.h"

const char* const CFolioscribeDlg::kStartHint =
    "To start, simply select a folder to read (the \"Directory to read\" text box) and press "
    "\"Do it\".";
const char* const CFolioscribeDlg::kAbsolutePathHint =
    "This is an absolute path, if you use %fRelativePath% macros in your templates, the links "
    "may not work.";
const char* const CFolioscribeDlg::kCounterOffNote =
    "The link counter is off, so nothing was counted. Turn on \"Use link counter\" in More "
    "options and press \"Do it!\" again.";

namespace {

QString ProfileFilter() {
  return QStringLiteral("Setting files (*%1)").arg(QString::fromUtf8(kProfileExtension));
}

// The one local folder a drag carries; empty text for anything else.
QString DraggedFolder(const QMimeData* data) {
  if (data == nullptr || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isDir()) return {};
  return QDir::cleanPath(url.toLocalFile());
}

bool IsDragEvent(const QEvent* event) {
  return event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop;
}

}  // namespace

CFolioscribeDlg::CFolioscribeDlg(CFolioscribeApp& app, UiPrompts& prompts,
                                 const StartupRequest& startup, QWidget* parent)
    : QDialog(parent), app_(app), prompts_(prompts), messages_(prompts, this), startup_(startup) {
  // A profile made from scratch here leaves hidden entries out; a loaded one says itself.
  app_.settings.bSkipHidden = true;
  // The Report window shows what the dialog's runs found.
  app_.checkOnRuns = true;
  BuildControls();
  Connect();
  ConnectPreview();
  ShowFields();
  savedSettings_ = app_.settings;
  // Ctrl+O and Ctrl+S work whichever control has the focus; a folder drops anywhere.
  qApp->installEventFilter(this);
  setAcceptDrops(true);
}

void CFolioscribeDlg::OnInitDialog() {
  if (!startup_.profilePath.empty())
    LoadProfile(QString::fromStdString(startup_.profilePath));
  else
    OpenProfile();
  if (!startup_.folder.empty()) {
    if (QFileInfo(QString::fromStdString(startup_.folder)).isDir()) {
      app_.settings.sStartDirectoryPath = startup_.folder;
      c_.startFolder->setText(QString::fromStdString(startup_.folder));
    } else {
      messages_.ShowMessage("Folder: " + EscapedLine(startup_.folder) + " does not exist");
    }
  }
  ApplyCommandLineSettings(startup_, app_.settings);
  ShowFields();
  savedSettings_ = app_.settings;
  c_.advisor->setText(QString::fromUtf8(kStartHint));
}

void CFolioscribeDlg::OnOK() {
  TakeFields();
  StartRun();
}

void CFolioscribeDlg::OpenProfile() {
  const QString path = prompts_.OpenFileName(this, QStringLiteral("Select profile"),
                                             QString::fromStdString(ProfileChooserFolder()),
                                             ProfileFilter());
  if (!path.isEmpty()) LoadProfile(path);
}

void CFolioscribeDlg::LoadProfile(const QString& path) {
  if (::LoadProfile(path.toStdString(), app_.settings, messages_)) {
    app_.profilePath = path.toStdString();
    ShowFields();
    savedSettings_ = app_.settings;
  }
  SchedulePreview();
}

bool CFolioscribeDlg::SaveProfileAs() {
  TakeFields();
  const QString path = prompts_.SaveFileName(this, QStringLiteral("Save profile"),
                                             QString::fromStdString(ProfileSaveFolder()),
                                             ProfileFilter());
  if (path.isEmpty() || !::SaveProfileAs(path.toStdString(), app_.settings, messages_))
    return false;
  app_.profilePath = path.toStdString();
  savedSettings_ = app_.settings;
  return true;
}

// Into the profile it came from when that can be written (an installed sample cannot),
// else wherever the user chooses.
bool CFolioscribeDlg::SaveProfile() {
  const QString path = QString::fromStdString(app_.profilePath);
  if (path.isEmpty() || !QFileInfo(path).isWritable()) return SaveProfileAs();
  if (!::SaveProfileAs(app_.profilePath, app_.settings, messages_)) return false;
  savedSettings_ = app_.settings;
  return true;
}

bool CFolioscribeDlg::MayClose() {
  TakeFields();
  if (app_.settings == savedSettings_) return true;
  const QString name = app_.profilePath.empty()
                           ? QStringLiteral("Untitled")
                           : QFileInfo(QString::fromStdString(app_.profilePath)).completeBaseName();
  switch (prompts_.AskToSave(this, QStringLiteral("Save changes to the profile %1?").arg(name))) {
    case UiPrompts::SaveAnswer::kSave: return SaveProfile();
    case UiPrompts::SaveAnswer::kDiscard: return true;
    case UiPrompts::SaveAnswer::kCancel: break;
  }
  return false;
}

void CFolioscribeDlg::reject() {
  if (MayClose()) QDialog::reject();
}

void CFolioscribeDlg::FolderBrowser() {
  TakeFields();
  const QString folder =
      prompts_.ExistingFolder(this, QString::fromStdString(app_.settings.sStartDirectoryPath));
  if (!folder.isEmpty()) SetStartFolder(folder);
}

void CFolioscribeDlg::SetStartFolder(const QString& folder) {
  app_.settings.sStartDirectoryPath = folder.toStdString();
  c_.startFolder->setText(folder);
}

// A folder dropped anywhere on the dialog, its text fields included, becomes the folder to
// read; other drops keep their usual meaning.
bool CFolioscribeDlg::TakeFolderDrop(QObject* watched, QEvent* event) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!IsDragEvent(event) || widget == nullptr || widget->window() != this) return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QString folder = DraggedFolder(drop->mimeData());
  if (folder.isEmpty()) return false;
  drop->acceptProposedAction();
  if (event->type() == QEvent::Drop) SetStartFolder(folder);
  return true;
}

// The macro menu of `field`, showing the values of the item that template is expanded for.
QString CFolioscribeDlg::ChooseMacro(const TemplateEdit* field) {
  TakeFields();
  const MacroExamples examples = ExpandMacroExamples(app_.settings, app_.linkCounts);
  const std::string startFolder = PathName(NormalisedPath(app_.settings.sStartDirectoryPath));
  if (field == c_.templateFolder)
    return ShowMacroMenu(prompts_, examples.folder,
                         QStringLiteral("Values for the start folder, %1:")
                             .arg(QString::fromStdString(startFolder)));
  if (field == c_.templateFile)
    return ShowMacroMenu(prompts_, examples.file,
                         QStringLiteral("Values for the first file, %1:")
                             .arg(QString::fromStdString(PathName(examples.firstFile))));
  return ShowMacroMenu(prompts_, examples.start, QStringLiteral("Values in Start and End:"));
}

void CFolioscribeDlg::InsertMacro(TemplateEdit* field) {
  const QString macro = ChooseMacro(field);
  if (macro.isEmpty()) return;
  // The insertion is not offered for undo, like a change made by the program.
  field->setUndoRedoEnabled(false);
  field->textCursor().insertText(macro);
  field->setUndoRedoEnabled(true);
  field->setFocus();
}

void CFolioscribeDlg::ShowMoreOptions() {
  CMoreOptionsDlg dialog(app_.settings, this);
  prompts_.RunModal(dialog);
  SchedulePreview();
}

void CFolioscribeDlg::ShowReport() {
  QString counts = QString::fromUtf8(LinkReportText(app_.linkCounts, "\r\n"));
  if (counts.isEmpty() && !CountsLinks(app_.settings)) counts = QString::fromUtf8(kCounterOffNote);
  CReportDlg dialog(counts, app_.findings,
                    NormalisedPath(app_.runContext.root), prompts_, this);
  prompts_.RunModal(dialog);
}

void CFolioscribeDlg::ShowAbout() {
  CAboutDlg dialog(this);
  prompts_.RunModal(dialog);
}

bool CFolioscribeDlg::eventFilter(QObject* watched, QEvent* event) {
  if (TakeFolderDrop(watched, event)) return true;
  // A key travels up from the focus widget to the dialog; act once, at its first receiver.
  const QWidget* firstReceiver = focusWidget() ? focusWidget() : this;
  if (event->type() == QEvent::KeyPress && watched == firstReceiver) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlOnly = key->modifiers().testFlag(Qt::ControlModifier) &&
                          !key->modifiers().testFlag(Qt::AltModifier);
    if (ctrlOnly && key->key() == Qt::Key_S) SaveProfileAs();
    if (ctrlOnly && key->key() == Qt::Key_O) OpenProfile();
  }
  return QDialog::eventFilter(watched, event);
}

void CFolioscribeDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1)
    prompts_.OpenUrl(HelpPage());
  else
    QDialog::keyPressEvent(event);
}

void CFolioscribeDlg::TakeFields() {
  RunSettings& s = app_.settings;
  s.sStartDirectoryPath = c_.startFolder->text().toStdString();
  s.sOutPutFileName = c_.outputName->text().toStdString();
  s.sTemplateStart = c_.templateStart->Template();
  s.sTemplateFolder = c_.templateFolder->Template();
  s.sTemplateFile = c_.templateFile->Template();
  s.sTemplateEnd = c_.templateEnd->Template();
  s.sTemplateFolderLevelDown = c_.levelDown->text().toStdString();
  s.sTemplateFolderLevelUp = c_.levelUp->text().toStdString();
}

void CFolioscribeDlg::ShowFields() {
  const RunSettings& s = app_.settings;
  c_.startFolder->setText(QString::fromStdString(s.sStartDirectoryPath));
  c_.outputName->setText(QString::fromStdString(s.sOutPutFileName));
  c_.templateStart->SetTemplate(s.sTemplateStart);
  c_.templateFolder->SetTemplate(s.sTemplateFolder);
  c_.templateFile->SetTemplate(s.sTemplateFile);
  c_.templateEnd->SetTemplate(s.sTemplateEnd);
  c_.levelDown->setText(QString::fromStdString(s.sTemplateFolderLevelDown));
  c_.levelUp->setText(QString::fromStdString(s.sTemplateFolderLevelUp));
}

void CFolioscribeDlg::OnOutputNameChanged(const QString& text) {
  // Relative links reach any folder of this system; a drive or share name is none of them.
  const std::string name = text.toStdString();
  const bool linksMayBreak = IsAbsolutePath(name) && !name.starts_with('/');
  c_.advisor->setText(linksMayBreak ? QString::fromUtf8(kAbsolutePathHint) : QString());
}

QUrl CFolioscribeDlg::HelpPage() const {
  return QUrl::fromLocalFile(QString::fromStdString(ProgramDataFolders().help) +
                             QStringLiteral("/index.html"));
}
