// Run liveness and dismissal until the journal keeps them itself.
#include <ctime>

#include "services/journal.h"

namespace velmora {

bool RunInProgress(const std::string&, const JournalRun& run) { return RunInProgress(run); }

void MarkDismissedRuns(JournalContents& contents) {
  for (const std::string& line : contents.foreign) {
    if (!line.starts_with("X\t")) continue;
    const std::string run = line.substr(2, line.find('\t', 2) - 2);
    for (JournalRun& known : contents.runs) {
      if (known.id == run) known.dismissed = true;
    }
  }
}

Error JournalFile::Dismiss(const std::string& run) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return Append("X\t" + run + '\t' + text + '\n');
}

}  // namespace velmora
