// The work the main dialog hands to other threads: runs started by "Do it!" and the
// preview that follows every edit.
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QUrl>
#include <algorithm>

#include "ui/FolioscribeDlg.h"
#include "ui/PreviewPane.h"
#include "ui/RunStatusLine.h"
#include "ui/TemplateEdit.h"

namespace {

constexpr int kPreviewItems = 200;
constexpr int kPreviewDelayMs = 250;  // typing on restarts it, so a burst costs one preview
constexpr int kProgressIntervalMs = 100;
constexpr int kLeastPreviewWidth = 320;
const QString kPreviewKey = QStringLiteral("preview/shown");

// Settings of the dialog that belong to no profile.
std::unique_ptr<QSettings> DialogSettings() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("folioscribe"), QStringLiteral("dialog"));
}

bool IsWebPage(const std::string& outputName) {
  const QString suffix = QFileInfo(QString::fromStdString(outputName)).suffix().toLower();
  return suffix == QStringLiteral("htm") || suffix == QStringLiteral("html");
}

}  // namespace

void CFolioscribeDlg::StartRun() {
  if (runJob_.Busy()) return;
  run_ = std::make_unique<BackgroundRun>();
  run_->app.settings = app_.settings;
  run_->app.checkOnRuns = app_.checkOnRuns;
  run_->clock.start();
  BackgroundRun* run = run_.get();
  runJob_.Start([run](RunControl& control) {
    run->result = DoGenerationRun(run->app, run->messages, {}, &control);
  });
  // A disabled button hands its focus to the next in the tab order, which is Exit.
  if (c_.doIt->hasFocus()) c_.startFolder->setFocus();
  c_.doIt->setEnabled(false);
  c_.report->setEnabled(false);
  c_.status->ShowProgress({});
  progressTimer_.start(kProgressIntervalMs);
}

void CFolioscribeDlg::OnRunFinished() {
  progressTimer_.stop();
  c_.doIt->setEnabled(true);
  c_.report->setEnabled(true);
  const std::unique_ptr<BackgroundRun> run = std::move(run_);
  app_.linkCounts = std::move(run->app.linkCounts);
  app_.findings = std::move(run->app.findings);
  app_.runContext = run->app.runContext;
  const RunResult& result = run->result;
  const std::vector<std::string>& messages = run->messages.texts;
  c_.status->ShowEnd(result, messages.empty() ? std::string() : messages.back(),
                     double(run->clock.elapsed()) / 1000.0);
  for (const std::string& text : messages) messages_.ShowMessage(text);
  if (result.written)
    prompts_.OpenUrl(QUrl::fromLocalFile(QString::fromStdString(result.outputPath)));
}

void CFolioscribeDlg::ShowPreview(bool shown) {
  c_.previewToggle->setChecked(shown);
  if (shown && c_.preview->isHidden()) GrowForPreview();
  if (!shown && !c_.preview->isHidden()) ShrinkAfterPreview();
  c_.preview->setVisible(shown);
  DialogSettings()->setValue(kPreviewKey, shown);
  SchedulePreview();
}

// The window widens by the preview, so the templates keep their width; where the screen
// has no room for that, the templates keep two thirds.
void CFolioscribeDlg::GrowForPreview() {
  const int templates = c_.workArea->width();
  const int handle = c_.workArea->handleWidth();
  const int room = screen()->availableGeometry().width() - frameGeometry().width();
  grownForPreview_ = isMaximized() || isFullScreen() ? 0 : std::clamp(room, 0, templates + handle);
  resize(width() + grownForPreview_, height());
  const int preview = grownForPreview_ - handle;
  const int total = templates + preview;
  c_.workArea->setSizes(preview >= kLeastPreviewWidth ? QList<int>{templates, preview}
                                                      : QList<int>{total * 2 / 3, total / 3});
}

void CFolioscribeDlg::ShrinkAfterPreview() {
  if (!isMaximized() && !isFullScreen()) resize(width() - grownForPreview_, height());
  grownForPreview_ = 0;
}

void CFolioscribeDlg::SchedulePreview() {
  if (c_.previewToggle->isChecked()) previewTimer_.start(kPreviewDelayMs);
}

// A preview still being made for older settings is stopped and made again.
void CFolioscribeDlg::StartPreview() {
  if (previewJob_.Busy()) {
    previewAgain_ = true;
    previewJob_.Cancel();
    return;
  }
  TakeFields();
  previewJob_.Start([this, settings = app_.settings](RunControl& control) {
    preview_ = PreviewSiteMap(settings, kPreviewItems, &control);
  });
}

void CFolioscribeDlg::OnPreviewFinished() {
  if (previewAgain_) {
    previewAgain_ = false;
    StartPreview();
    return;
  }
  c_.preview->Show(preview_, IsWebPage(app_.settings.sOutPutFileName));
}

void CFolioscribeDlg::ConnectPreview() {
  previewTimer_.setSingleShot(true);
  connect(&previewTimer_, &QTimer::timeout, this, &CFolioscribeDlg::StartPreview);
  connect(&previewJob_, &BackgroundJob::finished, this, &CFolioscribeDlg::OnPreviewFinished);
  connect(&runJob_, &BackgroundJob::finished, this, &CFolioscribeDlg::OnRunFinished);
  connect(&progressTimer_, &QTimer::timeout, this,
          [this] { c_.status->ShowProgress(runJob_.Progress()); });
  connect(c_.status, &RunStatusLine::cancelClicked, this, [this] { runJob_.Cancel(); });
  connect(c_.previewToggle, &QPushButton::toggled, this, &CFolioscribeDlg::ShowPreview);
  for (QLineEdit* field : {c_.startFolder, c_.outputName, c_.levelDown, c_.levelUp})
    connect(field, &QLineEdit::textChanged, this, &CFolioscribeDlg::SchedulePreview);
  for (TemplateEdit* field : {c_.templateStart, c_.templateFolder, c_.templateFile, c_.templateEnd})
    connect(field, &QPlainTextEdit::textChanged, this, &CFolioscribeDlg::SchedulePreview);
  ShowPreview(DialogSettings()->value(kPreviewKey, false).toBool());
}
