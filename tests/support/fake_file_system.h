// An in-memory disk for tests: names point at shared files, so links and
// spellings on a case-insensitive disk are one file; any call can be made
// to fail, every call is logged, and a hook sees every change. It is also
// the plan's and the search's view of itself (a folder exists while it holds
// a file). With inodePerSpelling each spelling of a file has its own inode
// number, as exFAT through FUSE gives them.
#pragma once

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/path.h"
#include "engine/plan.h"
#include "search/folder_reader.h"

namespace velmora::testing {

class FakeFileSystem : public FileSystem, public PlanDisk, public FolderReader {
 public:
  explicit FakeFileSystem(bool ignoreCase = false, bool inodePerSpelling = false)
      : ignoreCase_(ignoreCase), inodePerSpelling_(inodePerSpelling) {}

  void AddFile(const std::string& path, const std::string& content = "") {
    files_[Key(path)] = {path, std::make_shared<std::string>(content)};
  }
  void AddLink(const std::string& existing, const std::string& path) {
    files_[Key(path)] = {path, files_.at(Key(existing)).second};
  }
  bool Has(const std::string& path) const { return files_.count(Key(path)) != 0; }
  std::string Content(const std::string& path) const { return *files_.at(Key(path)).second; }
  std::vector<std::string> Files() const {  // as spelled, sorted
    std::vector<std::string> names;
    for (const auto& [key, file] : files_) names.push_back(file.first);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Every later call of op ("Move", "Copy", "Delete") fails with error.
  void Fail(const std::string& op, Error error) { failures_[op] = std::move(error); }
  // The n-th call from now (1: the next one), whatever it is, fails with error.
  void FailCall(std::size_t n, Error error) {
    failAt_ = calls.size() + n;
    failAtError_ = std::move(error);
  }
  // Every call of the disk's and the search's doors in order, as "Move a b",
  // "GetFile a", "ReadFolder f"; the plan's looks are not logged.
  std::vector<std::string> calls;
  std::function<void(const std::string& op, const std::string& path)> afterChange;

  Error GetFile(const std::string& path) override {
    if (Error e = Call("GetFile", path, "")) return e;
    return Has(path) ? Error{} : NotFound();
  }
  Error Move(const std::string& source, const std::string& target) override {
    if (Error e = Check("Move", source, target)) return e;
    auto file = files_.extract(Key(source));
    file.key() = Key(target);
    file.mapped().first = target;
    files_.insert(std::move(file));
    return Changed("Move", target);
  }
  Error Copy(const std::string& source, const std::string& target) override {
    if (Error e = Check("Copy", source, target)) return e;
    AddFile(target, Content(source));
    return Changed("Copy", target);
  }
  Error Delete(const std::string& path) override {
    if (Error e = Check("Delete", path, "")) return e;
    files_.erase(Key(path));
    return Changed("Delete", path);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return Has(a) && Has(b) && files_.at(Key(a)).second == files_.at(Key(b)).second &&
           (!inodePerSpelling_ || a == b);
  }
  bool HasEntrySpelled(const std::string& path) override {
    return Has(path) && files_.at(Key(path)).first == path;
  }

  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    for (const auto& [key, file] : files_) {
      const std::string& path = file.first;
      if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          path.find(kPathSeparator, folder.size()) == std::string::npos) {
        items.push_back({path.substr(folder.size()), true});
      }
    }
    return true;
  }
  FolderListing ReadFolder(const std::string& folder) override {
    FolderListing listing;
    if ((listing.error = Call("ReadFolder", folder, ""))) return listing;
    const std::string prefix =
        !folder.empty() && folder.back() == kPathSeparator ? folder : folder + kPathSeparator;
    for (const auto& [key, file] : files_) {
      const std::string& path = file.first;
      if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) continue;
      const std::size_t end = path.find(kPathSeparator, prefix.size());
      const std::string name = path.substr(prefix.size(), end - prefix.size());
      if (name[0] == '.') continue;
      auto& names = end == std::string::npos ? listing.files : listing.subFolders;
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    if (listing.files.empty() && listing.subFolders.empty()) {
      listing.error = {kPathNotFound, "No such file or directory"};
    }
    std::sort(listing.subFolders.begin(), listing.subFolders.end());
    return listing;
  }

  PathKind Probe(const std::string& path) override {
    return Has(path) ? PathKind::kFile : PathKind::kNone;
  }
  bool IgnoresCase(const std::string&) override { return ignoreCase_; }
  bool Identify(const std::string& path, FileIdentity& identity) override {
    if (!Has(path)) return false;
    const auto& file = files_.at(Key(path));
    identity.inode = reinterpret_cast<std::uintptr_t>(file.second.get());
    if (inodePerSpelling_) identity.inode ^= std::hash<std::string>{}(path);
    identity.size = static_cast<std::int64_t>(file.second->size());
    return true;
  }

 private:
  static Error NotFound() { return {kFileNotFound, "No such file or directory"}; }
  std::string Key(std::string path) const {
    if (ignoreCase_) {
      for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path;
  }
  Error Call(const std::string& op, const std::string& a, const std::string& b) {
    calls.push_back(op + " " + a + (b.empty() ? "" : " " + b));
    return calls.size() == failAt_ ? failAtError_ : Error{};
  }
  Error Check(const std::string& op, const std::string& source, const std::string& target) {
    if (Error e = Call(op, source, target)) return e;
    if (failures_.count(op) != 0) return failures_[op];
    if (!Has(source)) return NotFound();
    if (!target.empty() && Has(target)) return {kFileExists, "File exists"};
    return {};
  }
  Error Changed(const std::string& op, const std::string& path) {
    if (afterChange) afterChange(op, path);
    return {};
  }

  bool ignoreCase_;
  bool inodePerSpelling_;
  std::map<std::string, std::pair<std::string, std::shared_ptr<std::string>>> files_;
  std::map<std::string, Error> failures_;
  std::size_t failAt_ = 0;
  Error failAtError_;
};

}  // namespace velmora::testing
