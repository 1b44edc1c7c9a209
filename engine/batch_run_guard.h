// What a run holds on to while it goes: the paths of the files it still
// needs, which no step may delete or overwrite, and the files outside the
// run that its plan showed as deleted, the only ones "&Alle" in `Dialog2`
// may delete without asking again.
//
// Only a step whose target is taken asks whether the run still needs it, so
// the guard writes its changes down and builds its table of paths when first
// asked: a run whose steps all go through never builds it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_system.h"
#include "engine/name_table.h"
#include "engine/path_notes.h"
#include "engine/plan.h"

namespace velmora {

class RunGuard {
 public:
  // disk identifies the planned deletions again; without it none is known.
  RunGuard(FileSystem& fileSystem, FileSystem* disk, const std::vector<PlannedDeletion>& deletions);

  // The marked entries of found at their listed paths are the run's own;
  // found outlives the guard.
  void ProtectMarked(const std::vector<FoundEntry>& found);
  // The file at path is the run's own (made by a step): no step may delete it.
  void Protect(const std::string& path) { Note(kProtect, path); }
  // The run's file has left path.
  void Release(const std::string& path) { Note(kRelease, path); }

  // True when target reaches a protected file: the same path, or, in the
  // same folder, a name equal but for case where the folder holds no entry
  // spelled like target (or both are one file).
  bool Protects(const std::string& target);

  // True when the plan showed target as a file outside the run to be
  // deleted and the same file still lies there.
  bool Planned(const std::string& target);

 private:
  // The protected paths of one folded path: most often the folded path
  // itself, else as written.
  struct Spellings {
    bool folded = false;
    std::vector<std::string> others;
  };
  static constexpr char kProtect = 'P';
  static constexpr char kRelease = 'R';

  void Note(char what, std::string_view path);
  // Brings the table up to date with the marked entries and every note.
  void CatchUp();
  void Add(std::string_view path);
  void Remove(std::string_view path);
  // Sets normal_ to path with its folder written one way, and key_ to that
  // with its name folded.
  void Keys(std::string_view path);

  FileSystem& fileSystem_;
  FileSystem* disk_;
  const std::vector<FoundEntry>* marked_ = nullptr;  // not in the table yet
  PathNotes notes_;                                  // not in the table yet
  NameTable<Spellings> protected_;                   // by folded path
  std::unordered_map<std::string, FileIdentity> planned_;
  std::string normal_;  // room reused by every call
  std::string key_;
};

// True when target is source under another spelling: both in the same
// folder, names equal but for case, and either one file by device and inode
// or the folder holds no entry spelled exactly like target. Asked when the
// platform reports target as taken.
bool SameFileOtherSpelling(FileSystem& fileSystem, const std::string& source,
                           const std::string& target);

}  // namespace velmora
