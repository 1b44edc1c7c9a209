// The disk as a plan sees it while it walks: what each folder it touches
// held at the start, from one listing per folder, and every change the
// planned steps make since. Each file knows whose content it holds, so a
// step that would overwrite another marked entry's file can be told from
// one that meets a stranger. Internal to the plan.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/name_table.h"
#include "engine/plan.h"

namespace velmora {

inline constexpr int kNoOwner = -1;  // the file listed there at the start

// Twelve bytes: a folder of tens of thousands of names holds one each.
struct Occupant {
  int owner = kNoOwner;  // plan row whose file a step brought here
  bool file = true;      // false for folders and whatever else GetFile refuses
  bool leaving = false;  // with chains resolved: owner's file at its listed path,
                         // which owner's own steps take away
  // The name as written on disk, kept where case is ignored: its number
  // in the model's spellings, 0 for none.
  std::uint32_t spelling = 0;
};

// Where a path leads in the model.
struct Place {
  bool folderMissing = false;    // the folder part does not exist
  bool ignoresCase = false;      // its folder ignores letter case
  std::string_view name;         // the file-name part of the path
  Occupant* occupant = nullptr;  // what is there now, null for nothing; valid
                                 // until that name is removed
  std::string_view spelled;      // the occupant's name as written, where case is ignored
  FileSystemKind kind = FileSystemKind::kUnknown;  // of the file system the folder lies on
  // True when the occupant is written other than `name` (only where case is ignored).
  [[nodiscard]] bool SpelledOtherThan(std::string_view name) const {
    return ignoresCase && occupant != nullptr && spelled != name;
  }
};

class DiskModel {
 public:
  explicit DiskModel(FileSystem& disk) : disk_(disk) {}

  // What lies at path now; lists its folder the first time.
  Place Find(std::string_view path);

  // What lies at path now, as Find's occupant: the same answer with less
  // to hand back, for a look at every listed file.
  Occupant* OccupantAt(std::string_view path);

  // Takes away what lies at path.
  void Remove(std::string_view path);

  // Takes the file at path out of the model into taken. Returns false,
  // taking nothing, when no file lies there.
  bool Take(std::string_view path, Occupant& taken);

  // Sets what lies at path (its folder must exist).
  void Put(std::string_view path, int owner);

  // True when a and b name one place: the same folder, and names equal or,
  // where case is ignored, equal but for case.
  bool SamePlace(std::string_view a, std::string_view b);

  // Whether the folder of path ignores letter case.
  bool IgnoresCase(std::string_view path);

  // The kind of file system the folder of path lies on.
  FileSystemKind KindOf(std::string_view path);

  // One text per place: the folder written one way and the name folded
  // where case is ignored.
  std::string PlaceKey(std::string_view path);

 private:
  struct Folder {
    bool missing = false;
    bool ignoresCase = false;
    FileSystemKind kind = FileSystemKind::kUnknown;
    bool probing = false;       // could not be listed: each name is probed once
    NameTable<Occupant> names;  // by name, folded where case is ignored
    std::unordered_set<std::string> probed;
    std::string path;
  };

  // The entry for path in its folder's table (null when none); where is set
  // to the folder, name to the file-name part and key to the name as the
  // table holds it (folded stores a folded one).
  Occupant* Locate(std::string_view path, Folder*& where, std::string_view& name,
                   std::string_view& key, std::string& folded);
  // Enters the listed items into folder's table, folded when caseless.
  // Returns false when two items fold to one name.
  bool Fill(Folder& folder, const std::vector<FolderItem>& items, bool caseless);
  // The folder part of path, listed the first time; name is set to the rest.
  Folder& FolderFor(std::string_view path, std::string_view& name);
  // The same for a path outside the folder asked about last.
  [[gnu::noinline]] Folder& OtherFolder(std::string_view path, std::string_view& name);
  // The name as the folder's table holds it; folded is the storage for a
  // folded name.
  static std::string_view Key(const Folder& folder, std::string_view name, std::string& folded);

  // A copy of name in the model's blocks, which never move.
  std::string_view Keep(std::string_view name);
  // Keeps name as a spelling; returns its number.
  std::uint32_t Spelling(std::string_view name);

  FileSystem& disk_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* at_ = nullptr;  // the free room at the end of the last block
  std::size_t left_ = 0;
  std::vector<std::string_view> spellings_{std::string_view()};  // by number, 0 for none
  std::unordered_map<std::string, std::unique_ptr<Folder>> folders_;
  std::string lastPath_;
  Folder* last_ = nullptr;
};

// Plays plan.order as a resolved run answered "&Ja" throughout would, on the
// names alone: rows it cannot finish become kChain conflicts ending where
// the run leaves them, and steps that go through thanks to the order are
// kResolved. With keepExisting a step onto a stranger's file keeps it and
// does not go through.
void PlayChains(RunPlan& plan, const std::vector<FoundEntry>& found, DiskModel& model,
                bool keepExisting);

// name with every letter folded (FoldLetterCase), as file systems that ignore
// case compare names.
std::string CaselessName(std::string_view name);

// True when a and b fold to the same name; ASCII is compared in place.
bool EqualCaseless(std::string_view a, std::string_view b);

// True when path has no empty, "." or ".." part between separators.
bool WrittenOneWay(std::string_view path);

// folder with empty and "." parts dropped and ".." parts taken back, so two
// spellings of one folder meet; unchanged when there is nothing to do.
std::string NormalFolder(std::string_view folder);

}  // namespace velmora
