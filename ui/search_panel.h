// The search controls: drive list, folder list and file list that follow
// one another, the pattern field, the sub-folder option and the search and
// exit buttons. The panel keeps its three lists in step; the main window
// runs the search itself.
#pragma once

#include <QWidget>
#include <string>

#include "search/drive_info.h"
#include "search/folder_reader.h"
#include "search/search_command.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {

class DriveList;
class FileList;
class FolderList;

class SearchPanel : public QWidget {
  Q_OBJECT

 public:
  SearchPanel(DriveInfo& drives, FileSystem& disk, QWidget* parent);

  [[nodiscard]] DriveList* drvList() const { return drvList_; }
  [[nodiscard]] FolderList* dirList() const { return dirList_; }
  [[nodiscard]] FileList* filList() const { return filList_; }
  [[nodiscard]] QLineEdit* txtSearchSpec() const { return txtSearchSpec_; }
  [[nodiscard]] QRadioButton* OptSubdirs() const { return optSubdirs_; }
  [[nodiscard]] QPushButton* cmdSearch() const { return cmdSearch_; }
  [[nodiscard]] QPushButton* cmdExit() const { return cmdExit_; }

  // Drive, folder (the root when it cannot be read) and pattern at start.
  void StartAt(const std::string& drive, const std::string& folder, const std::string& pattern);

  // What the controls hold, for the search button.
  [[nodiscard]] SearchInputs Inputs() const;

  // Shows the captions and the sub-folder option of the search's state.
  void ShowState(const SearchState& state);

  // Makes folder the current folder (the file list follows).
  void OpenFolder(const std::string& folder);

 signals:
  // The pattern text changed (txtSearchSpec_Change).
  void PatternChanged(const QString& pattern);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void drvList_Change(const std::string& designation);
  void dirList_Change(const std::string& folder);
  void txtSearchSpec_Change(const QString& text);

  DriveList* drvList_;
  FolderList* dirList_;
  FileList* filList_;
  QLabel* lblCriteria_;
  QLineEdit* txtSearchSpec_;
  QRadioButton* optSubdirs_;
  QPushButton* cmdSearch_;
  QPushButton* cmdExit_;
};

}  // namespace velmora
