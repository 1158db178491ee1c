#include "ui/PreviewPane.h"

#include <QFontDatabase>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>

namespace {

QColor ColourOf(MapPart part) {
  switch (part) {
    case MapPart::Start:
    case MapPart::End: return QColor(0x1f, 0x4e, 0xa8);
    case MapPart::Folder: return QColor(0x1b, 0x7a, 0x2f);
    case MapPart::File: return QColor(0x20, 0x20, 0x20);
    case MapPart::LevelUp: return QColor(0x8a, 0x3f, 0xa0);
    case MapPart::Signature: break;
  }
  return QColor(0x80, 0x80, 0x80);
}

void Insert(QTextCursor& cursor, const QString& text, const QColor& colour, bool italic = false) {
  QTextCharFormat format;
  format.setForeground(colour);
  format.setFontItalic(italic);
  cursor.insertText(text, format);
}

void ShowColoured(QTextEdit* view, const MapPreview& preview) {
  view->clear();
  QTextCursor cursor(view->document());
  if (!preview.message.empty()) {
    Insert(cursor, QString::fromStdString(preview.message).simplified(), Qt::darkRed);
    return;
  }
  size_t begin = 0;
  for (const MapPiece& piece : preview.pieces) {
    Insert(cursor, QString::fromUtf8(preview.text.substr(begin, piece.end - begin)),
           ColourOf(piece.part));
    begin = piece.end;
  }
  if (preview.itemsLeftOut > 0)
    Insert(cursor, QStringLiteral("\n\n") + LeftOutLine(preview.itemsLeftOut), Qt::gray, true);
}

}  // namespace

QString LeftOutLine(int64_t itemsLeftOut) {
  if (itemsLeftOut <= 0) return {};
  return QStringLiteral("... and %1 more items, not shown here").arg(itemsLeftOut);
}

PreviewPane::PreviewPane(QWidget* parent)
    : QTabWidget(parent), text_(new QTextEdit), rendered_(new QTextBrowser) {
  setObjectName(QStringLiteral("preview"));
  text_->setObjectName(QStringLiteral("previewText"));
  rendered_->setObjectName(QStringLiteral("previewRendered"));
  text_->setReadOnly(true);
  // A long line wraps at any character, so nothing hides beyond the right edge.
  text_->setLineWrapMode(QTextEdit::WidgetWidth);
  text_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The preview shows; it neither follows links nor fetches anything.
  rendered_->setOpenLinks(false);
  addTab(text_, QStringLiteral("Preview"));
  addTab(rendered_, QStringLiteral("Rendered"));
}

void PreviewPane::Show(const MapPreview& preview, bool html) {
  ShowColoured(text_, preview);
  setTabVisible(indexOf(rendered_), html);
  if (!html) return;
  QString page = QString::fromUtf8(preview.text);
  if (preview.itemsLeftOut > 0)
    page += QStringLiteral("<p><i>%1</i></p>").arg(LeftOutLine(preview.itemsLeftOut));
  rendered_->setHtml(page);
}
