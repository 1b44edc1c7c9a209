// The preview beside the found list: the column "Neuer Name" with the planned
// name and state of each marked entry, and the summary "N Änderungen, K
// Konflikte". The plan is that of "Umbenennen" with every question answered
// "&Ja". It follows the slots, the marks, the pattern and the list, worked
// out a moment after the last change so typing is never held up, and the
// option "Vorschau" switches it off. Nothing here changes a run.
#pragma once

#include <QWidget>

#include "search/found_list.h"

class QLabel;
class QListView;
class QMenu;
class QThreadPool;
class QTimer;

namespace velmora {

class FoundPanel;
class PreviewModel;
struct RunPlan;
class SearchPanel;
class SlotPanel;

class PreviewPanel : public QWidget {
  Q_OBJECT

 public:
  // Delay between the last change and the new plan.
  static constexpr int kDelayMs = 200;

  PreviewPanel(FoundList& found, FoundPanel& foundPanel, SlotPanel& slotPanel, SearchPanel& search,
               QWidget* parent);

  // Adds the checkable option "Vorschau", checked, to menu.
  void AddOption(QMenu* menu);
  // Plans with chains resolved, as "Ketten auflösen" says.
  void SetResolveChains(bool on);

  ~PreviewPanel() override;

  // True while a change waits for its plan: after each change the timer has
  // it worked out off the input path, a newer change dropping an older plan.
  [[nodiscard]] bool Pending() const;

  [[nodiscard]] QListView* lstNewNames() const { return list_; }
  [[nodiscard]] QLabel* lblPreview() const { return summary_; }

 private:
  void Schedule();
  void RecomputeAside();
  void Show(RunPlan plan, int rows);
  void SetOn(bool on);
  void FollowFoundList(QListView* found);

  FoundList& found_;  // keeps the fields a plan read, once per search
  SlotPanel& slots_;
  PreviewModel* model_;
  QLabel* caption_;
  QLabel* summary_;
  QListView* list_;
  QListView* foundView_ = nullptr;
  QTimer* timer_;
  // One plan at a time is worked out aside; only the newest is shown.
  QThreadPool* pool_;
  unsigned generation_ = 0;
  bool aside_ = false;
  bool on_ = true;
  bool resolveChains_ = false;
};

}  // namespace velmora
