#include "ui/QuickMenu.h"

#include <QAction>
#include <QCursor>

#include "sitemap/MacroFilters.h"
#include "sitemap/Macros.h"
#include "ui/UiPrompts.h"

namespace {

constexpr int kExampleChars = 34;  // a long path or tag would widen the menu past the screen

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Backquotes mark code only in the manual; a menu shows "&" only when doubled.
QString MenuText(QString text) {
  return text.remove(QLatin1Char('`')).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// "name — what it gives", then the example in the column at the right.
QString Label(const QString& name, std::string_view description, const QString& example) {
  QString label = MenuText(name) + QStringLiteral("  \u2014  ") + MenuText(FromView(description));
  if (!example.isEmpty()) label += QLatin1Char('\t') + MenuText(example);
  return label;
}

// A value on one line, short enough for a menu; a long one keeps its end, where a path
// names the item.
QString ShownValue(const std::string& value) {
  const QString text = QString::fromUtf8(value).simplified();
  if (text.isEmpty()) return QStringLiteral("(empty)");
  if (text.size() <= kExampleChars) return text;
  constexpr int kHead = kExampleChars / 3;
  return text.left(kHead) + QChar(0x2026) + text.right(kExampleChars - kHead - 1);
}

}  // namespace

void CQuickMenu::AppendItem(int commandId, const QString& text, const QString& label,
                            QMenu* submenu) {
  QAction* action = (submenu ? submenu : &menu_)->addAction(label);
  action->setData(commandId);
  texts_.insert(commandId, text);
}

QMenu* CQuickMenu::AppendSubmenu(const QString& title) { return menu_.addMenu(title); }

void CQuickMenu::AppendHeading(const QString& text) { menu_.addAction(text)->setEnabled(false); }

int CQuickMenu::Track(UiPrompts& prompts, const QPoint& at) {
  const QAction* chosen = prompts.ExecMenu(menu_, at);
  if (chosen == nullptr) return -1;
  const int id = chosen->data().toInt();
  chosenText_ = texts_.value(id);
  return id;
}

QString ShowMacroMenu(UiPrompts& prompts, const std::vector<std::string>& examples,
                      const QString& heading) {
  CQuickMenu menu;
  const bool real = examples.size() == MacroTable().size();
  menu.AppendHeading(real ? MenuText(heading)
                          : QStringLiteral("Examples (choose a folder to read for real values):"));
  int id = 0;
  for (const MacroDefinition& macro : MacroTable()) {
    const QString text = QString::fromStdString(MacroText(macro));
    const QString example =
        real ? ShownValue(examples[size_t(id)]) : QStringLiteral("e.g. ") + FromView(macro.example);
    menu.AppendItem(id++, text, Label(text, macro.description, example));
  }
  QMenu* filters = menu.AppendSubmenu(QStringLiteral("Filters"));
  for (const MacroFilterDefinition& filter : MacroFilterTable()) {
    const QString text = QLatin1Char('|') + FromView(filter.name);
    menu.AppendItem(id++, text, Label(text, filter.description, {}), filters);
  }
  return menu.Track(prompts, QCursor::pos()) < 0 ? QString() : menu.ChosenText();
}
