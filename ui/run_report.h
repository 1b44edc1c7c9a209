// What the window says about a run: the files it left at new places and
// its failures, for the status line, and the count beside the progress.
#pragma once

#include <QString>
#include <set>
#include <string>

#include "engine/batch_run_state.h"

namespace velmora {

// Counts the files a run put somewhere: a file taken through several slots,
// or through a temporary name, counts once.
class RunTally : public CommitObserver {
 public:
  void Committed(const std::string& source, const std::string& destination) override;
  [[nodiscard]] int Files() const { return static_cast<int>(placed_.size()); }
  void Clear() { placed_.clear(); }

 private:
  std::set<std::string> placed_;
};

// "12 Dateien umbenannt, 1 Fehler" ("kopiert", "verschoben"), in the
// language in use.
QString RunReportText(RunKind kind, int files, int errors);

// "4.120 von 20.000", or "4,120 of 20,000" in English.
QString CountOfText(int value, int maximum);

}  // namespace velmora
