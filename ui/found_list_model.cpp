#include "ui/found_list_model.h"

#include <algorithm>

#include "ui/text_width.h"

namespace velmora {

FoundListModel::FoundListModel(const FoundList& found, QObject* parent)
    : QAbstractListModel(parent), found_(found) {}

void FoundListModel::Refresh() {
  beginResetModel();
  rows_ = found_.Count();
  endResetModel();
}

int FoundListModel::FitExtent(const QFont& font, int rowHeight, int margin) {
  emit layoutAboutToBeChanged();
  TextWidth measure(font);
  int widest = 0;
  for (int i = 0; i < rows_; ++i) widest = std::max(widest, measure.Pixels(found_.Path(i)));
  rowSize_ = QSize(widest + margin, rowHeight);
  // The hint changed for every row; a view rereads it on layout.
  emit layoutChanged();
  return rowSize_.width();
}

void FoundListModel::ClearExtent() { rowSize_ = QSize(); }

int FoundListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

QVariant FoundListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    return QString::fromStdString(found_.Path(index.row()));
  }
  if (role == Qt::SizeHintRole && rowSize_.isValid()) return rowSize_;
  return {};
}

}  // namespace velmora
