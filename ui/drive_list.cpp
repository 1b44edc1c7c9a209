#include "ui/drive_list.h"

#include "search/destination.h"
#include "ui/folder_list.h"

namespace velmora {

DriveList::DriveList(const char* name, DriveInfo& drives, QWidget* parent)
    : QComboBox(parent), drives_(drives) {
  setObjectName(QLatin1String(name));
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(12);
  Reload();
  connect(this, &QComboBox::activated, this,
          [this](int index) { emit DriveChosen(itemText(index).toStdString()); });
}

void DriveList::Reload() {
  const QString chosen = currentText();
  const QSignalBlocker quiet(this);
  clear();
  for (const velmora::Drive& drive : drives_.Drives()) {
    addItem(QString::fromStdString(drive.path));
  }
  if (!chosen.isEmpty()) SetDrive(chosen.toStdString());
}

std::string DriveList::Drive() const { return currentText().toStdString(); }

void DriveList::SetDrive(const std::string& designation) {
  const QString text = QString::fromStdString(designation);
  const QSignalBlocker quiet(this);
  int index = findText(text);
  if (index < 0) {
    addItem(text);
    index = count() - 1;
  }
  setCurrentIndex(index);
}

void DriveList::showPopup() {
  // File systems come and go (a stick is plugged in); list them as they are now.
  Reload();
  QComboBox::showPopup();
}

void DriveList::MoveToDrive(const std::string& designation, FolderList& folders) {
  const FolderAndDrive moved = ChangeDrive(designation, folders.Path(), drives_);
  SetDrive(folders.SetPath(moved.folder) ? moved.drive : drives_.DriveOf(folders.Path()));
}

}  // namespace velmora
