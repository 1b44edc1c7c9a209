// One look at a journal segment, read line by line in small pieces, kept as
// what trimming and the look for interrupted runs need of it; a sealed
// segment, never written again, is looked at once per JournalFile.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/file_system.h"

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

class SegmentScans {
 public:
  // The look at the segment at path; a sealed one is looked at again only
  // when its identity changed.
  SegmentScan Of(FileSystem& disk, const std::string& path, bool sealed);
  void Forget(const std::string& path) { sealed_.erase(path); }

 private:
  struct Sealed {
    FileIdentity identity;
    SegmentScan scan;
  };
  std::unordered_map<std::string, Sealed> sealed_;
};

// The segments of the journal at journalPath by scans: whether a run begun
// in them has no end or dismiss record by its letters, or one is
// unreadable.
bool MayHoldInterruptedRuns(FileSystem& disk, const std::string& journalPath, SegmentScans& scans);

}  // namespace velmora
