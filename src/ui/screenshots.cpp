// Saves pictures of the dialogs on the sample profile and site, so their look can be checked
// without a person at the keys: folioscribe_screenshots <output folder>.
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <utility>

#include "app/Folioscribe.h"
#include "profile/Profile.h"
#include "ui/FolioscribeDlg.h"
#include "ui/RunStatusLine.h"
#include "ui/UiPrompts.h"

namespace {

// Lets the windows appear and paint.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
}

// Answers like a user who picks the sample profile, and photographs every window it opens.
class ScreenshotPrompts : public UiPrompts {
 public:
  ScreenshotPrompts(QString folder, QString profile)
      : folder_(std::move(folder)), profile_(std::move(profile)) {}
  void SetNextName(const char* name) { next_ = QString::fromUtf8(name); }
  void SetBackdrop(QWidget* window) { backdrop_ = window; }
  void Save(const QPixmap& picture) {
    const QString path = QDir(folder_).filePath(next_ + QStringLiteral(".png"));
    std::cout << (picture.save(path) ? "saved " : "could not save ") << path.toStdString() << "\n";
  }

  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return profile_;
  }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QString ExistingFolder(QWidget*, const QString&) override { return {}; }
  void Message(QWidget*, const QString& text) override { std::cerr << text.toStdString() << "\n"; }
  SaveAnswer AskToSave(QWidget*, const QString&) override { return SaveAnswer::kDiscard; }
  // The next menu is photographed with its first submenu open.
  void OpenSubmenuNext() { openSubmenu_ = true; }
  QAction* ExecMenu(QMenu& menu, const QPoint& at) override {
    menu.popup(at);
    Settle();
    // The menu over its dialog, as the user sees it.
    QRect area = menu.geometry().united(backdrop_->frameGeometry());
    if (std::exchange(openSubmenu_, false)) area = area.united(OpenFirstSubmenu(menu));
    Save(menu.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()));
    menu.close();
    return nullptr;
  }
  int RunModal(QDialog& dialog) override {
    dialog.show();
    Settle();
    Save(dialog.grab());
    dialog.reject();
    return QDialog::Rejected;
  }
  void OpenUrl(const QUrl&) override {}

 private:
  // Walks to the submenu as the keyboard does; returns where it shows.
  static QRect OpenFirstSubmenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
      if (action->menu() == nullptr) continue;
      menu.setActiveAction(action);
      QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
      QApplication::sendEvent(&menu, &right);
      Settle();
      return action->menu()->geometry();
    }
    return {};
  }

  QString folder_, profile_, next_;
  QWidget* backdrop_ = nullptr;
  bool openSubmenu_ = false;
};

void Click(QWidget& dialog, const char* button) {
  auto* widget = dialog.findChild<QPushButton*>(QString::fromUtf8(button));
  QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
  widget->click();
}

// Lets the dialog work until `done` holds (or half a minute has passed).
template <typename Condition>
void SettleUntil(Condition done) {
  for (int tries = 0; tries < 300 && !done(); ++tries) Settle();
}

// A tree large enough for a run to be seen working.
std::string WriteLargeSite(const QString& folder) {
  const std::filesystem::path site = (folder + QStringLiteral("/large-site")).toStdString();
  for (int f = 0; f < 100; ++f) {
    const std::filesystem::path sub = site / ("section" + std::to_string(f));
    std::filesystem::create_directories(sub);
    for (int i = 0; i < 300; ++i)
      std::ofstream(sub / ("page" + std::to_string(i) + ".html")) << "<title>Page</title>";
  }
  return site.string();
}

// The preview pane beside the templates, as text and rendered.
void ShotsOfThePreview(CFolioscribeDlg& dialog, ScreenshotPrompts& prompts) {
  dialog.ShowPreview(true);
  auto* text = dialog.findChild<QTextEdit*>(QStringLiteral("previewText"));
  SettleUntil([text] { return !text->toPlainText().isEmpty(); });
  prompts.SetNextName("preview-text");
  prompts.Save(dialog.grab());
  auto* pane = dialog.findChild<QTabWidget*>(QStringLiteral("preview"));
  pane->setCurrentIndex(1);
  Settle();
  prompts.SetNextName("preview-rendered");
  prompts.Save(dialog.grab());
  pane->setCurrentIndex(0);
  dialog.ShowPreview(false);
}

// A run over a large tree while it goes, then stopped.
void ShotOfARunInProgress(CFolioscribeDlg& dialog, ScreenshotPrompts& prompts,
                          const QString& folder) {
  auto* startFolder = dialog.findChild<QLineEdit*>(QStringLiteral("startFolder"));
  const QString sample = startFolder->text();
  startFolder->setText(QString::fromStdString(WriteLargeSite(folder)));
  auto* status = dialog.findChild<RunStatusLine*>(QStringLiteral("statusLine"));
  Click(dialog, "doIt");
  const QRegularExpression counting(QStringLiteral("[1-9][0-9]* items"));
  SettleUntil([status, &counting] { return status->Text().contains(counting); });
  prompts.SetNextName("run-progress");
  prompts.Save(dialog.grab());
  Click(dialog, "cancelRun");
  auto* doIt = dialog.findChild<QPushButton*>(QStringLiteral("doIt"));
  SettleUntil([doIt] { return doIt->isEnabled(); });
  startFolder->setText(sample);
}

}  // namespace

int main(int argc, char** argv) {
  const QString folder =
      QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  QDir().mkpath(folder);
  // The dialog's own settings (the preview shown or not) stay out of the user's.
  qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toUtf8());
  QApplication application(argc, argv);
  // A copy of the sample site, so the run can write its map and count links.
  const std::string site = (folder + QStringLiteral("/site")).toStdString();
  std::error_code ignored;
  std::filesystem::remove_all(site, ignored);
  std::filesystem::copy(FOLIOSCRIBE_SOURCE_DIR "/examples/site", site,
                        std::filesystem::copy_options::recursive, ignored);

  ScreenshotPrompts prompts(
      folder, QString::fromStdString(ProfilesFolder() + "/sample" + kProfileExtension));
  CFolioscribeApp app;
  StartupRequest startup;
  startup.folder = site;
  CFolioscribeDlg dialog(app, prompts, startup);
  dialog.OnInitDialog();
  prompts.SetBackdrop(&dialog);
  dialog.show();
  Settle();
  prompts.SetNextName("main");
  prompts.Save(dialog.grab());

  prompts.SetNextName("more-options");
  Click(dialog, "moreOptions");
  prompts.SetNextName("macro-menu");
  Click(dialog, "macroFile");
  prompts.SetNextName("macro-menu-filters");
  prompts.OpenSubmenuNext();
  Click(dialog, "macroFolder");
  ShotsOfThePreview(dialog, prompts);
  ShotOfARunInProgress(dialog, prompts, folder);
  app.settings.bUsePageRank = true;  // so the report has something to list
  Click(dialog, "doIt");
  auto* doIt = dialog.findChild<QPushButton*>(QStringLiteral("doIt"));
  SettleUntil([doIt] { return doIt->isEnabled(); });
  prompts.SetNextName("run-done");
  prompts.Save(dialog.grab());
  prompts.SetNextName("report");
  Click(dialog, "report");
  prompts.SetNextName("about");
  Click(dialog, "about");
  return 0;
}
