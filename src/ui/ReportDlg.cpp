#include "ui/ReportDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CReportDlg::CReportDlg(const QString& reportText, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Report"));
  auto* text = new QPlainTextEdit;
  text->setObjectName(QStringLiteral("reportText"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setPlainText(reportText);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CReportDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CReportDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral(
      "Report - use only after building a sitemap with link counting [more options]")));
  layout->addWidget(new QLabel(QStringLiteral("Most linked [num. of links]:")));
  layout->addWidget(text, 1);
  layout->addWidget(buttons);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  resize(640, 420);
}
