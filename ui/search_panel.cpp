#include "ui/search_panel.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "services/translation.h"
#include "ui/drive_list.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"

namespace velmora {

SearchPanel::SearchPanel(DriveInfo& drives, FileSystem& disk, QWidget* parent)
    : QWidget(parent),
      drvList_(new DriveList("drvList", drives, this)),
      dirList_(new FolderList("dirList", disk, this)),
      filList_(new FileList("filList", disk, this)),
      lblCriteria_(new QLabel(tr("Such&kriterium:"), this)),
      txtSearchSpec_(new QLineEdit(QStringLiteral("*.*"), this)),
      optSubdirs_(new QRadioButton(tr("UnterVerz"), this)),
      cmdSearch_(new QPushButton(UiText(kCaptionSearch), this)),
      cmdExit_(new QPushButton(UiText(kCaptionExit), this)) {
  lblCriteria_->setObjectName(QStringLiteral("lblCriteria"));
  lblCriteria_->setBuddy(txtSearchSpec_);
  txtSearchSpec_->setObjectName(QStringLiteral("txtSearchSpec"));
  txtSearchSpec_->installEventFilter(this);
  optSubdirs_->setObjectName(QStringLiteral("OptSubdirs"));
  // Alone, an option button goes off at a second click; in an exclusive
  // group it stays on, and only the reset (ShowState) clears it.
  (new QButtonGroup(this))->addButton(optSubdirs_);
  cmdSearch_->setObjectName(QStringLiteral("cmdSearch"));
  cmdSearch_->setDefault(true);
  cmdExit_->setObjectName(QStringLiteral("cmdExit"));
  dirList_->SetOpenOnFocusOut(true);

  auto* pattern = new QGridLayout;
  pattern->addWidget(lblCriteria_, 0, 0);
  pattern->addWidget(txtSearchSpec_, 0, 1);
  pattern->addWidget(optSubdirs_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdSearch_);
  buttons->addWidget(cmdExit_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(drvList_);
  layout->addWidget(dirList_, 3);
  layout->addWidget(filList_, 2);
  layout->addLayout(pattern);
  layout->addLayout(buttons);

  connect(drvList_, &DriveList::DriveChosen, this,
          [this](const std::string& drive) { drvList_Change(drive); });
  connect(dirList_, &FolderList::PathChanged, this,
          [this](const std::string& folder) { dirList_Change(folder); });
  connect(txtSearchSpec_, &QLineEdit::textChanged, this,
          [this](const QString& text) { txtSearchSpec_Change(text); });
}

void SearchPanel::StartAt(const std::string& drive, const std::string& folder,
                          const std::string& pattern) {
  drvList_->SetDrive(drive);
  if (!dirList_->SetPath(folder)) dirList_->SetPath(kRootFolder);
  txtSearchSpec_->setText(QString::fromStdString(pattern));
  // The same text fires no change; the file list still wants the pattern.
  txtSearchSpec_Change(txtSearchSpec_->text());
}

SearchInputs SearchPanel::Inputs() const {
  SearchInputs inputs;
  inputs.drive = drvList_->Drive();
  inputs.currentFolder = dirList_->Path();
  inputs.highlightedFolder = dirList_->Highlighted();
  inputs.pattern = txtSearchSpec_->text().toStdString();
  return inputs;
}

void SearchPanel::ShowState(const SearchState& state) {
  cmdSearch_->setText(UiText(state.searchCaption));
  cmdExit_->setText(UiText(state.exitCaption));
  if (optSubdirs_->isChecked() != state.optSubdirs) {
    // The checked button of an exclusive group cannot be switched off.
    QButtonGroup* group = optSubdirs_->group();
    group->setExclusive(false);
    optSubdirs_->setChecked(state.optSubdirs);
    group->setExclusive(true);
  }
}

void SearchPanel::OpenFolder(const std::string& folder) {
  if (folder != dirList_->Path()) dirList_->SetPath(folder);
}

void SearchPanel::drvList_Change(const std::string& designation) {
  drvList_->MoveToDrive(designation, *dirList_);
}

void SearchPanel::dirList_Change(const std::string& folder) { filList_->SetFolder(folder); }

void SearchPanel::txtSearchSpec_Change(const QString& text) {
  filList_->SetPattern(text.toStdString());
  emit PatternChanged(text);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtSearchSpec_ && event->type() == QEvent::FocusIn) {
    // txtSearchSpec_GotFocus: the whole pattern is selected. Later, because a
    // mouse click would place the cursor after the focus arrives.
    QTimer::singleShot(0, txtSearchSpec_, [edit = txtSearchSpec_] { edit->selectAll(); });
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace velmora
