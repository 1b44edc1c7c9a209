// The undo records of all runs since start: old path, new path and run kind
// per attempted step, in run order. Paths are packed into one buffer with
// their folders shared, so the full 32,767 records stay small.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/job.h"

namespace velmora {

// One record as the three hidden lists held it.
struct UndoRecord {
  std::string source;             // `LstUndoSource`: the path before the step
  std::string dest;               // `LstUndoDest`: the path the step computed, or ""
  RunKind kind = RunKind::kNone;  // `LstUndoOpt`
};

class UndoStore {
 public:
  // The lists are indexed by 16-bit numbers.
  static constexpr int kMaxRecords = 32767;

  int Count() const { return static_cast<int>(records_.size()); }

  // Appends a record; returns false, storing nothing, when the store is full.
  bool Append(std::string_view source, std::string_view dest, RunKind kind);

  // The record at index (0 = oldest); index must be below Count().
  UndoRecord Get(int index) const;

  // Removes the record at index; later records move down by one.
  void Remove(int index);

  // Bytes held, buffers and bookkeeping included.
  std::size_t MemoryUsage() const;

 private:
  struct PathRef {
    std::uint32_t folder;  // index into folders_
    std::uint32_t offset;  // file-name part in names_
    std::uint32_t length;
  };
  struct Record {
    PathRef source;
    PathRef dest;
    RunKind kind;
  };

  PathRef Store(std::string_view path);
  std::string Load(const PathRef& ref) const;
  void Compact();

  std::vector<Record> records_;
  std::vector<std::string> folders_;
  std::string names_;
  std::size_t liveNameBytes_ = 0;
};

}  // namespace velmora
