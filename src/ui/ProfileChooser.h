#pragma once
#include <QFileDialog>

// The file chooser for profiles. A name typed without extension gets the profile
// extension; in the open chooser a bare name that is not in the shown folder is looked up
// in the profile folders, as the command line looks up "-p NAME".
class ProfileChooser : public QFileDialog {
  Q_OBJECT

 public:
  ProfileChooser(QWidget* parent, const QString& title, const QString& folder,
                 const QString& filter, AcceptMode mode);
  // The chosen file, once accepted.
  QString Chosen() const;

 protected:
  void accept() override;

 private:
  QString TypedName() const;

  QString found_;  // a bare name found in the profile folders
};
