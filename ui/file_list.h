// The file list: those files of one folder whose names match the search
// pattern, sorted by name; hidden files and folders are not shown.
#pragma once

#include <QListView>
#include <string>

#include "search/folder_reader.h"

class QStringListModel;

namespace velmora {

class FileList : public QListView {
  Q_OBJECT

 public:
  FileList(const char* name, FileSystem& disk, QWidget* parent);

  // Shows folder's matching files; reads the disk only when folder changed.
  void SetFolder(const std::string& folder);

  // Shows the files matching pattern.
  void SetPattern(const std::string& pattern);

  // Reads the folder again from the disk.
  void Refresh();

  [[nodiscard]] const std::string& Folder() const { return folder_; }
  [[nodiscard]] int Count() const;
  [[nodiscard]] QString Entry(int index) const;

 private:
  void ShowMatches();

  FileSystem& disk_;
  QStringListModel* model_;
  std::string folder_;
  std::string pattern_ = "*.*";
  FolderListing listing_;
};

}  // namespace velmora
