#pragma once
#include <QString>
#include <string>
#include <vector>

#include "platform/Messages.h"

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QUrl;
class QWidget;

// Everything in the dialogs that waits for the user or leaves the program: file and folder
// choosers, message boxes, pop-up menus, modal sub-dialogs and the browser. Tests answer
// through their own implementation, so no test ever blocks on a modal window.
class UiPrompts {
 public:
  enum class SaveAnswer { kSave, kDiscard, kCancel };

  virtual ~UiPrompts() = default;
  // The chosen profile file; empty when cancelled. A bare name typed into the open chooser
  // is looked up in the profile folders, as the command line does.
  virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                               const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                               const QString& filter) = 0;
  // The chosen folder, starting at `start`; empty when cancelled.
  virtual QString ExistingFolder(QWidget* parent, const QString& start) = 0;
  // A message box with an OK button only; returns when it is closed.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // Asks `question` about unsaved changes with Save, Discard and Cancel.
  virtual SaveAnswer AskToSave(QWidget* parent, const QString& question) = 0;
  // Shows `menu` at `at`; the chosen entry, or nullptr when it was dismissed.
  virtual QAction* ExecMenu(QMenu& menu, const QPoint& at) = 0;
  // Runs `dialog` modally; its result code.
  virtual int RunModal(QDialog& dialog) = 0;
  // Opens a file or web address with the desktop's default program; does not wait.
  virtual void OpenUrl(const QUrl& url) = 0;
};

// The real windows of Qt and the desktop.
class QtPrompts : public UiPrompts {
 public:
  QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                       const QString& filter) override;
  QString ExistingFolder(QWidget* parent, const QString& start) override;
  void Message(QWidget* parent, const QString& text) override;
  SaveAnswer AskToSave(QWidget* parent, const QString& question) override;
  QAction* ExecMenu(QMenu& menu, const QPoint& at) override;
  int RunModal(QDialog& dialog) override;
  void OpenUrl(const QUrl& url) override;
};

// Messages of the core shown as message boxes over `parent`.
class PromptMessageSink : public MessageSink {
 public:
  PromptMessageSink(UiPrompts& prompts, QWidget* parent) : prompts_(prompts), parent_(parent) {}
  void ShowMessage(const std::string& text) override;

 private:
  UiPrompts& prompts_;
  QWidget* parent_;
};

// Messages of a run in the background, kept to be shown once it has ended.
class CollectedMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};
