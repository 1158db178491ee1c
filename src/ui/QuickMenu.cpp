#include "ui/QuickMenu.h"

#include <QAction>
#include <QCursor>

#include "ui/UiPrompts.h"

void CQuickMenu::AppendItem(int commandId, const QString& text) {
  QAction* action = menu_.addAction(text);
  action->setData(commandId);
}

int CQuickMenu::Track(UiPrompts& prompts, const QPoint& at) {
  const QAction* chosen = prompts.ExecMenu(menu_, at);
  if (chosen == nullptr) return -1;
  chosenText_ = chosen->text();
  return chosen->data().toInt();
}

QString ShowMacroMenu(UiPrompts& prompts) {
  CQuickMenu menu;
  for (int id = 0; id < int(kMacroList.size()); ++id)
    menu.AppendItem(id, QString::fromUtf8(kMacroList[id]));
  return menu.Track(prompts, QCursor::pos()) < 0 ? QString() : menu.ChosenText();
}
