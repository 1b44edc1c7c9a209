// "Optionen → Auftrag speichern…", "Auftrag laden…" and the last few jobs:
// the window's side of saved jobs (services/job_file.h). A job holds the
// slots with their fields, the pattern, the sub-folder switch, the order,
// the counter's options and chain resolution; loading one empties the found
// list and leaves folders, answers and the journal alone.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "search/name_order.h"
#include "services/job_file.h"

class QAction;
class QMenu;
class QWidget;

namespace velmora {

class MessageSink;
class SearchPanel;
class SettingsStore;
class SlotPanel;

// The window's controls a job reads and sets, and what only the window can
// do: choose an order as the menu does, and empty the found list with the
// sub-folder switch set.
struct JobWindow {
  SlotPanel& slotPanel;
  SearchPanel& searchPanel;
  QAction& resolveChains;
  std::function<void(const ListOrder&)> chooseOrder;
  std::function<void(bool subdirs)> resetFound;
};

class JobMenu : public QObject {
  Q_OBJECT

 public:
  // Adds the items to options; the menu owns this object.
  JobMenu(QMenu* options, SettingsStore& store, MessageSink& messages, JobWindow window);

  // The menu items: a file dialog in the job folder, then SaveJob or LoadJob.
  void MnuSaveJob_Click();
  void MnuLoadJob_Click();

  // Writes the window's job to path, or sets the window from path; false
  // after a message. Either way a good path goes first in the recent list.
  bool SaveJob(const std::string& path);
  bool LoadJob(const std::string& path);

  [[nodiscard]] SavedJob ReadWindow() const;
  void ShowJob(const SavedJob& job);

 private:
  // The recent jobs, between the load item and the separator after them.
  void FillRecent();

  QMenu* options_;
  SettingsStore& store_;
  MessageSink& messages_;
  JobWindow window_;
  QAction* end_ = nullptr;  // the separator after the recent jobs
  std::vector<QAction*> recent_;
};

}  // namespace velmora
