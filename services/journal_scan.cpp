#include "services/journal_scan.h"

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_parse.h"

namespace velmora {
namespace {

// Version 2 has no checksums and other fields: the reader tells.
void ParsedRuns(std::string_view text, const std::string& name, SegmentScan& out) {
  JournalContents contents;
  JournalParser parser(contents);
  JournalParser::Segment seen;
  out.usable = false;
  if (parser.Add(text, name, &seen)) return;
  out.usable = true;
  out.intents = contents.steps.size();
  out.runs = std::move(seen.runs);
  out.ended.clear();
  for (const JournalRun& run : contents.runs) {
    if (!run.ended.empty()) out.ended.insert(run.id);
  }
}

// Both looks in one pass over file, size bytes long.
SegmentScanner Scan(FileSystem& disk, const std::string& path, OpenFile& file, std::int64_t size,
                    SegmentScan& out) {
  SegmentScanner scanner;
  const Error error =
      ForEachLine(file, size, [&](std::string_view line, bool torn) { scanner.Line(line, torn); });
  if (error) {
    out = {true, false, true, 0, {}, {}, {}};
    return {};
  }
  out = scanner.scan();
  // Blank lines alone are no header; an empty file is.
  out.usable = scanner.HeaderSeen() || size == 0;
  if (scanner.Version2()) {
    std::string text;
    bool missing = false;
    if (ReadOwnFile(disk, path, text, missing)) {
      out = {true, false, true, 0, {}, {}, {}};
    } else {
      ParsedRuns(text, path, out);
    }
  }
  return scanner;
}

}  // namespace

SegmentScan SegmentScans::Of(FileSystem& disk, const std::string& path, bool sealed) {
  Error error;
  const std::unique_ptr<OpenFile> file = disk.OpenOwn(path, OwnFileMode::kExisting, error);
  FileStamp stamp;
  if (file) error = file->Stamp(stamp);
  if (!file || error) {
    Forget(path);
    SegmentScan none;
    none.unreadable = true;
    none.missing = !file && error.number == kFileNotFound;
    return none;
  }
  SegmentScan scan;
  if (!sealed && currentKept_ && currentIdentity_ == stamp.identity) {
    // Unchanged since the last look (trimming right after the look for
    // interrupted runs).
    scan = current_.scan();
    scan.usable = true;
    return scan;
  }
  if (!sealed) {
    SegmentScanner scanner = Scan(disk, path, *file, stamp.identity.size, scan);
    currentKept_ = !scan.unreadable && scanner.Version3();
    if (currentKept_) {
      currentIdentity_ = stamp.identity;
      current_ = std::move(scanner);
    }
    return scan;
  }
  const auto found = sealed_.find(path);
  if (found != sealed_.end() && found->second.identity == stamp.identity) return found->second.scan;
  if (!SummaryAtEnd(*file, stamp.identity.size, scan)) {
    scan = {};
    Scan(disk, path, *file, stamp.identity.size, scan);
  }
  if (scan.unreadable) {
    Forget(path);  // looked at again next time
  } else {
    sealed_[path] = {stamp.identity, scan};
  }
  return scan;
}

void SegmentScans::Opened(const FileIdentity& identity) {
  if (identity.size == 0) {
    active_ = {};
    activeEnd_ = 0;
  } else if (currentKept_ && identity == currentIdentity_) {
    active_ = std::move(current_);
    activeEnd_ = identity.size;
  } else {
    activeEnd_ = -1;
  }
  currentKept_ = false;
}

void SegmentScans::Appended(std::int64_t at, std::string_view text, const RecordsOf* of) {
  if (activeEnd_ != at) {
    activeEnd_ = -1;  // another process wrote, or a tail was cut: unknown
    return;
  }
  if (of != nullptr) {
    active_.Lines(text, *of);
  } else {
    active_.Lines(text);
  }
  activeEnd_ += static_cast<std::int64_t>(text.size());
}

std::string SegmentScans::Summary(FileSystem& disk, const std::string& path, std::int64_t size) {
  if (activeEnd_ == size && active_.Version3()) return active_.Summary();
  Error error;
  const std::unique_ptr<OpenFile> file = disk.OpenOwn(path, OwnFileMode::kExisting, error);
  if (!file) return {};
  SegmentScan scan;
  const SegmentScanner scanner = Scan(disk, path, *file, size, scan);
  return !scan.unreadable && scanner.Version3() ? scanner.Summary() : std::string();
}

bool MayHoldInterruptedRuns(FileSystem& disk, const std::string& journalPath, SegmentScans& scans) {
  std::unordered_set<std::string> open;
  const std::vector<std::string> segments = SegmentPaths(disk, journalPath);
  for (std::size_t i = 0; i <= segments.size(); ++i) {
    const bool sealed = i < segments.size();
    const SegmentScan scan = scans.Of(disk, sealed ? segments[i] : journalPath, sealed);
    // One that cannot be read may hold one: the caller's reading tells.
    if (scan.unreadable && !scan.missing) return true;
    for (const auto& [run, begun] : scan.begun) {
      if (begun) {
        open.insert(run);
      } else {
        open.erase(run);
      }
    }
  }
  return !open.empty();
}

}  // namespace velmora
