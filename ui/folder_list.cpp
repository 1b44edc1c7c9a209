#include "ui/folder_list.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QStyle>

#include "engine/path.h"
#include "search/found_list.h"

namespace velmora {

namespace {

constexpr int kPathRole = Qt::UserRole;

std::string ItemPath(const QTreeWidgetItem* item) {
  return item->data(0, kPathRole).toString().toStdString();
}

// "/", "/home", "/home/anna" for "/home/anna".
std::vector<std::string> FoldersFromRoot(const std::string& folder) {
  std::vector<std::string> chain{std::string(kPathSeparatorText)};
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos == folder.size() || folder[pos] == kPathSeparator) {
      if (folder[pos - 1] != kPathSeparator) chain.push_back(folder.substr(0, pos));
    }
  }
  return chain;
}

std::string LastName(const std::string& folder) {
  const std::string name = SplitPath(folder, false);
  return name.empty() ? folder : name;
}

}  // namespace

FolderList::FolderList(const char* name, FileSystem& disk, QWidget* parent)
    : QTreeWidget(parent), disk_(disk) {
  setObjectName(QLatin1String(name));
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(12);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  connect(this, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { OpenItem(item); });
}

bool FolderList::SetPath(const std::string& folder) {
  FolderListing listing = disk_.ReadFolder(folder);
  if (listing.error) return false;
  const bool changed = folder != path_;
  path_ = folder;
  Fill(listing.subFolders);
  if (changed) emit PathChanged(path_);
  return true;
}

void FolderList::Fill(const std::vector<std::string>& subFolders) {
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
  clear();
  QTreeWidgetItem* parent = nullptr;
  for (const std::string& folder : FoldersFromRoot(path_)) {
    auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
    item->setText(0, QString::fromStdString(LastName(folder)));
    item->setIcon(0, open);
    item->setData(0, kPathRole, QString::fromStdString(folder));
    parent = item;
  }
  currentItem_ = parent;
  for (const std::string& name : subFolders) {
    auto* item = new QTreeWidgetItem(currentItem_);
    item->setText(0, QString::fromStdString(name));
    item->setIcon(0, closed);
    item->setData(0, kPathRole, QString::fromStdString(FoundEntryPath(path_, name)));
  }
  expandAll();
  setCurrentItem(currentItem_);
  // The parents stay in sight unless that would hide the current folder.
  scrollToTop();
  scrollToItem(currentItem_);
}

std::string FolderList::Highlighted() const {
  const QTreeWidgetItem* item = currentItem();
  return item == nullptr ? path_ : ItemPath(item);
}

void FolderList::Highlight(const std::string& folder) {
  const QString text = QString::fromStdString(folder);
  for (QTreeWidgetItemIterator it(this); *it; ++it) {
    if ((*it)->data(0, kPathRole).toString() == text) {
      setCurrentItem(*it);
      return;
    }
  }
}

void FolderList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
  // Everything is always open: no expand marks, the indentation says it all.
}

void FolderList::OpenItem(QTreeWidgetItem* item) {
  if (item != nullptr) SetPath(ItemPath(item));
}

void FolderList::focusOutEvent(QFocusEvent* event) {
  QTreeWidget::focusOutEvent(event);
  // A popup (a menu, the drag of a scroll bar) is not the user leaving.
  if (openOnFocusOut_ && event->reason() != Qt::PopupFocusReason) {
    const std::string highlighted = Highlighted();
    if (highlighted != path_) SetPath(highlighted);
  }
}

}  // namespace velmora
