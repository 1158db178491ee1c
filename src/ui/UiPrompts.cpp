#include "ui/UiPrompts.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

#include "ui/ProfileChooser.h"

QString QtPrompts::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
  ProfileChooser chooser(parent, title, folder, filter, QFileDialog::AcceptOpen);
  return chooser.exec() == QDialog::Accepted ? chooser.Chosen() : QString();
}

QString QtPrompts::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
  ProfileChooser chooser(parent, title, folder, filter, QFileDialog::AcceptSave);
  return chooser.exec() == QDialog::Accepted ? chooser.Chosen() : QString();
}

QString QtPrompts::ExistingFolder(QWidget* parent, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, QString(), start);
}

void QtPrompts::Message(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Folioscribe"), text);
}

UiPrompts::SaveAnswer QtPrompts::AskToSave(QWidget* parent, const QString& question) {
  const auto button = QMessageBox::question(
      parent, QStringLiteral("Folioscribe"), question,
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (button == QMessageBox::Save) return SaveAnswer::kSave;
  return button == QMessageBox::Discard ? SaveAnswer::kDiscard : SaveAnswer::kCancel;
}

QAction* QtPrompts::ExecMenu(QMenu& menu, const QPoint& at) { return menu.exec(at); }

int QtPrompts::RunModal(QDialog& dialog) { return dialog.exec(); }

void QtPrompts::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

void PromptMessageSink::ShowMessage(const std::string& text) {
  prompts_.Message(parent_, QString::fromUtf8(text));
}
