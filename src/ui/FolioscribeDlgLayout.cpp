// The controls of the main dialog, their layout, tab order and connections.
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>
#include <iterator>

#include "ui/AboutDlg.h"
#include "ui/FolioscribeDlg.h"
#include "ui/PreviewPane.h"
#include "ui/RunStatusLine.h"
#include "ui/TemplateEdit.h"

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

QPushButton* NewButton(const QString& caption, const char* name) {
  return Named(new QPushButton(caption), name);
}

QPushButton* NewMacroButton(const char* name) {
  QPushButton* button = NewButton(QStringLiteral("..."), name);
  button->setToolTip(QStringLiteral("Insert a macro"));
  button->setFixedSize(32, 20);
  return button;
}

// A template field under its caption, with the macro button at its right edge.
QLayout* TemplateBlock(const char* caption, TemplateEdit* field, QPushButton* macroButton,
                       int indent) {
  auto* head = new QHBoxLayout;
  head->addWidget(new QLabel(QString::fromUtf8(caption)));
  head->addStretch();
  head->addWidget(macroButton);
  auto* block = new QVBoxLayout;
  block->setContentsMargins(indent, 0, 0, 0);
  block->setSpacing(2);
  block->addLayout(head);
  block->addWidget(field, 1);
  return block;
}

}  // namespace

void CFolioscribeDlg::BuildControls() {
  setWindowTitle(QStringLiteral("Folioscribe"));
  setWindowIcon(ProgramIcon());
  setWindowFlag(Qt::WindowMinMaxButtonsHint);
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildTopBar());
  layout->addSpacing(6);
  layout->addLayout(BuildPathRows());
  c_.advisor = Named(new QLabel(QStringLiteral("Advisor")), "advisor");
  c_.advisor->setWordWrap(true);
  c_.advisor->setMinimumHeight(2 * fontMetrics().lineSpacing() + 4);
  c_.advisor->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  layout->addWidget(c_.advisor);
  layout->addWidget(BuildWorkArea(), 1);
  c_.status = new RunStatusLine(prompts_);
  layout->addWidget(c_.status);
  layout->addLayout(BuildBottomButtons());
  SetTabOrder();
  // No larger than the screen, so every control can be reached on a small one.
  resize(QSize(900, 660).boundedTo(screen()->availableGeometry().size()));
}

// The templates, and beside them the preview of what they make.
QWidget* CFolioscribeDlg::BuildWorkArea() {
  c_.preview = new PreviewPane;
  c_.workArea = Named(new QSplitter(Qt::Horizontal), "workArea");
  c_.workArea->addWidget(BuildTemplateGroup());
  c_.workArea->addWidget(c_.preview);
  c_.workArea->setChildrenCollapsible(false);
  return c_.workArea;
}

QLayout* CFolioscribeDlg::BuildTopBar() {
  c_.openProfile = NewButton(QStringLiteral("Open profile"), "openProfile");
  c_.saveProfile = NewButton(QStringLiteral("Save as profile"), "saveProfile");
  c_.moreOptions = NewButton(QStringLiteral("&More options"), "moreOptions");
  c_.previewToggle = NewButton(QStringLiteral("&Preview"), "previewToggle");
  c_.previewToggle->setCheckable(true);
  c_.previewToggle->setToolTip(QStringLiteral("Show the beginning of the site map as you edit"));
  auto* bar = new QHBoxLayout;
  for (QPushButton* button : {c_.openProfile, c_.saveProfile, c_.moreOptions}) bar->addWidget(button);
  bar->addStretch();
  bar->addWidget(c_.previewToggle);
  return bar;
}

