#include "ui/preview_model.h"

#include <QBrush>
#include <QColor>

#include "engine/path.h"
#include "services/plan_text.h"
#include "services/translation.h"

namespace velmora {
namespace {

struct Colours {
  QColor text;
  QColor back;
};

// Grey for nothing to do, green for a clean new name, amber where the run
// would ask before overwriting, red where a file is lost or a step fails.
Colours ColoursOf(PlanState state) {
  switch (state) {
    case PlanState::kUnchanged:
      return {QColor(0x70, 0x70, 0x70), QColor()};
    case PlanState::kChanged:
    case PlanState::kResolved:
      return {QColor(0x1b, 0x5e, 0x20), QColor(0xe8, 0xf5, 0xe9)};
    case PlanState::kExists:
    case PlanState::kCaseOnly:
      return {QColor(0x7a, 0x4f, 0x01), QColor(0xff, 0xf3, 0xd6)};
    case PlanState::kFailed:
    case PlanState::kDuplicate:
    case PlanState::kChain:
      return {QColor(0xa3, 0x10, 0x10), QColor(0xfd, 0xe2, 0xe1)};
  }
  return {};
}

}  // namespace

QString PreviewRowText(const PlanRow& row) {
  return QStringLiteral("%1: %2").arg(
      UiText(PlanStateWord(row.state)),
      QString::fromStdString(std::string(FileNameOf(row.finalPath))));
}

PreviewModel::PreviewModel(QObject* parent) : QAbstractListModel(parent) {}

void PreviewModel::Show(RunPlan plan, int rows) {
  if (rows != rows_) {
    beginResetModel();
    plan_ = std::move(plan);
    rows_ = rows;
    endResetModel();
    return;
  }
  plan_ = std::move(plan);
  if (rows_ > 0) emit dataChanged(index(0), index(rows_ - 1));
}

void PreviewModel::Clear() { Show(RunPlan{}, rows_); }

int PreviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const PlanRow* row = plan_.RowFor(static_cast<std::size_t>(index.row()));
  if (row == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      return PreviewRowText(*row);
    case Qt::ToolTipRole:
      return QString::fromStdString(PlanRowText(*row));
    case Qt::ForegroundRole:
      return QBrush(ColoursOf(row->state).text);
    case Qt::BackgroundRole: {
      const QColor back = ColoursOf(row->state).back;
      return back.isValid() ? QVariant(QBrush(back)) : QVariant();
    }
    default:
      return {};
  }
}

}  // namespace velmora
