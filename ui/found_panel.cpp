#include "ui/found_panel.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/found_list_model.h"

namespace velmora {

FoundPanel::FoundPanel(FoundList& found, QWidget* parent)
    : QWidget(parent),
      found_(found),
      model_(new FoundListModel(found, this)),
      lblfound_(new QLabel(tr("&Dateien gefunden:"), this)),
      lblCount_(new QLabel(QStringLiteral("0"), this)),
      cmdSelectAll_(new QPushButton(tr("Alle auswählen"), this)),
      cmdSelectNone_(new QPushButton(tr("Markierung aufheben"), this)),
      lstFoundFiles_(new QListView(this)) {
  lblfound_->setObjectName(QStringLiteral("lblfound"));
  lblCount_->setObjectName(QStringLiteral("lblCount"));
  cmdSelectAll_->setObjectName(QStringLiteral("CmdSelectAll"));
  cmdSelectNone_->setObjectName(QStringLiteral("CmdSelectNone"));
  lstFoundFiles_->setObjectName(QStringLiteral("lstFoundFiles"));
  lblfound_->setBuddy(lstFoundFiles_);
  // The count grows during a search; room for five digits keeps the row still.
  lblCount_->setMinimumWidth(lblCount_->fontMetrics().horizontalAdvance(QStringLiteral(" 00000")));

  lstFoundFiles_->setModel(model_);
  lstFoundFiles_->setUniformItemSizes(true);
  lstFoundFiles_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstFoundFiles_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstFoundFiles_->setTextElideMode(Qt::ElideNone);
  lstFoundFiles_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  lstFoundFiles_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  auto* top = new QHBoxLayout;
  top->addWidget(lblfound_);
  top->addWidget(lblCount_);
  top->addStretch(1);
  top->addWidget(cmdSelectAll_);
  top->addWidget(cmdSelectNone_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(top);
  layout->addWidget(lstFoundFiles_, 1);

  connect(cmdSelectAll_, &QPushButton::clicked, this, [this] { CmdSelectAll_Click(); });
  connect(cmdSelectNone_, &QPushButton::clicked, this, [this] { CmdSelectNone_Click(); });
  connect(lstFoundFiles_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            CopyMarks(selected, deselected);
          });
}

void FoundPanel::Refresh() {
  model_->ClearExtent();
  model_->Refresh();
  // A reset forgets the selection; give it back the list's marks.
  QItemSelection marks;
  const int count = found_.Count();
  for (int i = 0; i < count; ++i) {
    if (!found_.IsMarked(i)) continue;
    int last = i;
    while (last + 1 < count && found_.IsMarked(last + 1)) ++last;
    marks.select(model_->index(i), model_->index(last));
    i = last;
  }
  if (!marks.isEmpty()) {
    restoring_ = true;
    lstFoundFiles_->selectionModel()->select(marks, QItemSelectionModel::Select);
    restoring_ = false;
  }
}

void FoundPanel::FitFoundListExtent() {
  model_->ClearExtent();
  if (model_->rowCount() == 0) return;
  QStyleOptionViewItem option;
  option.initFrom(lstFoundFiles_);
  const QSize natural = lstFoundFiles_->itemDelegate()->sizeHint(option, model_->index(0));
  const int margin = 2 * lstFoundFiles_->fontMetrics().averageCharWidth() + 8;
  model_->FitExtent(lstFoundFiles_->font(), natural.height(), margin);
}

void FoundPanel::SetCountText(const QString& text) { lblCount_->setText(text); }

void FoundPanel::CmdSelectAll_Click() {
  const int count = model_->rowCount();
  if (count == 0) return;
  lstFoundFiles_->selectionModel()->select(
      QItemSelection(model_->index(0), model_->index(count - 1)), QItemSelectionModel::Select);
}

void FoundPanel::CmdSelectNone_Click() { lstFoundFiles_->selectionModel()->clearSelection(); }

void FoundPanel::CopyMarks(const QItemSelection& selected, const QItemSelection& deselected) {
  for (const QItemSelectionRange& range : deselected) {
    for (int row = range.top(); row <= range.bottom(); ++row) found_.SetMarked(row, false);
  }
  for (const QItemSelectionRange& range : selected) {
    for (int row = range.top(); row <= range.bottom(); ++row) found_.SetMarked(row, true);
  }
  if (!restoring_) emit lstFoundFiles_Click();
}

}  // namespace velmora
