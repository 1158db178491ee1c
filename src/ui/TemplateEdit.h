#pragma once
#include <QPlainTextEdit>
#include <string>

// A multi-line template field: Enter is a line break and long lines scroll instead of
// wrapping. It hands its text back with the line breaks of the text it was given (CR LF
// when it had none), so a loaded template runs and saves byte for byte as it came.
class TemplateEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TemplateEdit(QWidget* parent = nullptr);
  void SetTemplate(const std::string& text);
  std::string Template() const;

 private:
  QString lineBreak_;
};
