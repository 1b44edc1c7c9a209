// The found list as a Qt model: one row per entry of the search's FoundList,
// read on demand, so a view stays fast with the full 32,767 entries. The
// width hint of every row is the widest entry's, which gives the view its
// horizontal scroll range.
#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QSize>

#include "search/found_list.h"

namespace velmora {

class FoundListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit FoundListModel(const FoundList& found, QObject* parent = nullptr);

  // Shows the entries the list holds now.
  void Refresh();

  // FitFoundListExtent: every row is as wide as the widest entry in font,
  // plus margin pixels, and rowHeight high. Returns that width.
  int FitExtent(const QFont& font, int rowHeight, int margin);

  // Rows as wide as their own text again (an empty list).
  void ClearExtent();

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

 private:
  const FoundList& found_;
  int rows_ = 0;
  QSize rowSize_;  // invalid: no fitted extent
};

}  // namespace velmora
