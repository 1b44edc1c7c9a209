// Run liveness and dismissal until the journal keeps them itself.
#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <set>

#include "services/journal.h"

namespace velmora {

bool JournalMayHoldInterruptedRuns(const std::string& journalPath) {
  const int fd = ::open(journalPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  std::string text;
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  ::close(fd);
  std::set<std::string_view> open;  // begun, neither ended nor dismissed
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    if (line.size() < 3 || line[1] != '\t') continue;
    const std::string_view run = line.substr(2, line.find('\t', 2) - 2);
    if (line[0] == 'B') open.insert(run);
    if (line[0] == 'E' || line[0] == 'X') open.erase(run);
  }
  return !open.empty();
}

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
