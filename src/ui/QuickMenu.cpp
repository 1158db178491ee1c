#include "ui/QuickMenu.h"

#include <QAction>
#include <QCursor>

#include "sitemap/MacroFilters.h"
#include "sitemap/Macros.h"
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
  int id = 0;
  for (const MacroDefinition& macro : MacroTable())
    menu.AppendItem(id++, QString::fromStdString(MacroText(macro)));
  for (std::string_view filter : kMacroFilterNames)
    menu.AppendItem(id++, QLatin1Char('|') + QString::fromUtf8(filter.data(), filter.size()));
  return menu.Track(prompts, QCursor::pos()) < 0 ? QString() : menu.ChosenText();
}
