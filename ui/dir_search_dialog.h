// `DirSearch`, "Zielpfad": the destination chooser shown before a copy or
// move run. "Übernehmen" stores and returns the chosen folder; closing the
// window any other way changes nothing.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "search/destination.h"
#include "search/drive_info.h"
#include "search/folder_reader.h"
#include "search/settings_writer.h"

class QPushButton;

namespace velmora {

class DriveList;
class FolderList;

class DirSearch : public QDialog {
  Q_OBJECT

 public:
  DirSearch(const std::string& destPath, const std::string& destDrive, DriveInfo& drives,
            FileSystem& disk, SettingsWriter& settings, QWidget* owner);

  // Shows the chooser modally over owner. The accepted destination (destPath
  // ending in the separator), or nullopt when it was closed without
  // "Übernehmen".
  static std::optional<AcceptedDestination> Choose(const std::string& destPath,
                                                   const std::string& destDrive, DriveInfo& drives,
                                                   FileSystem& disk, SettingsWriter& settings,
                                                   QWidget* owner);

  [[nodiscard]] const std::optional<AcceptedDestination>& accepted() const { return accepted_; }

 private:
  void Form_Load(const std::string& destPath, const std::string& destDrive);
  void Drive1_Change(const std::string& designation);
  void CmdOk_Click();

  DriveInfo& drives_;
  SettingsWriter& settings_;
  DriveList* drive1_;
  FolderList* dir1_;
  QPushButton* cmdOk_;
  std::optional<AcceptedDestination> accepted_;
};

}  // namespace velmora
