// Saves pictures of the dialogs on the sample profile and site, so their look can be checked
// without a person at the keys: folioscribe_screenshots <output folder>.
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "app/Folioscribe.h"
#include "profile/Profile.h"
#include "ui/FolioscribeDlg.h"
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
  QAction* ExecMenu(QMenu& menu, const QPoint& at) override {
    menu.popup(at);
    Settle();
    // The menu over its dialog, as the user sees it.
    const QRect area = menu.geometry().united(backdrop_->frameGeometry());
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
  QString folder_, profile_, next_;
  QWidget* backdrop_ = nullptr;
};

void Click(QWidget& dialog, const char* button) {
  auto* widget = dialog.findChild<QPushButton*>(QString::fromUtf8(button));
  QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
  widget->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString folder =
      QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  QDir().mkpath(folder);
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
  app.settings.bUsePageRank = true;  // so the report has something to list
  Click(dialog, "doIt");
  prompts.SetNextName("report");
  Click(dialog, "report");
  prompts.SetNextName("about");
  Click(dialog, "about");
  return 0;
}
