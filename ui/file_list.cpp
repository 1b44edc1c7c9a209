#include "ui/file_list.h"

#include <QStringList>
#include <QStringListModel>

namespace velmora {

FileList::FileList(const char* name, FileSystem& disk, QWidget* parent)
    : QListView(parent), disk_(disk), model_(new QStringListModel(this)) {
  setObjectName(QLatin1String(name));
  setModel(model_);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::SetFolder(const std::string& folder) {
  if (folder == folder_) return;
  folder_ = folder;
  Refresh();
}

void FileList::SetPattern(const std::string& pattern) {
  if (pattern == pattern_) return;
  pattern_ = pattern;
  ShowMatches();
}

void FileList::Refresh() {
  listing_ = folder_.empty() ? FolderListing{} : disk_.ReadFolder(folder_);
  ShowMatches();
}

void FileList::ShowMatches() {
  QStringList names;
  for (const std::string& name : MatchingFiles(listing_, FilePattern(pattern_))) {
    names.append(QString::fromStdString(name));
  }
  model_->setStringList(names);
}

int FileList::Count() const { return model_->rowCount(); }

QString FileList::Entry(int index) const { return model_->index(index).data().toString(); }

}  // namespace velmora
