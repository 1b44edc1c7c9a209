#include "services/journal_scan.h"

#include <cctype>

#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "services/journal_parse.h"

namespace velmora {
namespace {

bool IsRunName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-')) return false;
  }
  return true;
}

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

// One record of a version-3 segment; damaged and foreign ones name no run,
// as for the reader. A record of the run before it adds nothing but its
// intent, so only the others and the ends are checked.
void AddRecord(std::string_view line, SegmentScan& out, std::string& last) {
  if (line.size() < 3 || line[1] != '\t' ||
      std::string_view("BFIDAUEX").find(line[0]) == std::string_view::npos) {
    return;
  }
  const std::size_t tab = line.find('\t', 2);
  const std::string_view run = line.substr(2, tab - 2);
  const bool ends = line[0] == 'E' || line[0] == 'X';
  std::string_view record;
  if (run != last || ends) {
    if (!UnframeRecord(line, record) || tab >= record.size() || !IsRunName(run)) return;
    if (run != last) {
      out.runs.emplace(run);
      last = run;
    }
  }
  if (line[0] == 'I') ++out.intents;
  if (!ends) return;
  const std::string_view time = record.substr(tab + 1);
  std::string unescaped;
  if (time.find('\t') == std::string_view::npos && UnescapeJournalText(time, unescaped) &&
      !unescaped.empty()) {
    out.ended.emplace(run);
  }
}

// The letter look: no checksums, torn tail and other versions included.
void AddLetter(std::string_view line, SegmentScan& out) {
  if (line.size() < 3 || line[1] != '\t') return;
  const char letter = line[0];
  if (letter != 'B' && letter != 'E' && letter != 'X') return;
  out.begun[std::string(line.substr(2, line.find('\t', 2) - 2))] = letter == 'B';
}

// Both looks in one pass over file, size bytes long.
SegmentScan Scan(FileSystem& disk, const std::string& path, OpenFile& file, std::int64_t size) {
  SegmentScan out;
  enum { kNothing, kHeader, kVersion2, kOther } seen = kNothing;
  std::string last;
  const Error error = ForEachLine(file, size, [&](std::string_view line, bool torn) {
    AddLetter(line, out);
    if (seen == kHeader) {
      if (!torn && !line.empty() && line.front() != '#') AddRecord(line, out, last);
    } else if (seen == kNothing && (!line.empty() || torn)) {
      if (line == kJournalHeaderV2) {
        seen = kVersion2;
      } else {
        seen = line == kJournalHeader && !torn ? kHeader : kOther;
      }
    }
  });
  if (error) return {true, false, true, 0, {}, {}, {}};
  // Blank lines alone are no header; an empty file is.
  out.usable = seen == kHeader || size == 0;
  if (seen == kVersion2) {
    std::string text;
    bool missing = false;
    if (ReadOwnFile(disk, path, text, missing)) return {true, false, true, 0, {}, {}, {}};
    ParsedRuns(text, path, out);
  }
  return out;
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
  if (!sealed) return Scan(disk, path, *file, stamp.identity.size);
  const auto found = sealed_.find(path);
  if (found != sealed_.end() && found->second.identity == stamp.identity) return found->second.scan;
  SegmentScan scan = Scan(disk, path, *file, stamp.identity.size);
  if (scan.unreadable) {
    Forget(path);  // looked at again next time
  } else {
    sealed_[path] = {stamp.identity, scan};
  }
  return scan;
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
