#include "ui/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "common/Maker.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Folioscribe"));
  auto* icon = new QLabel;
  icon->setPixmap(ProgramIcon().pixmap(48, 48));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(new QLabel(QString::fromUtf8(kProgramVersionLine)), 0, 1);
  layout->addWidget(new QLabel(QStringLiteral("Site maps from folders of web files.")), 1, 1);
  layout->addWidget(buttons, 2, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QIcon ProgramIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(60, 80, 110), 2));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(QRectF(10, 4, 44, 56), 4, 4);
  painter.setPen(QPen(QColor(30, 110, 200), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(20, 16, 20, 48);
  for (int y : {16, 28, 38, 48}) painter.drawLine(y == 16 ? 20 : 26, y, 44, y);
  return QIcon(pixmap);
}
