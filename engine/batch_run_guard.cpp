#include "engine/batch_run_guard.h"

#include <algorithm>

#include "engine/path.h"
#include "engine/plan_model.h"
#include "engine/text.h"

namespace velmora {
namespace {

// Past this many bytes of notes the table catches up, so that a very long
// run keeps no more than the table would.
constexpr std::size_t kMaxNoted = std::size_t{32} << 20;

// The path with its folder written one way, so two spellings of a folder meet.
std::string Normal(std::string_view path) {
  // A name holds no separator: looking at the whole path is looking at the folder.
  if (WrittenOneWay(path)) return std::string(path);
  const std::size_t nameStart = FileNameStart(path);
  return NormalFolder(path.substr(0, nameStart)) + std::string(path.substr(nameStart));
}

}  // namespace

bool SameFileOtherSpelling(FileSystem& fileSystem, const std::string& source,
                           const std::string& target) {
  const std::string a = Normal(source), b = Normal(target);
  const std::size_t startA = FileNameStart(a), startB = FileNameStart(b);
  if (a.compare(0, startA, b, 0, startB) != 0) return false;
  if (!EqualCaseless(std::string_view(a).substr(startA), std::string_view(b).substr(startB))) {
    return false;
  }
  return fileSystem.SameFile(source, target) || !fileSystem.HasEntrySpelled(target);
}

RunGuard::RunGuard(FileSystem& fileSystem, FileSystem* disk,
                   const std::vector<PlannedDeletion>& deletions)
    : fileSystem_(fileSystem), disk_(disk) {
  for (const PlannedDeletion& deletion : deletions) planned_[deletion.path] = deletion.identity;
}

void RunGuard::ProtectMarked(const std::vector<FoundEntry>& found) {
  CatchUp();
  marked_ = &found;
}

void RunGuard::Note(char what, std::string_view path) {
  if (notes_.bytes() > kMaxNoted) CatchUp();
  notes_.Add(what, path);
}

void RunGuard::CatchUp() {
  if (marked_ != nullptr) {
    for (const FoundEntry& entry : *marked_) {
      if (entry.marked) Add(entry.path);
    }
    marked_ = nullptr;
  }
  notes_.ForEach([this](char what, std::string_view path) {
    if (what == kProtect) {
      Add(path);
    } else {
      Remove(path);
    }
  });
  notes_.Clear();
}

void RunGuard::Keys(std::string_view path) {
  if (WrittenOneWay(path)) {
    normal_.assign(path);
  } else {
    normal_ = Normal(path);
  }
  const std::size_t nameStart = FileNameStart(normal_);
  const std::string_view name = std::string_view(normal_).substr(nameStart);
  key_.assign(normal_, 0, nameStart);
  // ASCII folds to lower case; anything else as CaselessName folds it.
  if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
    for (const char c : name) key_ += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  } else {
    key_ += CaselessName(name);
  }
}

void RunGuard::Add(std::string_view path) {
  Keys(path);
  Spellings& spellings = protected_.Insert(key_);
  if (normal_ == key_) {
    spellings.folded = true;
  } else if (std::find(spellings.others.begin(), spellings.others.end(), normal_) ==
             spellings.others.end()) {
    spellings.others.push_back(normal_);
  }
}

void RunGuard::Remove(std::string_view path) {
  Keys(path);
  Spellings* const spellings = protected_.Find(key_);
  if (spellings == nullptr) return;
  std::vector<std::string>& others = spellings->others;
  if (normal_ == key_) {
    spellings->folded = false;
  } else {
    others.erase(std::remove(others.begin(), others.end(), normal_), others.end());
  }
  if (!spellings->folded && others.empty()) protected_.Erase(key_);
}

bool RunGuard::Protects(const std::string& target) {
  CatchUp();
  Keys(target);
  const Spellings* const spellings = protected_.Find(key_);
  if (spellings == nullptr) return false;
  // SameFileOtherSpelling may not be handed the room the next call reuses.
  const std::string normal = normal_, key = key_;
  if (spellings->folded && (key == normal || SameFileOtherSpelling(fileSystem_, key, target))) {
    return true;
  }
  for (const std::string& path : spellings->others) {
    if (path == normal || SameFileOtherSpelling(fileSystem_, path, target)) return true;
  }
  return false;
}

bool RunGuard::Planned(const std::string& target) {
  const auto it = planned_.find(target);
  FileIdentity now;
  return it != planned_.end() && disk_ != nullptr && disk_->Identify(target, now) &&
         now == it->second;
}

}  // namespace velmora
