#include "engine/batch_run_guard.h"

#include <algorithm>

#include "engine/path.h"
#include "engine/plan_model.h"
#include "engine/text.h"

namespace velmora {
namespace {

// The path with its folder written one way, so two spellings of a folder meet.
std::string Normal(const std::string& path) {
  // A name holds no separator: looking at the whole path is looking at the folder.
  if (WrittenOneWay(path)) return path;
  const std::size_t nameStart = FileNameStart(path);
  return NormalFolder(std::string_view(path).substr(0, nameStart)) + path.substr(nameStart);
}

// The normal path with its name folded as CaselessName folds it.
std::string FoldedKey(const std::string& normal) {
  const std::size_t nameStart = FileNameStart(normal);
  return normal.substr(0, nameStart) + CaselessName(std::string_view(normal).substr(nameStart));
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

void RunGuard::Protect(const std::string& path) {
  std::string normal = Normal(path);
  std::vector<std::string>& paths = protected_[FoldedKey(normal)];
  if (std::find(paths.begin(), paths.end(), normal) == paths.end()) {
    paths.push_back(std::move(normal));
  }
}

void RunGuard::Release(const std::string& path) {
  const std::string normal = Normal(path);
  const auto it = protected_.find(FoldedKey(normal));
  if (it == protected_.end()) return;
  std::vector<std::string>& paths = it->second;
  paths.erase(std::remove(paths.begin(), paths.end(), normal), paths.end());
  if (paths.empty()) protected_.erase(it);
}

bool RunGuard::Protects(const std::string& target) {
  const std::string normal = Normal(target);
  const auto it = protected_.find(FoldedKey(normal));
  if (it == protected_.end()) return false;
  for (const std::string& path : it->second) {
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
