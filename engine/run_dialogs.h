// The questions a run or an undo puts to the user, the progress bar and the
// refresh of the found list afterwards. The window puts its dialogs behind
// these; tests answer them from a script.
#pragma once

#include <string>

#include "engine/job.h"

namespace velmora {

// The answer to either question: a button ("&Ja", "&Nein", "&Alle",
// "&Abbrechen"), or kClosed when the dialog was closed without one.
enum class Answer { kClosed, kYes, kNo, kAll, kCancel };

// A window closed without a button counts as "&Abbrechen", so that a stale
// answer never confirms anything.
inline Answer ClosedAsCancel(Answer answer) {
  return answer == Answer::kClosed ? Answer::kCancel : answer;
}

class RunDialogs {
 public:
  virtual ~RunDialogs() = default;

  // `Dialog`, "Sind Sie sicher ??": shall the file at source get the path
  // target? kind names the action. Any answer.
  virtual Answer AskDialog(const std::string& source, const std::string& target, RunKind kind) = 0;

  // `Dialog2`, "Löschen ???": target exists; delete it? kYes, kAll, kCancel
  // or kClosed (taken as kCancel).
  virtual Answer AskDialog2(const std::string& target) = 0;

  // `Dialog2` for a target the run's plan did not show as deleted (names
  // shifted by a "&Nein", a file that appeared since): asked even after
  // "&Alle", and never answered in advance.
  virtual Answer AskDialog2Unplanned(const std::string& target) { return AskDialog2(target); }
};

// The main window's progress bar `ProgBar`.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetMaximum(int maximum) = 0;
  virtual void SetValue(int value) = 0;
};

}  // namespace velmora
