// A drive list: the mounted file systems, each shown by its mount point. The
// user's choice is reported; setting the drive from code is silent.
#pragma once

#include <QComboBox>
#include <string>

#include "search/drive_info.h"

namespace velmora {

class FolderList;

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  DriveList(const char* name, DriveInfo& drives, QWidget* parent);

  // Reads the mounted file systems afresh.
  void Reload();

  // The chosen drive's designation (its mount point).
  [[nodiscard]] std::string Drive() const;

  // Shows designation as the chosen drive, adding it when it is not listed.
  void SetDrive(const std::string& designation);

  // Moves folders to the chosen drive's root and shows that drive; when the
  // drive is not ready or its root cannot be read, folders stay and this
  // list goes back to the drive holding them.
  void MoveToDrive(const std::string& designation, FolderList& folders);

 signals:
  // The user chose a drive from the list.
  void DriveChosen(const std::string& designation);

 protected:
  void showPopup() override;

 private:
  DriveInfo& drives_;
};

}  // namespace velmora