QLayout* CFolioscribeDlg::BuildPathRows() {
  c_.startFolder = Named(new QLineEdit, "startFolder");
  c_.outputName = Named(new QLineEdit, "outputName");
  c_.browse = NewButton(QStringLiteral("..."), "browse");
  c_.browse->setToolTip(QStringLiteral("Choose the folder to read"));
  c_.browse->setFixedWidth(36);
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  grid->addWidget(new QLabel(QStringLiteral("Directory to read:")), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Output file name (e.g. sitemap.html)")), 0, 3);
  grid->addWidget(c_.startFolder, 1, 0);
  grid->addWidget(c_.browse, 1, 1);
  grid->addWidget(c_.outputName, 1, 3);
  grid->setColumnStretch(0, 3);
  grid->setColumnMinimumWidth(2, 16);
  grid->setColumnStretch(3, 2);
  return grid;
}

QWidget* CFolioscribeDlg::BuildTemplateGroup() {
  c_.templateStart = Named(new TemplateEdit, "templateStart");
  c_.templateFolder = Named(new TemplateEdit, "templateFolder");
  c_.templateFile = Named(new TemplateEdit, "templateFile");
  c_.templateEnd = Named(new TemplateEdit, "templateEnd");
  c_.macroStart = NewMacroButton("macroStart");
  c_.macroFolder = NewMacroButton("macroFolder");
  c_.macroFile = NewMacroButton("macroFile");
  c_.macroEnd = NewMacroButton("macroEnd");
  c_.levelDown = Named(new QLineEdit, "levelDown");
  c_.levelUp = Named(new QLineEdit, "levelUp");

  // Level down and Level up belong to the Folder template and stand beside it.
  auto* levels = new QGridLayout;
  levels->addWidget(new QLabel(QStringLiteral("Level down:")), 0, 0);
  levels->addWidget(c_.levelDown, 0, 1);
  levels->addWidget(new QLabel(QStringLiteral("Level up:")), 1, 0);
  levels->addWidget(c_.levelUp, 1, 1);
  levels->setRowStretch(2, 1);
  c_.levelDown->setFixedWidth(110);
  c_.levelUp->setFixedWidth(110);

  auto* group = new QGroupBox(QStringLiteral("Template"));
  auto* grid = new QGridLayout(group);
  grid->addLayout(TemplateBlock("Start", c_.templateStart, c_.macroStart, 0), 0, 0);
  grid->addLayout(TemplateBlock("Folder:", c_.templateFolder, c_.macroFolder, 24), 1, 0);
  grid->addLayout(TemplateBlock("File:", c_.templateFile, c_.macroFile, 48), 2, 0);
  grid->addLayout(TemplateBlock("End:", c_.templateEnd, c_.macroEnd, 0), 3, 0);
  grid->addLayout(levels, 1, 1);
  grid->setColumnStretch(0, 1);
  // Every template grows with the window, Start and End as much as the others.
  for (int row = 0; row < 4; ++row) grid->setRowStretch(row, 1);
  grid->setHorizontalSpacing(16);
  return group;
}

QLayout* CFolioscribeDlg::BuildBottomButtons() {
  c_.about = NewButton(QStringLiteral("&About"), "about");
  c_.doIt = NewButton(QStringLiteral("Do it!"), "doIt");
  c_.doIt->setDefault(true);
  c_.report = NewButton(QStringLiteral("Report"), "report");
  c_.help = NewButton(QStringLiteral("&Help"), "help");
  c_.exit = NewButton(QStringLiteral("Exit"), "exit");
  // Return on Exit runs "Do it!" as it does elsewhere; only a click or Space leaves.
  c_.exit->setAutoDefault(false);
  auto* divider = Named(new QFrame, "divider");
  divider->setFrameShape(QFrame::VLine);
  divider->setFrameShadow(QFrame::Sunken);

  auto* grid = new QGridLayout;
  grid->setColumnStretch(0, 1);
  grid->addWidget(c_.about, 0, 1, Qt::AlignRight);
  grid->addWidget(divider, 0, 2, 2, 1);
  grid->addWidget(c_.doIt, 0, 3);
  grid->addWidget(c_.report, 1, 3);
  grid->addWidget(c_.help, 0, 4);
  grid->addWidget(c_.exit, 1, 4);
  return grid;
}

void CFolioscribeDlg::SetTabOrder() {
  QWidget* order[] = {c_.doIt,        c_.exit,           c_.startFolder,  c_.outputName,
                      c_.templateStart, c_.templateFolder, c_.templateFile, c_.templateEnd,
                      c_.openProfile, c_.saveProfile,    c_.moreOptions,  c_.levelDown,
                      c_.levelUp,     c_.macroStart,     c_.macroFolder,  c_.macroFile,
                      c_.macroEnd,    c_.browse,         c_.about,        c_.help,
                      c_.report,      c_.previewToggle};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void CFolioscribeDlg::Connect() {
  auto insertInto = [this](TemplateEdit* field) { return [this, field] { InsertMacro(field); }; };
  connect(c_.doIt, &QPushButton::clicked, this, &CFolioscribeDlg::OnOK);
  connect(c_.exit, &QPushButton::clicked, this, &CFolioscribeDlg::reject);
  connect(c_.openProfile, &QPushButton::clicked, this, &CFolioscribeDlg::OpenProfile);
  connect(c_.saveProfile, &QPushButton::clicked, this, &CFolioscribeDlg::SaveProfileAs);
  connect(c_.moreOptions, &QPushButton::clicked, this, &CFolioscribeDlg::ShowMoreOptions);
  connect(c_.browse, &QPushButton::clicked, this, &CFolioscribeDlg::FolderBrowser);
  connect(c_.about, &QPushButton::clicked, this, &CFolioscribeDlg::ShowAbout);
  connect(c_.report, &QPushButton::clicked, this, &CFolioscribeDlg::ShowReport);
  connect(c_.help, &QPushButton::clicked, this, [this] { prompts_.OpenUrl(HelpPage()); });
  connect(c_.macroStart, &QPushButton::clicked, this, insertInto(c_.templateStart));
  connect(c_.macroFolder, &QPushButton::clicked, this, insertInto(c_.templateFolder));
  connect(c_.macroFile, &QPushButton::clicked, this, insertInto(c_.templateFile));
  connect(c_.macroEnd, &QPushButton::clicked, this, insertInto(c_.templateEnd));
  connect(c_.outputName, &QLineEdit::textChanged, this, &CFolioscribeDlg::OnOutputNameChanged);
}
