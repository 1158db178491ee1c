#include "ui/TemplateEdit.h"

#include <QTextDocument>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kLf = QStringLiteral("\n");
}  // namespace

TemplateEdit::TemplateEdit(QWidget* parent) : QPlainTextEdit(parent), lineBreak_(kCrLf) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(true);
  // Three lines at least, so that all templates stay in view in a small window.
  setMinimumHeight(3 * fontMetrics().lineSpacing());
}

void TemplateEdit::SetTemplate(const std::string& text) {
  const QString shown = QString::fromUtf8(text);
  lineBreak_ = shown.contains(kLf) && !shown.contains(kCrLf) ? kLf : kCrLf;
  setPlainText(shown);
}

// The raw text keeps non-breaking spaces, which the plain text would turn into blanks.
std::string TemplateEdit::Template() const {
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, lineBreak_).replace(QChar::LineSeparator, lineBreak_);
  return text.toStdString();
}
