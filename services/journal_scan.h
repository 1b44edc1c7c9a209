// One look at a journal segment, read line by line in small pieces, kept as
// what trimming and the look for interrupted runs need of it; a sealed
// segment, never written again, is looked at once per JournalFile, and
// through the summary record at its end when it has one.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/file_system.h"
#include "services/journal.h"

namespace velmora {

struct SegmentScan {
  // Unreadable (missing: there is none); it then counts as empty below.
  bool unreadable = false;
  bool missing = false;
  // As trimming reads it: checked records only, a torn tail left out.
  // Unusable when its header is of no version read.
  bool usable = true;
  std::size_t intents = 0;
  std::unordered_set<std::string> runs;   // runs with a record in it
  std::unordered_set<std::string> ended;  // runs it ends or dismisses
  // By the letters only, a torn tail included: per run, whether its last
  // B, E or X record is a B.
  std::unordered_map<std::string, bool> begun;
};

// A segment's lines fed one by one, as read or as appended.
class SegmentScanner {
 public:
  void Line(std::string_view line, bool torn);
  // Whole lines, each with its LF.
  void Lines(std::string_view text);
  // The same for records its writer describes in of, without reading them.
  void Lines(std::string_view text, const RecordsOf& of);
  [[nodiscard]] bool Version3() const { return seen_ == kHeader && !torn_; }
  [[nodiscard]] bool Version2() const { return seen_ == kVersion2; }
  [[nodiscard]] bool HeaderSeen() const { return seen_ == kHeader; }
  SegmentScan& scan() { return out_; }
  // The summary record (framed) of what was fed; see the README.
  [[nodiscard]] std::string Summary() const;

 private:
  void Record(std::string_view line);
  enum { kNothing, kHeader, kVersion2, kOther } seen_ = kNothing;
  bool torn_ = false;
  SegmentScan out_;
  std::string last_;  // the run of the record before
};

// The scan kept in the summary record line,
// when its checksum and fields hold (line without its LF).
bool ReadSummary(std::string_view line, SegmentScan& scan);
// The same of the last line of file, size bytes long, read from its end;
// false when that is no summary record.
bool SummaryAtEnd(OpenFile& file, std::int64_t size, SegmentScan& scan);

class SegmentScans {
 public:
  // The look at the segment at path; a sealed one is looked at again only
  // when its identity changed.
  SegmentScan Of(FileSystem& disk, const std::string& path, bool sealed);
  void Forget(const std::string& path) { sealed_.erase(path); }

  // The current segment as appended to: opened at identity (its length
  // now), text written at at. Summary: the record that ends it when sealed
  // at size bytes, from what was appended when that covers it all, else
  // from a look at it; empty when it gets none.
  void Opened(const FileIdentity& identity);
  void Appended(std::int64_t at, std::string_view text, const RecordsOf* of = nullptr);
  std::string Summary(FileSystem& disk, const std::string& path, std::int64_t size);

 private:
  struct Sealed {
    FileIdentity identity;
    SegmentScan scan;
  };
  std::unordered_map<std::string, Sealed> sealed_;
  // The last look at the current segment, taken over by Opened when the
  // file is still the same.
  bool currentKept_ = false;
  FileIdentity currentIdentity_;
  SegmentScanner current_;
  std::int64_t activeEnd_ = -1;  // what active_ covers; -1: unknown
  SegmentScanner active_;
};

// The segments of the journal at journalPath by scans: whether a run begun
// in them has no end or dismiss record by its letters, or one is
// unreadable.
bool MayHoldInterruptedRuns(FileSystem& disk, const std::string& journalPath, SegmentScans& scans);

}  // namespace velmora
