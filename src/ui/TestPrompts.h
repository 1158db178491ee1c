#pragma once
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QQueue>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "ui/UiPrompts.h"

// Answers the dialogs' questions from queued replies and records what was asked, so tests
// never wait for a person. An empty queue answers "cancelled".
class TestPrompts : public UiPrompts {
 public:
  struct Question {
    QString title, folder, filter;
  };

  // The next file or folder choice; an empty text cancels.
  void setNextAnswer(const QString& answer) { answers_.enqueue(answer); }
  // The answer to the next question about unsaved changes; an empty queue cancels.
  void setNextSaveAnswer(SaveAnswer answer) { saveAnswers_.enqueue(answer); }
  // The position of the next menu entry to choose, counting the entries that can be chosen
  // and those of submenus in place of the submenu; -1 dismisses the menu.
  void setNextMenuChoice(int position) { menuChoices_.enqueue(position); }

  QString OpenFileName(QWidget*, const QString& title, const QString& folder,
                       const QString& filter) override {
    return Answer({title, folder, filter});
  }
  QString SaveFileName(QWidget*, const QString& title, const QString& folder,
                       const QString& filter) override {
    return Answer({title, folder, filter});
  }
  QString ExistingFolder(QWidget*, const QString& start) override { return Answer({{}, start, {}}); }
  void Message(QWidget*, const QString& text) override { messages.append(text); }
  SaveAnswer AskToSave(QWidget*, const QString& question) override {
    saveQuestions.append(question);
    return saveAnswers_.isEmpty() ? SaveAnswer::kCancel : saveAnswers_.dequeue();
  }
  QAction* ExecMenu(QMenu& menu, const QPoint&) override {
    const QList<QAction*> entries = EntriesOf(menu);
    QStringList labels, headings;
    for (const QAction* entry : entries) labels.append(entry->text());
    for (const QAction* action : menu.actions())
      if (action->menu() || !action->isEnabled()) headings.append(action->text());
    shownMenus.append(labels);
    shownMenuHeadings.append(headings);
    const int position = menuChoices_.isEmpty() ? -1 : menuChoices_.dequeue();
    return position < 0 ? nullptr : entries.value(position);
  }
  int RunModal(QDialog& dialog) override {
    return onModal ? onModal(dialog) : int(QDialog::Rejected);
  }
  void OpenUrl(const QUrl& url) override { openedUrls.append(url); }

  QList<Question> questions;
  QStringList messages;
  QStringList saveQuestions;
  QList<QStringList> shownMenus;         // the labels of the entries that can be chosen
  QList<QStringList> shownMenuHeadings;  // the lines that cannot, and the submenus' titles
  QList<QUrl> openedUrls;
  std::function<int(QDialog&)> onModal;  // runs instead of the modal loop

 private:
  QString Answer(const Question& question) {
    questions.append(question);
    return answers_.isEmpty() ? QString() : answers_.dequeue();
  }
  static QList<QAction*> EntriesOf(const QMenu& menu) {
    QList<QAction*> entries;
    for (QAction* action : menu.actions()) {
      if (action->menu())
        entries += EntriesOf(*action->menu());
      else if (action->isEnabled() && !action->isSeparator())
        entries.append(action);
    }
    return entries;
  }

  QQueue<QString> answers_;
  QQueue<int> menuChoices_;
  QQueue<SaveAnswer> saveAnswers_;
};
