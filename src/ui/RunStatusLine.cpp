#include "ui/RunStatusLine.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "ui/UiPrompts.h"

namespace {

QPushButton* NewButton(const QString& caption, const char* name) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QString::fromUtf8(name));
  return button;
}

QString EndText(const RunResult& result, const std::string& failure, double seconds) {
  const QString path = QString::fromStdString(result.outputPath);
  if (result.written)
    return QStringLiteral("Wrote %1: %2 items, %3 pages crawled, in %4 s")
        .arg(path)
        .arg(result.progress.items)
        .arg(result.progress.pages)
        .arg(seconds, 0, 'f', 1);
  if (result.cancelled)
    return QStringLiteral("Cancelled after %1 items: %2 was not written")
        .arg(result.progress.items)
        .arg(path);
  // Messages break their lines with CR LF; the status is one line.
  QString why = QString::fromStdString(failure).simplified();
  return QStringLiteral("Failed: %1").arg(why.isEmpty() ? path + QStringLiteral(" was not written") : why);
}

}  // namespace

RunStatusLine::RunStatusLine(UiPrompts& prompts, QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      text_(new QLabel),
      cancel_(NewButton(QStringLiteral("Cancel"), "cancelRun")),
      open_(NewButton(QStringLiteral("Open"), "openOutput")),
      showInFolder_(NewButton(QStringLiteral("Show in folder"), "showInFolder")) {
  setObjectName(QStringLiteral("statusLine"));
  text_->setObjectName(QStringLiteral("runStatus"));
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long path must not widen the window.
  text_->setMinimumWidth(100);
  text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_, 1);
  // Each button keeps its own place, shown or not, so none slides under the mouse where
  // another stood a moment ago: Cancel at the right, the ends of a run left of it.
  for (QPushButton* button : {open_, showInFolder_, cancel_}) {
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    layout->addWidget(button);
  }
  connect(cancel_, &QPushButton::clicked, this, &RunStatusLine::cancelClicked);
  connect(open_, &QPushButton::clicked, this,
          [this] { prompts_.OpenUrl(QUrl::fromLocalFile(output_)); });
  connect(showInFolder_, &QPushButton::clicked, this, [this] {
    prompts_.OpenUrl(QUrl::fromLocalFile(QFileInfo(output_).absolutePath()));
  });
  ShowButtons(false, false);
}

void RunStatusLine::ShowProgress(const RunProgress& progress) {
  text_->setText(QStringLiteral("Working: %1 folders, %2 items, %3 pages parsed, %4 pages crawled")
                     .arg(progress.folders)
                     .arg(progress.items)
                     .arg(progress.parsed)
                     .arg(progress.pages));
  ShowButtons(true, false);
}

void RunStatusLine::ShowEnd(const RunResult& result, const std::string& failure,
                            double seconds) {
  output_ = QString::fromStdString(result.outputPath);
  text_->setText(EndText(result, failure, seconds));
  text_->setToolTip(text_->text());
  ShowButtons(false, result.written);
}

QString RunStatusLine::Text() const { return text_->text(); }

void RunStatusLine::ShowButtons(bool running, bool written) {
  cancel_->setVisible(running);
  open_->setVisible(written);
  showInFolder_->setVisible(written);
}
