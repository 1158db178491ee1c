#pragma once
#include <QWidget>
#include <string>

#include "app/GenerationRun.h"

class QLabel;
class QPushButton;
class UiPrompts;

// The line under the templates: while a run goes, how far it got and Cancel; once it has
// ended, what it did, with "Open" and "Show in folder" when it wrote the map.
class RunStatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit RunStatusLine(UiPrompts& prompts, QWidget* parent = nullptr);
  void ShowProgress(const RunProgress& progress);
  // The end of a run that took `seconds`; `failure` is what it told the user, if anything.
  void ShowEnd(const RunResult& result, const std::string& failure, double seconds);
  QString Text() const;

 signals:
  void cancelClicked();

 private:
  void ShowButtons(bool running, bool written);

  UiPrompts& prompts_;
  QLabel* text_;
  QPushButton *cancel_, *open_, *showInFolder_;
  QString output_;
};
