#include "ui/ProfileChooser.h"

#include <QFileInfo>
#include <QLineEdit>

#include "profile/Profile.h"

ProfileChooser::ProfileChooser(QWidget* parent, const QString& title, const QString& folder,
                               const QString& filter, AcceptMode mode)
    : QFileDialog(parent, title, folder, filter) {
  setObjectName(QStringLiteral("profileChooser"));
  setAcceptMode(mode);
  setFileMode(mode == AcceptOpen ? ExistingFile : AnyFile);
  // Qt's own dialog, the same on every desktop, so a typed name is read the same way.
  setOption(DontUseNativeDialog);
  setDefaultSuffix(QString::fromUtf8(kProfileExtension).mid(1));
}

QString ProfileChooser::Chosen() const {
  return found_.isEmpty() ? selectedFiles().value(0) : found_;
}

void ProfileChooser::accept() {
  found_.clear();
  const QString typed = TypedName();
  const bool bare = !typed.isEmpty() && !typed.contains(QLatin1Char('/'));
  if (acceptMode() == AcceptOpen && bare && !QFileInfo::exists(selectedFiles().value(0))) {
    const QString path = QString::fromStdString(ResolveProfilePath(typed.toStdString()));
    if (QFileInfo(path).isFile()) {
      found_ = path;
      QDialog::accept();
      return;
    }
  }
  QFileDialog::accept();
}

QString ProfileChooser::TypedName() const {
  const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  return edit ? edit->text().trimmed() : QString();
}
