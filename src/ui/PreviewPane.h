#pragma once
#include <QTabWidget>

#include "app/GenerationRun.h"

class QTextBrowser;
class QTextEdit;

// Shows the beginning of the site map a run would write: as text, each stretch coloured by
// the template it came from, and rendered for HTML output.
class PreviewPane : public QTabWidget {
  Q_OBJECT

 public:
  explicit PreviewPane(QWidget* parent = nullptr);
  // `html`: the output is a web page, so the rendered tab is offered.
  void Show(const MapPreview& preview, bool html);

 private:
  QTextEdit* text_;
  QTextBrowser* rendered_;
};

// The line under a preview that stops short of the whole map; empty when nothing is left out.
QString LeftOutLine(int64_t itemsLeftOut);
