#pragma once
#include <QMenu>
#include <QString>

class QPoint;
class UiPrompts;

// A pop-up menu of plain text entries that reports which one was chosen.
class CQuickMenu {
 public:
  // Adds an entry with its command id; the label is the text.
  void AppendItem(int commandId, const QString& text);
  // Shows the menu at `at` and returns the chosen command id, or -1 when it was dismissed.
  int Track(UiPrompts& prompts, const QPoint& at);
  // The text of the chosen entry; empty until one is chosen.
  const QString& ChosenText() const { return chosenText_; }
  QMenu& Menu() { return menu_; }

 private:
  QMenu menu_;
  QString chosenText_;
};

// The macro menu at the mouse cursor: every macro of the macro table, then the filters
// ("|html", ...) to write behind a macro's name. Returns the chosen text, or empty text.
QString ShowMacroMenu(UiPrompts& prompts);
