#pragma once
#include <QHash>
#include <QMenu>
#include <QString>
#include <string>
#include <vector>

class QPoint;
class UiPrompts;

// A pop-up menu of text entries, some in submenus, that reports which one was chosen.
class CQuickMenu {
 public:
  // Adds an entry that inserts `text`, shown as `label`, to `submenu` (the menu itself when
  // null).
  void AppendItem(int commandId, const QString& text, const QString& label,
                  QMenu* submenu = nullptr);
  // A submenu at the end of the menu, to append entries to.
  QMenu* AppendSubmenu(const QString& title);
  // A line that explains the entries below it and cannot be chosen.
  void AppendHeading(const QString& text);
  // Shows the menu at `at` and returns the chosen command id, or -1 when it was dismissed.
  int Track(UiPrompts& prompts, const QPoint& at);
  // The text of the chosen entry; empty until one is chosen.
  const QString& ChosenText() const { return chosenText_; }

 private:
  QMenu menu_;
  QHash<int, QString> texts_;  // by command id
  QString chosenText_;
};

// The macro menu at the mouse cursor: under `heading`, every macro of the macro table with
// its description and its value in `examples` (parallel to the table; when it is empty,
// the table's own examples under a heading of its own), then the filters ("|html", ...) in
// a submenu. Returns the text to insert, or empty text.
QString ShowMacroMenu(UiPrompts& prompts, const std::vector<std::string>& examples,
                      const QString& heading);
