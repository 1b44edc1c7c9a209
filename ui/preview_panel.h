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
class QTimer;

namespace velmora {

class FoundPanel;
class PreviewModel;
class SearchPanel;
class SlotPanel;

class PreviewPanel : public QWidget {
  Q_OBJECT

 public:
  // Delay between the last change and the new plan.
  static constexpr int kDelayMs = 200;

  PreviewPanel(const FoundList& found, FoundPanel& foundPanel, SlotPanel& slotPanel,
               SearchPanel& search, QWidget* parent);

  // Adds the checkable option "Vorschau", checked, to menu.
  void AddOption(QMenu* menu);
  // Plans with chains resolved, as "Ketten auflösen" says.
  void SetResolveChains(bool on);

  // Works the plan out now (the timer does this after each change).
  void Recompute();

  // True while a change waits for its plan.
  bool Pending() const;

  QListView* lstNewNames() const { return list_; }
  QLabel* lblPreview() const { return summary_; }

 private:
  void Schedule();
  void SetOn(bool on);
  void FollowFoundList(QListView* found);

  const FoundList& found_;
  SlotPanel& slots_;
  PreviewModel* model_;
  QLabel* caption_;
  QLabel* summary_;
  QListView* list_;
  QListView* foundView_ = nullptr;
  QTimer* timer_;
  bool on_ = true;
  bool resolveChains_ = false;
};

}  // namespace velmora
