// The column "Neuer Name" as a Qt model: one row per found-list entry, and
// for each marked entry its planned new name with the state word, coloured
// by state, the full explanation as tooltip. Unmarked rows stay empty.
#pragma once

#include <QAbstractListModel>

#include "engine/plan.h"

namespace velmora {

class PreviewModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit PreviewModel(QObject* parent = nullptr);

  // Shows plan for a list of rows entries.
  void Show(RunPlan plan, int rows);

  // Empties every row, keeping their number.
  void Clear();

  [[nodiscard]] const RunPlan& plan() const { return plan_; }

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

 private:
  RunPlan plan_;
  int rows_ = 0;
};

// The text a row shows: the state word, then the new file name.
QString PreviewRowText(const PlanRow& row);

}  // namespace velmora
