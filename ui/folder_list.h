// A folder list: the current folder's parents from the root down, the
// current folder, and its sub-folders sorted by name. One entry is
// highlighted; the highlight alone does not change the current folder,
// opening an entry (double click) does.
#pragma once

#include <QTreeWidget>
#include <string>

#include "search/folder_reader.h"

namespace velmora {

class FolderList : public QTreeWidget {
  Q_OBJECT

 public:
  FolderList(const char* name, FileSystem& disk, QWidget* parent);

  // The current folder.
  [[nodiscard]] const std::string& Path() const { return path_; }

  // Makes folder current and lists it afresh; false, changing nothing, when
  // it cannot be read.
  bool SetPath(const std::string& folder);

  // The highlighted entry's folder (the current folder when none is).
  [[nodiscard]] std::string Highlighted() const;

  // Highlights the entry of folder when it is listed.
  void Highlight(const std::string& folder);

  // When set, losing the input focus opens the highlighted entry.
  void SetOpenOnFocusOut(bool open) { openOnFocusOut_ = open; }

 signals:
  // The current folder changed.
  void PathChanged(const std::string& folder);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

 private:
  void Fill(const std::vector<std::string>& subFolders);
  void OpenItem(QTreeWidgetItem* item);

  FileSystem& disk_;
  std::string path_;
  QTreeWidgetItem* currentItem_ = nullptr;
  bool openOnFocusOut_ = false;
};

}  // namespace velmora
