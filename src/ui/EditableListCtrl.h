#pragma once
#include <QListWidget>
#include <string>
#include <vector>

// A one-column list whose entries are edited in place. It always ends with the placeholder
// "...": typing on it turns it into a new entry and a new placeholder appears behind it.
// Any printable key on a line starts editing it with that key; F2 and a double click edit
// it as it stands; Delete removes it; Enter opens the placeholder for a new entry.
class CEditableListCtrl : public QListWidget {
  Q_OBJECT

 public:
  static constexpr const char* kPlaceholder = "...";

  explicit CEditableListCtrl(QWidget* parent = nullptr);
  // Shows `entries` followed by the placeholder; the first item becomes current.
  void Fill(const std::vector<std::string>& entries);
  // The entries in display order, without the placeholder; empty texts included.
  std::vector<std::string> ReadBack() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void commitData(QWidget* editor) override;

 private:
  void DeleteCurrent();
  void AddEntry();
  void StartTyping(QKeyEvent* event);
  bool IsPlaceholderRow(int row) const { return row == count() - 1; }

  int editedRow_ = -1;
};
