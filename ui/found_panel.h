// The found-files list `lstFoundFiles` with its count and the two marking
// buttons. The view's selection is the list's marks: every change is copied
// into the search's FoundList, which the runs read.
#pragma once

#include <QWidget>

#include "search/found_list.h"

class QItemSelection;
class QLabel;
class QListView;
class QPushButton;

namespace velmora {

class FoundListModel;

class FoundPanel : public QWidget {
  Q_OBJECT

 public:
  FoundPanel(FoundList& found, QWidget* parent);

  [[nodiscard]] QListView* lstFoundFiles() const { return lstFoundFiles_; }
  [[nodiscard]] QLabel* lblCount() const { return lblCount_; }
  [[nodiscard]] QPushButton* CmdSelectAll() const { return cmdSelectAll_; }
  [[nodiscard]] QPushButton* CmdSelectNone() const { return cmdSelectNone_; }

  // Shows the entries and marks the list holds now.
  void Refresh();

  // FitFoundListExtent: the list scrolls far enough to show its widest entry.
  void FitFoundListExtent();

  void SetCountText(const QString& text);

 signals:
  // The marks changed by the user (lstFoundFiles_Click).
  void lstFoundFiles_Click();

 private:
  void CmdSelectAll_Click();
  void CmdSelectNone_Click();
  void CopyMarks(const QItemSelection& selected, const QItemSelection& deselected);

  FoundList& found_;
  FoundListModel* model_;
  QLabel* lblfound_;
  QLabel* lblCount_;
  QPushButton* cmdSelectAll_;
  QPushButton* cmdSelectNone_;
  QListView* lstFoundFiles_;
  bool restoring_ = false;
};

}  // namespace velmora
