// The pieces of JournalFile its source files share: the append lock held
// for one call, and what reading each segment found.
#pragma once

#include <string>

#include "services/journal.h"
#include "services/journal_parse.h"

namespace velmora {

// Holds the append lock for one call; a kept lock serves as it is, and stays.
class JournalFile::Lock {
 public:
  explicit Lock(JournalFile& file) : file_(file) {
    if (file.lockKept_) return;
    error_ = file.LockAppends();
    held_ = !error_;
  }
  ~Lock() {
    if (held_) file_.Unlock();
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  [[nodiscard]] const Error& error() const { return error_; }

 private:
  JournalFile& file_;
  Error error_;
  bool held_ = false;
};

struct JournalFile::SegmentInfo {
  std::string path;
  JournalParser::Segment seen;
};

}  // namespace velmora
