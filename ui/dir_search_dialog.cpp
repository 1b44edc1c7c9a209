#include "ui/dir_search_dialog.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "ui/drive_list.h"
#include "ui/folder_list.h"

namespace velmora {

DirSearch::DirSearch(const std::string& destPath, const std::string& destDrive, DriveInfo& drives,
                     FileSystem& disk, SettingsWriter& settings, QWidget* owner)
    : QDialog(owner),
      drives_(drives),
      settings_(settings),
      drive1_(new DriveList("Drive1", drives, this)),
      dir1_(new FolderList("Dir1", disk, this)),
      cmdOk_(new QPushButton(tr("Übernehmen"), this)) {
  setObjectName(QStringLiteral("DirSearch"));
  setWindowTitle(tr("Zielpfad"));
  cmdOk_->setObjectName(QStringLiteral("CmdOk"));
  cmdOk_->setAutoDefault(false);
  // As in the main window: leaving the list takes the highlighted folder, so
  // the folder the user picked is the one "Übernehmen" accepts.
  dir1_->SetOpenOnFocusOut(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(drive1_);
  layout->addWidget(dir1_, 1);
  layout->addWidget(cmdOk_);
  resize(360, 420);

  connect(drive1_, &DriveList::DriveChosen, this,
          [this](const std::string& drive) { Drive1_Change(drive); });
  connect(cmdOk_, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
  Form_Load(destPath, destDrive);
}

std::optional<AcceptedDestination> DirSearch::Choose(const std::string& destPath,
                                                     const std::string& destDrive,
                                                     DriveInfo& drives, FileSystem& disk,
                                                     SettingsWriter& settings, QWidget* owner) {
  DirSearch dialog(destPath, destDrive, drives, disk, settings, owner);
  dialog.exec();
  return dialog.accepted();
}

void DirSearch::Form_Load(const std::string& destPath, const std::string& destDrive) {
  const FolderAndDrive start = OpenDestination(destPath, destDrive, drives_);
  if (!dir1_->SetPath(start.folder)) dir1_->SetPath(kRootFolder);
  drive1_->SetDrive(start.drive);
}

void DirSearch::Drive1_Change(const std::string& designation) {
  drive1_->MoveToDrive(designation, *dir1_);
}

void DirSearch::CmdOk_Click() {
  accepted_ = AcceptDestination(dir1_->Path(), drive1_->Drive(), settings_);
  accept();
}

}  // namespace velmora
