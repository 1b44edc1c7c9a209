// The questions a run or an undo puts to the user, the progress bar and the
// refresh of the found list afterwards. The window puts its dialogs behind
// these; tests answer them from a script.
#pragma once

#include <string>

#include "engine/job.h"

namespace velmora {

// Answer codes of the two questions; kAnswerClosed means the dialog was
// closed without a button.
inline constexpr int kAnswerClosed = 0;
inline constexpr int kAnswerYes = 1;
inline constexpr int kAnswerNo = 2;
inline constexpr int kAnswerAll = 3;
inline constexpr int kAnswerCancel = 4;

class RunDialogs {
 public:
  virtual ~RunDialogs() = default;

  // `Dialog`, "Sind Sie sicher ??": shall nameSrc get the name nameDest?
  // flags name the action. Returns 1 "&Ja", 2 "&Nein", 3 "&Alle",
  // 4 "&Abbrechen", or 0 when closed without a button (taken as 4).
  virtual int AskDialog(const std::string& nameSrc, const std::string& nameDest,
                        const RunFlags& flags) = 0;

  // `Dialog2`, "Löschen ???": nameDest exists; delete it? Returns 1 "&Ja",
  // 3 "&Alle", 4 "&Abbrechen", or 0 when closed without a button (taken as 4).
  virtual int AskDialog2(const std::string& nameDest) = 0;

  // `Dialog2` for a target the run's plan did not show as deleted (names
  // shifted by a "&Nein", a file that appeared since): asked even after
  // "&Alle", and never answered in advance.
  virtual int AskDialog2Unplanned(const std::string& nameDest) { return AskDialog2(nameDest); }
};

// The main window's progress bar `ProgBar`.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetMaximum(int maximum) = 0;
  virtual void SetValue(int value) = 0;
};

// Presses the search button twice (reset, then search again) so that the
// found list shows the names as they now are.
class SearchRepeater {
 public:
  virtual ~SearchRepeater() = default;
  virtual void RepeatSearch() = 0;
};

}  // namespace velmora
