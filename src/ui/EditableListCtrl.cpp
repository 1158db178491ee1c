#include "ui/EditableListCtrl.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

QListWidgetItem* NewItem(const QString& text) {
  auto* item = new QListWidgetItem(text);
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  return item;
}

// Entries often begin with "." or "/" (".pdf", "/private"), so every printable key types.
bool IsTypingKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  return (event->modifiers() & commands) == 0 && !event->text().isEmpty() &&
         event->text().front().isPrint();
}

bool IsEnterKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

CEditableListCtrl::CEditableListCtrl(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed);
}

void CEditableListCtrl::Fill(const std::vector<std::string>& entries) {
  clear();
  for (const std::string& entry : entries) addItem(NewItem(QString::fromUtf8(entry)));
  addItem(NewItem(QString::fromUtf8(kPlaceholder)));
  setCurrentRow(0);
}

std::vector<std::string> CEditableListCtrl::ReadBack() const {
  std::vector<std::string> entries;
  for (int row = 0; row + 1 < count(); ++row) entries.push_back(item(row)->text().toStdString());
  return entries;
}

void CEditableListCtrl::keyPressEvent(QKeyEvent* event) {
  if (state() == EditingState)
    QListWidget::keyPressEvent(event);
  else if (event->key() == Qt::Key_Delete)
    DeleteCurrent();
  else if (IsEnterKey(event))
    AddEntry();
  else if (IsTypingKey(event))
    StartTyping(event);
  else
    QListWidget::keyPressEvent(event);
}

// Enter opens the placeholder for a new entry instead of closing the dialog.
void CEditableListCtrl::AddEntry() {
  setCurrentRow(count() - 1);
  edit(currentIndex(), AllEditTriggers, nullptr);
}

void CEditableListCtrl::DeleteCurrent() {
  const int row = currentRow();
  if (row < 0 || IsPlaceholderRow(row)) return;
  delete takeItem(row);
  setCurrentRow(row);
}

// The key that starts editing becomes the first character of the new text: the editor
// opens with the old text selected, so the key replaces it.
void CEditableListCtrl::StartTyping(QKeyEvent* event) {
  const QModelIndex index = currentIndex();
  if (!index.isValid() || !edit(index, AllEditTriggers, nullptr)) return;
  if (QWidget* editor = indexWidget(index)) QCoreApplication::sendEvent(editor, event);
}

bool CEditableListCtrl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool started = QListWidget::edit(index, trigger, event);
  if (started) editedRow_ = index.row();
  return started;
}

void CEditableListCtrl::commitData(QWidget* editor) {
  QListWidget::commitData(editor);
  if (editedRow_ >= 0 && IsPlaceholderRow(editedRow_))
    addItem(NewItem(QString::fromUtf8(kPlaceholder)));
  editedRow_ = -1;
}
