#include "ui/UiPrompts.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

QString QtPrompts::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtPrompts::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
  return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

QString QtPrompts::ExistingFolder(QWidget* parent, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, QString(), start);
}

void QtPrompts::Message(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QStringLiteral("Folioscribe"), text);
}

QAction* QtPrompts::ExecMenu(QMenu& menu, const QPoint& at) { return menu.exec(at); }

int QtPrompts::RunModal(QDialog& dialog) { return dialog.exec(); }

void QtPrompts::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

void PromptMessageSink::ShowMessage(const std::string& text) {
  prompts_.Message(parent_, QString::fromUtf8(text));
}
