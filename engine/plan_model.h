// The disk as a plan sees it while it walks: what each folder it touches
// held at the start, from one listing per folder, and every change the
// planned steps make since. Each file knows whose content it holds, so a
// step that would overwrite another marked entry's file can be told from
// one that meets a stranger. Internal to the plan.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/plan.h"

namespace velmora {

inline constexpr int kNoOwner = -1;  // a file no marked entry brought there

struct Occupant {
  int owner = kNoOwner;  // plan row whose file content this is
  bool file = true;      // false for folders and whatever else GetFile refuses
  std::string spelled;   // the name as written on disk
};

// Where a path leads in the model.
struct Place {
  bool folderMissing = false;  // the folder part does not exist
  Occupant* occupant = nullptr;  // what is there now, null for nothing; valid
                                 // until that name is removed
};

class DiskModel {
 public:
  explicit DiskModel(PlanDisk& disk) : disk_(disk) {}

  // What lies at path now; lists its folder the first time.
  Place Find(std::string_view path);

  // Takes away what lies at path.
  void Remove(std::string_view path);

  // Sets what lies at path (its folder must exist).
  void Put(std::string_view path, int owner);

  // Whether the folder of path ignores letter case.
  bool IgnoresCase(std::string_view path);

 private:
  struct Folder {
    bool missing = false;
    bool ignoresCase = false;
    bool probing = false;  // could not be listed: each name is probed once
    std::unordered_map<std::string, Occupant> names;  // by name, folded where case is ignored
    std::unordered_set<std::string> probed;
    std::string path;
  };

  Folder& FolderFor(std::string_view path);
  std::string Key(const Folder& folder, std::string_view name) const;

  PlanDisk& disk_;
  std::unordered_map<std::string, std::unique_ptr<Folder>> folders_;
  std::string lastPath_;
  Folder* last_ = nullptr;
};

// name with A-Z and the Latin-1 capitals À-Þ (UTF-8) made small, as file
// systems that ignore case compare names.
std::string FoldCase(std::string_view name);

// folder with empty and "." parts dropped and ".." parts taken back, so two
// spellings of one folder meet; unchanged when there is nothing to do.
std::string NormalFolder(std::string_view folder);

}  // namespace velmora
