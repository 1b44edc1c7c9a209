#include "ui/preview_panel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "engine/plan.h"
#include "services/plan_text.h"
#include "services/posix_file_system.h"
#include "tags/tag_fields.h"
#include "ui/found_panel.h"
#include "ui/preview_model.h"
#include "ui/search_panel.h"
#include "ui/slot_panel.h"

namespace velmora {
namespace {

// The list takes one row's size for all (the last row's); its width would
// make every row that wide, and a name would be shortened to a width the
// column does not have. Without one, each row is the column's width and a
// name is shortened only when the column is narrower than it.
class ColumnWideRows : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                               const QModelIndex& index) const override {
    return {1, QStyledItemDelegate::sizeHint(option, index).height()};
  }
};

}  // namespace

PreviewPanel::PreviewPanel(FoundList& found, FoundPanel& foundPanel, SlotPanel& slotPanel,
                           SearchPanel& search, QWidget* parent)
    : QWidget(parent),
      found_(found),
      slots_(slotPanel),
      model_(new PreviewModel(this)),
      caption_(new QLabel(tr("Neuer Name"), this)),
      summary_(new QLabel(this)),
      list_(new QListView(this)),
      timer_(new QTimer(this)),
      pool_(new QThreadPool(this)) {
  pool_->setMaxThreadCount(1);
  setObjectName(QStringLiteral("FramePreview"));
  caption_->setObjectName(QStringLiteral("lblNewName"));
  summary_->setObjectName(QStringLiteral("lblPreview"));
  summary_->setToolTip(QString::fromStdString(PlanAssumptionText()));
  list_->setObjectName(QStringLiteral("lstNewNames"));
  list_->setModel(model_);
  list_->setUniformItemSizes(true);
  list_->setItemDelegate(new ColumnWideRows(list_));
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  summary_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  // The header row as high as the found list's, so the rows line up.
  auto* header = new QHBoxLayout;
  header->addWidget(caption_);
  header->addStretch(1);
  header->addWidget(summary_);
  auto* headerBox = new QWidget(this);
  headerBox->setLayout(header);
  header->setContentsMargins(0, 0, 0, 0);
  headerBox->setMinimumHeight(foundPanel.CmdSelectAll()->sizeHint().height());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(headerBox);
  layout->addWidget(list_, 1);

  timer_->setSingleShot(true);
  timer_->setInterval(kDelayMs);
  connect(timer_, &QTimer::timeout, this, [this] { RecomputeAside(); });

  connect(&slotPanel, &SlotPanel::JobChanged, this, [this] { Schedule(); });
  connect(&search, &SearchPanel::PatternChanged, this, [this] { Schedule(); });
  foundView_ = foundPanel.lstFoundFiles();
  QListView* foundView = foundView_;
  connect(foundView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { Schedule(); });
  QAbstractItemModel* foundModel = foundView->model();
  connect(foundModel, &QAbstractItemModel::modelReset, this, [this] { Schedule(); });
  connect(foundModel, &QAbstractItemModel::rowsInserted, this, [this] { Schedule(); });
  connect(foundModel, &QAbstractItemModel::rowsRemoved, this, [this] { Schedule(); });
  FollowFoundList(foundView);
}

void PreviewPanel::FollowFoundList(QListView* found) {
  // One scroll position for both lists; the found list's bar serves both.
  QScrollBar* ours = list_->verticalScrollBar();
  QScrollBar* theirs = found->verticalScrollBar();
  connect(theirs, &QScrollBar::valueChanged, ours, &QScrollBar::setValue);
  connect(ours, &QScrollBar::valueChanged, theirs, &QScrollBar::setValue);
  // A horizontal bar on one side only would shift the last rows.
  connect(found->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
    list_->setHorizontalScrollBarPolicy(max > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  });
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PreviewPanel::AddOption(QMenu* menu) {
  QAction* option = menu->addAction(tr("&Vorschau"));
  option->setObjectName(QStringLiteral("OptPreview"));
  option->setCheckable(true);
  option->setChecked(on_);
  connect(option, &QAction::toggled, this, [this](bool checked) { SetOn(checked); });
}

void PreviewPanel::SetOn(bool on) {
  on_ = on;
  setVisible(on);
  if (on) {
    Schedule();
  } else {
    timer_->stop();
    ++generation_;
    aside_ = false;
    model_->Clear();
    summary_->clear();
  }
}

void PreviewPanel::SetResolveChains(bool on) {
  resolveChains_ = on;
  Schedule();
}

void PreviewPanel::Schedule() {
  if (on_) timer_->start();
}

PreviewPanel::~PreviewPanel() {
  // A plan still being worked out must not outlive the panel it reports to.
  pool_->clear();
  pool_->waitForDone();
}

bool PreviewPanel::Pending() const { return timer_->isActive() || aside_; }

// The inputs are copied here; the plan (a listing per folder, each name
// worked out) runs on the pool, and typing goes on meanwhile.
void PreviewPanel::RecomputeAside() {
  if (!on_) return;
  const unsigned generation = ++generation_;
  aside_ = true;
  pool_->clear();
  pool_->start([this, generation, job = slots_.ReadJob(), entries = found_.Entries(),
                resolveChains = resolveChains_]() mutable {
    PosixFileSystem disk;
    // Tags are read here, off the input path, and handed to the found list
    // so that the next plan of this search finds them there.
    bool read = false;
    if (UsesFields(job)) {
      TagFieldSource fields(disk);
      read = ReadMissingFields(entries, fields) > 0;
    }
    RunPlan plan =
        PlanRun(RunKind::kRename, job, entries, "", disk, /*withSteps=*/false, resolveChains);
    const int rows = static_cast<int>(entries.size());
    if (!read) entries.clear();
    QMetaObject::invokeMethod(
        this,
        [this, generation, rows, plan = std::move(plan), entries = std::move(entries)]() mutable {
          if (!entries.empty()) found_.KeepFields(entries);
          if (generation != generation_) return;  // a newer change is on its way
          aside_ = false;
          Show(std::move(plan), rows);
        },
        Qt::QueuedConnection);
  });
}

void PreviewPanel::Show(RunPlan plan, int rows) {
  summary_->setText(QString::fromStdString(PlanSummaryText(plan)));
  summary_->setStyleSheet(plan.conflicts > 0 || !plan.refusal.empty()
                              ? QStringLiteral("color: #a31010; font-weight: bold;")
                              : QString());
  // Refused inputs give no names to show.
  if (!plan.refusal.empty()) plan = RunPlan{};
  model_->Show(std::move(plan), rows);
  list_->verticalScrollBar()->setValue(foundView_->verticalScrollBar()->value());
}

}  // namespace velmora
